#pragma once
// The writers behind BuildOffsetProgram, one per format or family. Each
// appends its program to Out and returns whether the program is complete
// (most need at least one tool).

#include <string>

#include "core/numformat.h"
#include "tools/offset_output.h"
#include "tools/offset_program.h"

namespace zova::offsets {

inline std::string Int(long long n) {
  return std::to_string(n);
}
inline std::string IntZ(long long n, int w) {
  return IntToStrZero(n, w);
}
inline std::string FixZ(int w, int d, double x) {
  return FloatToStrZero(w, d, x);
}
inline std::string FixP(int w, int d, double x) {
  return FloatToStrPad(w, d, x);
}
inline std::string FixS(int w, int d, double x) {
  return FloatToStrSigned(w, d, x);
}
inline std::string PadR(const std::string& s, int w) {
  return PadStr(s, w, false);
}
inline std::string Nul(int n) {
  return std::string(static_cast<size_t>(n), '\0');
}
std::string DecimalComma(std::string s);

inline double Lo(const OffsetJob& j, const ToolRecord& t) {
  return t.L() + j.LOffset;
}
inline double Ro(const OffsetJob& j, const ToolRecord& t) {
  return t.R() + j.ROffset;
}
inline double Xo(const OffsetJob& j, const TurnRecord& t) {
  return t.X + j.ROffset;
}
inline double Zo(const OffsetJob& j, const TurnRecord& t) {
  return t.Z + j.LOffset;
}

// Nose radius and tip number: the nominal register's entry, else the tool's
// own radius and tip 0.
struct Nose {
  double radius = 0;
  int tip = 0;
};
Nose NoseOf(const OffsetJob& j, const TurnRecord& t);

// Tool and pocket numbers of a register number: with ToolDiv >= 2 the number
// carries the pocket in its low part (tool = n div ToolDiv, pocket = n mod
// ToolDiv); otherwise both are n.
void ToolAndPocket(const OffsetJob& j, int n, int& tool, int& pocket);

bool FanucG10(const OffsetJob& j, OffsetText& out);      // 4, 15
bool Fanuc15M(const OffsetJob& j, OffsetText& out);      // 29
bool Siemens8M(const OffsetJob& j, OffsetText& out);     // 31
bool FanucTurning(const OffsetJob& j, OffsetText& out);  // 32
bool FanucPockets(const OffsetJob& j, OffsetText& out);  // 33
bool MillingTable(const OffsetJob& j,
                  OffsetText& out);  // 1, 9, 10, 11, 16, 17, 24, 25, 27, 30, 34, 42
bool HeidenhainCentral(const OffsetJob& j, OffsetText& out);  // 3
bool HeidenhainTable(const OffsetJob& j, OffsetText& out);    // 22, 23, 28, 40
bool TurningTable(const OffsetJob& j, OffsetText& out);       // 6, 7, 8, 12, 13, 14, 20, 26, 37
bool EmcoMilling(const OffsetJob& j, OffsetText& out);        // 21
bool Siemens(const OffsetJob& j, OffsetText& out);            // 2, 18, 36, 38, 39, 41

}  // namespace zova::offsets
