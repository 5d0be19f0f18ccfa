#pragma once
// The Mazatrol keys of a machine section and the keys a learning reception
// writes back. Reading is pure (a section's values in, the keys out); the
// driver writes the learned pairs through the configuration store.

#include <string>
#include <utility>
#include <vector>

#include "core/config/section_values.h"
#include "protocols/mazatrol/mazatrol_layout.h"

namespace zova::mazatrol {

struct MazatrolKeys {
  NumberPlace number;
  TitlePlace title;
  int linjeLengde = 130;
  int lagreLinjer = 15;
  int henteProgramNr = 0;
  bool hent5000 = false;
  bool ekstraKommentar = false;
  std::string mazExt = ".Maz";
  std::string ext2;
  bool tapeMarks = false;
  bool saveTapeMarks = false;
  bool tapeMark2 = false;
  bool saveBcc = true;
  bool enkelEot = false;
  bool skippLinje = false;
  bool sjekkFormat = false;
  bool linjeSjekk = true;
  bool kortFilNavn = false;
  bool mazatrolNavn = false;
  int robot = 0;
  bool mottakSperret = false;

  // ProgLinje 0: the number's place is learned from the next program.
  bool LearnsNumber() const { return number.line == 0; }
  // With ProgLinje 0, TekstLinje 0 learns the title's place too.
  bool LearnsTitle() const { return number.line == 0 && title.line == 0; }
};

// [MaskinN] as the driver reads it.
MazatrolKeys ReadMazatrolKeys(const SectionValues& section);

// RobotLengde of the machine section, for the robot's section Robot: the
// robot's ProgLengde, or 0 (no padding) when the robot names its files from
// the program (FilNavnProgram) or uses KortFilNavn.
int RobotNameWidth(const SectionValues& machine, const SectionValues& robot);

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// What the number's place learned from line LineNo (LineLength long) writes.
KeyValues NumberPlaceKeys(int lineNo, const LearnedNumber& found, int lineLength);
// What the title's place learned from Line (line LineNo) writes; TapeMarks
// says whether the control sent tape marks.
KeyValues TitlePlaceKeys(int lineNo, std::string_view line, const LearnedTitle& found,
                         bool tapeMarks);
// What the end of a learning reception writes: LagreLinjer the lines and
// two (0 with HenteProgramNr), EnkelEOT and SkippLinje whether the control
// ended its telegrams with one EOT.
KeyValues LearnedEndKeys(int lines, int henteProgramNr, bool oneEot);

}  // namespace zova::mazatrol
