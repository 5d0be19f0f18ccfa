#pragma once
// Presetter output lines and the per-system settings that turn a measured
// value into an offset value.

#include <cstdint>
#include <string>
#include <string_view>

namespace zova {

// The number written right after the first Label of Line: digits, "+", ",",
// "-" and "."; "," is a decimal comma and a "-" after the first character
// starts the number ("+-0.5" is -0.5). False (Value 0) when Label is missing
// or no number follows.
bool NumberAfter(std::string_view line, std::string_view label, double& value);

struct PresetterReading {
  int32_t ToolNo = 0;
  int32_t SecondNo = 0;  // system, adapter or group number
  bool Ok = false;
  bool IsDiameter = false;
  double X = 0, Z = 0;
};

// Type 1..17 as ReadPresetterType gives it; other types give Ok false.
PresetterReading ParsePresetterLine(int type, std::string_view line);

struct SystemResult {
  bool Accepted = false;
  bool IsRadius = false;
  bool NotTurning = true;
  int MaxTool = 0;
  int Offset = 0;
  std::string NomReg, ToolReg;
};

// Applies System<n>, SnuL<n> and the register keys of system n to a reading.
SystemResult ApplySystem(std::string_view section, int systemNo, bool& isDiameter, double& x,
                         double& z);
// Pure core of ApplySystem: S is System<n> upper-cased.
SystemResult ApplySystemText(std::string_view s, bool reverseLength, bool& isDiameter, double& x,
                             double& z);

// ProgDiv<n>: tool numbers at or above it carry a program number.
void SplitProgramNumber(std::string_view section, int systemNo, bool wholeNumber,
                        int32_t& programNo, int32_t& toolNo);
void SplitProgramNumberBy(int divisor, bool wholeNumber, int32_t& programNo, int32_t& toolNo);

}  // namespace zova
