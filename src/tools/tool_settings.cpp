#include "tools/tool_settings.h"

#include <algorithm>
#include <array>

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/uihost.h"

namespace zova {

namespace {

struct FormatEntry {
  int no;
  const char* names[2];
  const char* programNr;
  int pockets;
  int limit;
};

constexpr FormatEntry kFormats[] = {
    {0, {"INGEN", nullptr}, "", 0, 0},
    {1, {"MANDELLITCASE", nullptr}, "", 0, 0},
    {2, {"SIEMENS880", nullptr}, "", 0, 700},
    {3, {"HEIDENHAINSENTRAL", nullptr}, "", 0, 99},
    {4, {"FANUC", "FANUC6M"}, ":5007", 20, 32},
    {5, {"STANDARD", nullptr}, "", 0, 0},
    {6, {"SCHIESS", nullptr}, "", 0, 0},
    {7, {"HESSAPP", nullptr}, "", 0, 0},
    {8, {"HEYNUMAT", "FISCHER"}, "", 0, 0},
    {9, {"MANDELLI", nullptr}, "", 0, 0},
    {10, {"SAJO", nullptr}, "", 0, 0},
    {11, {"SIEMENSFRES", nullptr}, "", 0, 0},
    {12, {"SIEMENSDREI", nullptr}, "", 0, 0},
    {13, {"TRAUB", nullptr}, "", 0, 0},
    {14, {"SIEMENSDREI32", "SIEMENSDREINULL"}, "", 32, 32},
    {15, {"FANUCLENGDE", nullptr}, ":5007", 999, 999},
    {16, {"KTM", nullptr}, "", 0, 0},
    {17, {"TOSNUC", nullptr}, "", 0, 0},
    {18, {"SIEMENS880FRES", nullptr}, "% T O A  1", 0, 0},
    {19, {"HEIDENHAIN", nullptr}, "", 0, 0},
    {20, {"EMCODREI", nullptr}, "%T5007", 0, 0},
    {21, {"EMCOFRES", nullptr}, "%T5007", 0, 0},
    {22, {"HEIDENHAIN407", nullptr}, "", 0, 0},
    {23, {"HEIDENHAIN426", nullptr}, "", 0, 0},
    {24, {"PHILIPSFRES", nullptr}, "", 0, 100},
    {25, {"OKUMAFRES", nullptr}, "", 0, 0},
    {26, {"OKUMADREI", nullptr}, "", 0, 0},
    {27, {"ECS", nullptr}, "", 0, 0},
    {28, {"HEIDENHAIN430", nullptr}, "", 0, 0},
    {29, {"FANUC15M", nullptr}, "", 0, 0},
    {30, {"NUM", nullptr}, "", 0, 0},
    {31, {"SIEMENS8M", nullptr}, "", 60, 99},
    {32, {"FANUCDREI", nullptr}, ":5007", 0, 0},
    {33, {"FANUCLOMME", nullptr}, "", 0, 0},
    {34, {"MAZATROLMPLUS", nullptr}, "", 0, 0},
    {35, {"ORIGINAL", "ORGINAL"}, "", 0, 0},
    {36, {"SIEMENS800FRES", nullptr}, "% T O A  1", 0, 0},
    {37, {"SIEMENS800DREI", nullptr}, "% T O ", 0, 0},
    {38, {"SIEMENS800", nullptr}, "% T O A  1", 0, 0},
    {39, {"SIEMENS840D", nullptr}, "%_N_TO_TOA_INI", 0, 0},
    {40, {"HEIDENHAIN415", nullptr}, "", 0, 0},
    {41, {"SIEMENS840DFRES", nullptr}, "", 0, 0},
    {42, {"DMG", nullptr}, "", 0, 0},
};
static_assert(std::size(kFormats) == kToolFormatCount);

int Lookup(std::string_view v) {
  for (const auto& f : kFormats)
    for (const char* n : f.names)
      if (n && v == n) return f.no;
  return -1;
}

}  // namespace

int ToolFormatNumber(std::string_view upperValue) {
  return std::max(0, Lookup(upperValue));
}

std::string_view ToolFormatName(int format) {
  if (format < 0 || format >= kToolFormatCount) return "";
  return kFormats[format].names[0];
}

void ReadToolFormat(std::string_view section, ToolFormatSettings& out) {
  out.DeleteRegister = ReadIniBool(section, "SlettToolReg", false);
  out.RegisterExpires = ReadIniBool(section, "ToolRegUtgaar", false);
  std::string value = ReadIniUpper(section, "ToolProtokoll", "Ingen");
  int no = Lookup(value);
  if (no < 0) {
    ShowNotice(section, L1("Ugyldig verktøyprotokoll: ") + value);
    no = 0;
  }
  out.Format = no;
  out.NoToolFormat = no == kToolNone;
  out.NoToolKey = no == kToolSiemens880 || no == kToolHeidenhain;
  const FormatEntry& f = kFormats[no];
  bool micro = no == kToolFanuc || no == kToolFanucLength;
  out.Mult = ReadIniFloat(section, "ToolMult", micro ? 1000 : 1);
  if (!(out.Mult >= 1)) out.Mult = 1;
  out.Decimals = ReadIniInt(section, "ToolDesimaler", out.Mult != 1 ? 0 : 3);
  out.ProgramNr = ReadIniStr(section, "ToolProgramNr", f.programNr, true);
  out.Pockets = ReadIniInt(section, "Lommer", f.pockets);
  out.Limit = ReadIniInt(section, "ToolGrense", f.limit);
  out.Limit = ReadIniInt(section, "MaksParm", out.Limit);
}

MachineToolKeys ReadMachineToolKeys(std::string_view section) {
  MachineToolKeys k;
  k.ToolReg = ReadIniUpper(section, "ToolReg", ReadIniUpper("Program", "ToolReg", ""));
  k.NomReg = ReadIniUpper(section, "NomReg", ReadIniUpper("Program", "NomReg", ""));
  k.FirstToolLine = ReadIniStr(section, "FirstToolLine", "%", true);
  k.ToolLine = ReadIniStr(section, "ToolLine", "T#T3!T L#L4,3!L R#D4,3,0.5!D", true);
  k.LastToolLine = ReadIniStr(section, "LastToolLine", "%", true);
  k.EmptyToolLine = ReadIniStr(section, "EmptyToolLine", "%\r\n(INGEN DATA)\n\r%", true);
  k.ToolDiv = std::max(1, ReadIniInt(section, "ToolDiv", 1));
  k.AutoToolLoad = ReadIniBool(section, "AutoToolLoad", false);
  k.ROffset = ReadIniFloat(section, "DOffset", 0);
  k.ROffset = ReadIniFloat(section, "ROffset", k.ROffset);
  k.ROffset = ReadIniFloat(section, "XOffset", k.ROffset);
  k.LOffset = ReadIniFloat(section, "LOffset", 0);
  k.LOffset = ReadIniFloat(section, "ZOffset", k.LOffset);
  k.OrigToolNavn = ReadIniBool(section, "OrigToolNavn", true);
  return k;
}

std::string ToolFileExt(bool turn, bool tool) {
  if (tool) return ReadIniUpper("Program", "ToolExt", ".TD");
  return turn ? ReadIniUpper("Program", "TurnExt", ".TDT")
              : ReadIniUpper("Program", "MillExt", ".TDM");
}

std::string MachineToolReg(int machineNo, bool useD) {
  std::string program = ReadIniUpper("Program", "ToolReg", "");
  if (useD) program = ReadIniUpper("Program", "ToolDReg", program);
  std::string section = MachineSection(machineNo);
  std::string reg = ReadIniUpper(section, "ToolReg", program);
  if (useD) reg = ReadIniUpper(section, "ToolDReg", reg);
  return reg;
}

int ReadPresetterType(std::string_view section) {
  static constexpr std::pair<const char*, int> kTypes[] = {
      {"MICROSET", 1},       {"KOMEG", 2},          {"ZOLLER", 3},
      {"BODMER", 4},         {"KELCH", 5},          {"PWB", 6},
      {"TOOLMASTER3", 6},    {"ZOLLER6051", 7},     {"MICROSETUNO", 8},
      {"TOOLSET", 9},        {"ZOLLERZERO", 10},    {"MESSMA-KELCH", 11},
      {"ZOLLER6051SYS", 12}, {"TOOLMASTER250", 13}, {"HEIDENHAIN720", 14},
      {"KELCHSIRIUSC", 15},  {"KELCHKALIMATC", 16}, {"MICROSETECO2", 17},
  };
  std::string v = ReadIniUpper(section, "Forinnstiller", "INGEN");
  v = ReadIniUpper(section, "Forinstiller", v);
  for (const auto& [name, no] : kTypes)
    if (v == name) return no;
  ShowNotice("Ugyldig forinnstiller", v);
  return 0;
}

int ReadPostProcessing(std::string_view section) {
  std::string v = ReadIniUpper(section, "EtterBehandling", "Ingen");
  if (v == "PROSJEKTOR") return 1;
  if (v != "INGEN") ShowNotice(section, "Ugyldig etterbehandling: " + v);
  return 0;
}

}  // namespace zova
