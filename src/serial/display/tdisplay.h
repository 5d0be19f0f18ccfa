#pragma once
// The standard driver with a message display at the machine: on the
// machine's own line or on a port of its own (DisplayPort), or the main
// window's display. Wide character displays show the station's start and
// stop; the drivers of auxiliary devices built on it show their messages
// with ShowOnDisplay.

#include <string>

#include "serial/display/display_text.h"
#include "serial/standard/tzova.h"

namespace zova {

class TDisplay : public TZova {
 public:
  TDisplay(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  DisplaySettings DisplaySet;  // Display, DisplayLinjer, DisplayErstatt, DisplayTegnSett
  std::string DisplayPort;

  // Second: the text is the second of a pair (a character display marks it).
  void ShowOnDisplay(bool second, const std::string& text1, const std::string& text2);

 protected:
  void OnStart() override;
  void OnThreadEnd() override;

  // The display's own line (DisplayPort).
  TComPort DisplayCom;

 private:
  // The line the display hangs on; null while it cannot be written.
  TComPort* line_ = nullptr;
  bool ownPortOpen_ = false;
};

}  // namespace zova
