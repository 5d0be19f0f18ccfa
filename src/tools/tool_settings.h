#pragma once
// The machine's tool settings: which offset format, its program number,
// limits, multiplier and the per-format defaults.

#include <string>
#include <string_view>

namespace zova {

// ToolProtokoll numbers (see tool_settings.cpp for their spellings).
enum ToolFormat {
  kToolNone = 0,
  kToolFanuc = 4,
  kToolStandard = 5,
  kToolFanucLength = 15,
  kToolSiemens880 = 2,
  kToolHeidenhain = 19,
  kToolOriginal = 35,
  kToolFormatCount = 43
};

// 0 for an unknown value (no notice); -1 outside the table.
int ToolFormatNumber(std::string_view upperValue);
std::string_view ToolFormatName(int format);

struct ToolFormatSettings {
  std::string ProgramNr;
  int Format = 0;
  bool RegisterExpires = false;  // ToolRegUtgaar
  bool DeleteRegister = false;   // SlettToolReg
  bool NoToolFormat = true;      // format 0
  bool NoToolKey = false;        // formats 2 and 19: tool data not marked by Tool
  int Decimals = 3;
  double Mult = 1;
  int Limit = 0;
  int Pockets = 0;
};

// Reads SlettToolReg, ToolRegUtgaar, ToolProtokoll, ToolMult, ToolDesimaler,
// ToolProgramNr, Lommer, ToolGrense, MaksParm in that order. An unknown
// ToolProtokoll raises "Ugyldig verktøyprotokoll: " + value captioned with
// Section and gives format 0.
void ReadToolFormat(std::string_view section, ToolFormatSettings& out);

// The rest of a machine's tool keys, as the offset writers take them.
struct MachineToolKeys {
  std::string ToolReg, NomReg;
  std::string FirstToolLine, ToolLine, LastToolLine, EmptyToolLine;
  int ToolDiv = 1;
  bool AutoToolLoad = false;
  double ROffset = 0;  // DOffset, then ROffset, then XOffset
  double LOffset = 0;  // LOffset, then ZOffset
  bool OrigToolNavn = true;
};
MachineToolKeys ReadMachineToolKeys(std::string_view section);

// [Program] ToolExt ".TD" for tool data; otherwise the tool-file extension of
// the machine kind, TurnExt ".TDT" or MillExt ".TDM".
std::string ToolFileExt(bool turn, bool tool);
// The machine's ToolReg, or with UseD its ToolDReg; [Program] gives the defaults.
std::string MachineToolReg(int machineNo, bool useD);

// Forinnstiller (then Forinstiller): 1..17; 0 with "Ugyldig forinnstiller".
int ReadPresetterType(std::string_view section);
// EtterBehandling: 1 for PROSJEKTOR, 0 otherwise.
int ReadPostProcessing(std::string_view section);

}  // namespace zova
