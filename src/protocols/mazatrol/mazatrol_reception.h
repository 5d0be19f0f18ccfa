#pragma once
// What a finished Mazatrol reception becomes, and under which name. Pure.

#include <optional>
#include <string>
#include <string_view>

namespace zova::mazatrol {

enum class Outcome {
  StoreFailed,  // a line could not be written: nothing is kept
  Broken,       // a bad line, a protocol error or a timeout: dropped
  Program,      // stored
  NameMessage,  // names the next program: dropped, the name stays
};

struct ReceptionFacts {
  bool storeOk = true;
  bool complete = false;  // the control ended it with "pA"
  int lines = 0;
  std::optional<long long> number;
  int lagreLinjer = 15;
  int henteProgramNr = 0;  // 0: none
};

// A program numbered HenteProgramNr (when one is set) names the next one.
bool IsNameNumber(const ReceptionFacts& facts);
Outcome OutcomeOf(const ReceptionFacts& facts);

// The title names the file when there is one, unless MazatrolNavn keeps the
// title for the program numbered HenteProgramNr; else the number does, else
// Start ("0000" and the extension, or the Filnavn entry) stays.
std::string ReceptionName(std::string_view start, std::string_view numberName,
                          std::string_view titleName, bool mazatrolNavn, bool nameNumber);

}  // namespace zova::mazatrol
