#pragma once
// The two kinds of 52-byte records of the register files. Both start with the
// tool number (32-bit, little-endian), the sort key of every register.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zova {

constexpr size_t kToolRecordSize = 52;
using RawRecord = std::array<uint8_t, kToolRecordSize>;

// Reals of a milling tool, L first. Index 4 is the flag that keeps a tool out
// of the Heidenhain tables and the writers that skip flagged tools.
enum ToolReal { kL = 0, kR = 1, kDL = 2, kDR = 3, kFlag = 4, kR2 = 5, kLife = 6, kUsed = 7 };

struct ToolRecord {
  int32_t ToolNo = 0;
  std::array<double, 8> Reals{};  // L, R, then six further reals
  double L() const { return Reals[kL]; }
  double R() const { return Reals[kR]; }
  bool Flagged() const { return Reals[kFlag] != 0; }
};

// A turning tool. Z2/X2 hold the second offset set (second spindle or wear,
// as the format reads it).
struct TurnRecord {
  int32_t ToolNo = 0;
  double Z = 0, X = 0, Z2 = 0, X2 = 0, Extra = 0;
  uint8_t Hidden = 0;  // not zero: left out of every offset program
  double NoseRadius = 0;
  uint8_t TipNo = 3;
  uint8_t Station = 99;
};

int32_t RawToolNo(const RawRecord& r);
RawRecord EncodeTool(const ToolRecord& t);
ToolRecord DecodeTool(const RawRecord& r);
RawRecord EncodeTurn(const TurnRecord& t);
TurnRecord DecodeTurn(const RawRecord& r);

enum class RecordKind { Tool, Turn };

// Checks a whole register image without changing it: size a multiple of 52,
// tool numbers strictly ascending, every real plausible (below 1e9). Empty
// Error means usable; otherwise a short Norwegian reason.
std::string CheckRegisterImage(std::string_view bytes, RecordKind kind);

// Records of a checked image (no check of its own; partial tail ignored).
std::vector<RawRecord> SplitRecords(std::string_view bytes);

}  // namespace zova
