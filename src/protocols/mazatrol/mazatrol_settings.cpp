#include "protocols/mazatrol/mazatrol_settings.h"

namespace zova::mazatrol {

namespace {

std::string Bool(bool b) {
  return b ? "True" : "False";
}

}  // namespace

MazatrolKeys ReadMazatrolKeys(const SectionValues& s) {
  MazatrolKeys k;
  k.number.swap = s.Bool("Swap", true);
  k.number.line = s.Int("ProgLinje", 1);
  k.number.start = s.Int("ProgStart", 5);
  k.number.width = s.Int("ProgLengde", 4);
  k.title.line = s.Int("TekstLinje", 0);
  k.title.lineStart = s.Str("TekstLinjeStart", "");
  k.title.start = s.Int("TekstStart", 63);
  k.title.length = s.Int("TekstLengde", 11);
  k.title.plain = s.Bool("KlarTekst", false);
  k.linjeLengde = s.Int("LinjeLengde", 130);
  k.lagreLinjer = s.Int("LagreLinjer", 15);
  k.henteProgramNr = s.Int("HenteProgramNr", 0);
  k.hent5000 = s.Bool("Hent5000", false);
  k.ekstraKommentar = s.Bool("EkstraKommentar", false);
  k.mazExt = s.Str("MazExt", ".Maz");
  k.ext2 = s.Str("Ext2", "");
  k.tapeMarks = s.Bool("TapeMarks", false);
  k.saveTapeMarks = s.Bool("SaveTapeMarks", k.tapeMarks);
  k.tapeMark2 = s.Bool("TapeMark2", k.tapeMarks && !k.saveTapeMarks);
  k.saveBcc = s.Bool("SaveBCC", true);
  k.enkelEot = s.Bool("EnkelEOT", false);
  k.skippLinje = s.Bool("SkippLinje", false);
  k.sjekkFormat = s.Bool("SjekkFormat", false);
  k.linjeSjekk = s.Bool("LinjeSjekk", k.number.line >= 1);
  k.kortFilNavn = s.Bool("KortFilNavn", false);
  k.mazatrolNavn = s.Bool("MazatrolNavn", false);
  k.robot = s.Int("Robot", 0);
  k.mottakSperret = s.Bool("MottakSperret", false);
  return k;
}

int RobotNameWidth(const SectionValues& machine, const SectionValues& robot) {
  const bool plain = robot.Bool("FilNavnProgram", false) || robot.Bool("KortFilNavn", false);
  return machine.Int("RobotLengde", plain ? 0 : robot.Int("ProgLengde", 4));
}

KeyValues NumberPlaceKeys(int lineNo, const LearnedNumber& found, int lineLength) {
  return {{"ProgLinje", std::to_string(lineNo)},
          {"ProgStart", std::to_string(found.start)},
          {"ProgLengde", std::to_string(found.width)},
          {"Swap", Bool(found.swap)},
          {"LinjeLengde", std::to_string(lineLength)}};
}

KeyValues TitlePlaceKeys(int lineNo, std::string_view line, const LearnedTitle& found,
                         bool tapeMarks) {
  return {{"TekstLinje", std::to_string(lineNo)},
          {"TekstStart", std::to_string(found.start)},
          {"TekstLengde", std::to_string(found.length)},
          {"TekstLinjeStart", std::string(line.substr(0, 4))},
          {"KlarTekst", Bool(found.plain)},
          {"TapeMarks", Bool(tapeMarks)},
          {"SaveTapeMarks", Bool(tapeMarks)}};
}

KeyValues LearnedEndKeys(int lines, int henteProgramNr, bool oneEot) {
  return {{"LagreLinjer", std::to_string(henteProgramNr != 0 ? 0 : lines + 2)},
          {"EnkelEOT", Bool(oneEot)},
          {"SkippLinje", Bool(oneEot)}};
}

}  // namespace zova::mazatrol
