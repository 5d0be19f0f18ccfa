#pragma once
// Tool-offset programs: the tool register of a machine turned into the
// program its control runs to set its offsets. The writers are pure (records
// in, text out); WriteOffsetProgram adds the registers and the files.

#include <string>
#include <string_view>
#include <vector>

#include "tools/tool_record.h"
#include "tools/tool_settings.h"

namespace zova {

struct OffsetJob {
  int Format = 0;
  int Limit = 0, Pockets = 0;
  std::vector<ToolRecord> Tools;    // milling formats
  std::vector<TurnRecord> Turns;    // turning formats
  std::vector<TurnRecord> Nominal;  // nose radius and tip number per tool
  std::string ProgramNr;
  std::string FirstToolLine, ToolLine, LastToolLine, EmptyToolLine;
  int ToolDiv = 1;
  double Mult = 1;
  int Decimals = 3;
  double LOffset = 0, ROffset = 0;
  std::string TableName = "TOOL";  // Heidenhain tables: "BEGIN " name ".T MM"
};

struct OffsetResult {
  bool Ok = false;
  // Nothing was written: the program goes to the control as it is (format 35,
  // and format 19 without a register).
  bool KeepOriginal = false;
  std::string Text;
  std::vector<std::string> Warnings;  // shown to the operator, not failures
};

// Formats whose register holds turning records.
bool IsTurningFormat(int format);
// Format 19 rewrites a program, and is not built here.
OffsetResult BuildOffsetProgram(const OffsetJob& job);

// Format 19: one line of the program being sent, with its "TOOL DEF" values
// taken from the register. Tools must be sorted.
std::string RewriteToolDef(std::string_view line, const std::vector<ToolRecord>& tools,
                           double lOffset, double rOffset);

struct OffsetRequest {
  ToolFormatSettings Settings;
  MachineToolKeys Keys;
  std::string Target;         // station path of the program to write
  std::string SourceProgram;  // format 19: the program being sent
};

// Reads the registers named by Keys, builds the program of Settings.Format and
// writes it to Target. Ok false (Error says why) when a register is damaged,
// the format needs data it has not got, or Target cannot be written. A missing
// register is an empty one: registers are deleted when they become empty.
struct OffsetFileResult {
  bool Ok = false;
  bool KeepOriginal = false;
  std::string Error;
  std::vector<std::string> Warnings;
};
OffsetFileResult WriteOffsetProgram(const OffsetRequest& request);

}  // namespace zova
