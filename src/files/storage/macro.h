#pragma once
// Recognition of macro (event) messages that a control sends as a program:
// an event number and an optional parameter, found by markers in the head.

#include <string>
#include <string_view>

namespace zova {

struct MacroMarkers {
  std::string makro, makroIkke;
  std::string startHendelse, stoppHendelse;
  std::string startParameter, stoppParameter;
};

struct MacroMatch {
  int number = 0;
  std::string parameter;
};

// The markers of a MakroProgram kind: STANDARD keeps the configured ones,
// PARENTESER and FANUC set their own. False for INGEN and unknown kinds.
bool MacroMarkersFor(std::string_view kind, MacroMarkers& m);

// Head is upper-cased. True when it carries Makro, not MakroIkke, and an
// event number above 0.
bool MatchMacro(std::string_view head, const MacroMarkers& m, MacroMatch& out);

}  // namespace zova
