#pragma once
// The name-search settings of one machine section, read as the driver reads
// them, and the keys each search mode uses.

#include <string>
#include <string_view>

#include "files/namesearch/find_program_name.h"

namespace zova {

// The method number of an upper-cased HenteProgram value; an empty or unknown
// value gives 0 (STANDARD), and Known says whether the value was one of ours.
int HenteProgramMethod(std::string_view value, bool& known);

struct NameSearchConfig {
  int method = 0;
  std::string hent = "M30", startHent = "(", stoppHent = ")";
  std::string hent2 = "M30", startHent2 = "(", stoppHent2 = ")";
  std::string startLagre = "(", stoppLagre = ")";
  std::string startLagre2 = "(", stoppLagre2 = ")";
  std::string dirHent = "(D)(", startDir = "(D)(", stoppDir = ")";
  std::string print = "(P)(", startPrint = "(P)(", stoppPrint = ")";
  std::string tool;
  std::string programExt = ".NC";
  CharSet extraChars;  // KatalogTegn and FilNavnTegn
  uint8_t maxLengde = 20;
  int tallLengde = 0;
  int startLinje = 1;
  int maxLinjer = 4;
  int maxLinjer2 = 4;
  bool bareTall = false;
  bool tallSjekk = true;
  bool filNavnProgram = false;
  int seriesThreshold = 5000;
};

// Reads [Maskin<machine>] of the active Zova.ini. An unknown HenteProgram
// shows "Ugyldig henteprogram: " once per read. Also reads the station-wide
// switches of the name search the first time it runs.
NameSearchConfig ReadNameSearchConfig(int machine);

ModeKeys KeysForMode(const NameSearchConfig& cfg, SearchMode mode);

// FindProgramName with the machine's settings; FirstPair comes in as true.
NameResult FindProgramNameWith(const NameSearchConfig& cfg, SearchMode mode,
                               std::string_view headerText);

// [Program] Debug and FellesKataloger, read once for the process.
void InitNameSearchSettings();
bool FellesKataloger();

}  // namespace zova
