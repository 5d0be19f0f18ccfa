#include "files/namesearch/search_config.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "core/uihost.h"

namespace zova {

namespace {

std::atomic<bool> fellesKataloger{false};

struct MethodName {
  std::string_view value;
  int method;
};

constexpr MethodName kMethodNames[] = {
    {"STANDARD", 0},      {"OKUMA", 1},        {"DOBBEL", 2},
    {"DOBBELT", 2},       {"STANDARD2", 2},    {"ENKELT", 3},
    {"NUMMER", 4},        {"NUMMER2", 5},      {"FANUCIJK", 6},
    {"FANUCJK", 7},       {"UNIVERSAL", 8},    {"UNIVERSAL2", 9},
    {"SIEMENS3", 10},     {"SIEMENS8", 11},    {"X", 12},
    {"PARENTESER", 12},   {"OKUMAX", 13},      {"OKUMAPARENTESER", 13},
    {"PHILIPS", 14},      {"FANUCKASETT", 15}, {"XYZ", 16},
    {"SIEMENSX", 17},     {"SIEMENSXYZ", 17},  {"MAZATROLLANGT", 18},
    {"MAZATROLKORT", 19}, {"KOMMENTARER", 20}, {"FAPTKOMMENTARER", 21},
    {"CINCINATTI", 22},   {"SIEMENSIJK", 23},  {"IJK", 24},
    {"NUMMERSERIE", 25},  {"SIEMENS_N", 26},
};

std::string Visual(const std::string& section, std::string_view key, std::string_view def) {
  return ReadIniUpper(section, key, def, true);
}

}  // namespace

int HenteProgramMethod(std::string_view value, bool& known) {
  known = true;
  for (const MethodName& m : kMethodNames)
    if (m.value == value) return m.method;
  known = value.empty();
  return 0;
}

void InitNameSearchSettings() {
  static std::once_flag once;
  std::call_once(once, [] {
    SetNameSearchDebug(ReadIniBool("Program", "Debug", false));
    fellesKataloger.store(ReadIniBool("Program", "FellesKataloger", false));
  });
}

bool FellesKataloger() {
  return fellesKataloger.load();
}

NameSearchConfig ReadNameSearchConfig(int machine) {
  InitNameSearchSettings();
  const std::string s = MachineSection(machine);
  NameSearchConfig c;

  const std::string henteProgram = ReadIniUpper(s, "HenteProgram", "Standard");
  bool known = true;
  c.method = HenteProgramMethod(henteProgram, known);
  if (!known) ShowNotice(s, "Ugyldig henteprogram: " + henteProgram);

  c.hent = Visual(s, "Hent", "M30");
  c.startHent = Visual(s, "StartHent", "(");
  c.stoppHent = Visual(s, "StoppHent", ")");
  c.hent2 = Visual(s, "Hent2", c.hent);
  c.startHent2 = Visual(s, "StartHent2", c.startHent);
  c.stoppHent2 = Visual(s, "StoppHent2", c.stoppHent);
  c.startLagre = Visual(s, "StartLagre", "(");
  c.stoppLagre = Visual(s, "StoppLagre", ")");
  c.startLagre2 = Visual(s, "StartLagre2", c.startLagre);
  c.stoppLagre2 = Visual(s, "StoppLagre2", c.stoppLagre);
  c.dirHent = Visual(s, "DirHent", "(D)(");
  c.dirHent = Visual(s, "HentDir", c.dirHent);
  c.startDir = Visual(s, "StartDir", c.dirHent);
  c.stoppDir = Visual(s, "StoppDir", ")");
  c.print = Visual(s, "Print", "(P)(");
  c.startPrint = Visual(s, "StartPrint", c.print);
  c.stoppPrint = Visual(s, "StoppPrint", ")");
  c.tool = Visual(s, "Tool", "");
  c.programExt = ReadIniUpper(s, "Ext", ProgramExt());

  bool present = false;
  c.extraChars = ReadIniCharSet(s, "KatalogTegn", "/", present) |
                 ReadIniCharSet(s, "FilNavnTegn", "", present);
  c.maxLengde = static_cast<uint8_t>(std::clamp(ReadIniInt(s, "MaxLengde", 20), 0, 255));
  c.tallLengde = ReadIniInt(s, "TallLengde", 0);
  c.startLinje = ReadIniInt(s, "StartLinje", 1);
  c.maxLinjer = ReadIniInt(s, "MaxLinjer", 4);
  c.maxLinjer2 = ReadIniInt(s, "MaxLinjer2", c.maxLinjer);
  c.bareTall = ReadIniBool(s, "BareTall", false);
  c.tallSjekk = ReadIniBool(s, "TallSjekk", true);
  c.filNavnProgram = ReadIniBool(s, "FilNavnProgram", false);
  c.seriesThreshold = ParseInteger(c.hent).value_or(5000);
  return c;
}

ModeKeys KeysForMode(const NameSearchConfig& c, SearchMode mode) {
  switch (mode) {
    case smFetch:
      return {c.hent, c.startHent, c.stoppHent, c.hent2, c.startHent2, c.stoppHent2};
    case smSave:
      return {c.startLagre,  c.startLagre,  c.stoppLagre,
              c.startLagre2, c.startLagre2, c.stoppLagre2};
    case smDirectory:
      return {c.dirHent, c.startDir, c.stoppDir, c.dirHent, c.startDir, c.stoppDir};
    case smPrint:
      return {c.print, c.startPrint, c.stoppPrint, c.startLagre, c.startLagre, c.stoppLagre};
    default:
      return {c.tool, c.startHent, c.stoppHent, c.tool, c.startHent2, c.stoppHent2};
  }
}

NameResult FindProgramNameWith(const NameSearchConfig& c, SearchMode mode,
                               std::string_view headerText) {
  FindInput in;
  in.mode = mode;
  in.method = c.method;
  in.keys = KeysForMode(c, mode);
  in.headerText = headerText;
  in.programExt = c.programExt;
  in.extraChars = c.extraChars;
  in.tallLengde = c.tallLengde;
  in.startLinje = c.startLinje;
  in.maxLinjer = c.maxLinjer;
  in.maxLinjer2 = c.maxLinjer2;
  in.maxLengde = c.maxLengde;
  in.tallSjekk = c.tallSjekk;
  in.bareTall = c.bareTall;
  in.filNavnProgram = c.filNavnProgram;
  in.seriesThreshold = c.seriesThreshold;
  NameResult r;
  FindProgramName(in, r);
  return r;
}

}  // namespace zova
