#include "tools/tool_record.h"

#include <cmath>
#include <cstring>

#include "core/latin1.h"
#include "tools/real48.h"

namespace zova {

namespace {

// Byte offsets of the turning record's reals and small fields.
constexpr size_t kTurnZ = 4, kTurnX = 10, kTurnZ2 = 16, kTurnX2 = 22, kTurnExtra = 28;
constexpr size_t kTurnHidden = 34, kTurnNose = 35, kTurnTip = 41, kTurnStation = 42;
constexpr size_t kTurnReals[] = {kTurnZ, kTurnX, kTurnZ2, kTurnX2, kTurnExtra, kTurnNose};

// No measured value of a tool comes near this; such a real is damage.
constexpr double kPlausible = 1e9;

void PutInt(RawRecord& r, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) r[i] = static_cast<uint8_t>(u >> (8 * i));
}

double GetReal(const RawRecord& r, size_t at) {
  return DecodeReal48(&r[at]);
}

void PutReal(RawRecord& r, size_t at, double v) {
  if (!EncodeReal48(v, &r[at])) std::memset(&r[at], 0, 6);
}

// A zero exponent is the value 0 whatever the other bytes hold (other
// programs leave them so), so only the magnitude tells damage.
bool RealOk(const uint8_t* b) {
  return std::fabs(DecodeReal48(b)) < kPlausible;
}

}  // namespace

int32_t RawToolNo(const RawRecord& r) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | r[i];
  return static_cast<int32_t>(u);
}

RawRecord EncodeTool(const ToolRecord& t) {
  RawRecord r{};
  PutInt(r, t.ToolNo);
  for (size_t i = 0; i < t.Reals.size(); ++i) PutReal(r, 4 + 6 * i, t.Reals[i]);
  return r;
}

ToolRecord DecodeTool(const RawRecord& r) {
  ToolRecord t;
  t.ToolNo = RawToolNo(r);
  for (size_t i = 0; i < t.Reals.size(); ++i) t.Reals[i] = GetReal(r, 4 + 6 * i);
  return t;
}

RawRecord EncodeTurn(const TurnRecord& t) {
  RawRecord r{};
  PutInt(r, t.ToolNo);
  PutReal(r, kTurnZ, t.Z);
  PutReal(r, kTurnX, t.X);
  PutReal(r, kTurnZ2, t.Z2);
  PutReal(r, kTurnX2, t.X2);
  PutReal(r, kTurnExtra, t.Extra);
  r[kTurnHidden] = t.Hidden;
  PutReal(r, kTurnNose, t.NoseRadius);
  r[kTurnTip] = t.TipNo;
  r[kTurnStation] = t.Station;
  return r;
}

TurnRecord DecodeTurn(const RawRecord& r) {
  TurnRecord t;
  t.ToolNo = RawToolNo(r);
  t.Z = GetReal(r, kTurnZ);
  t.X = GetReal(r, kTurnX);
  t.Z2 = GetReal(r, kTurnZ2);
  t.X2 = GetReal(r, kTurnX2);
  t.Extra = GetReal(r, kTurnExtra);
  t.Hidden = r[kTurnHidden];
  t.NoseRadius = GetReal(r, kTurnNose);
  t.TipNo = r[kTurnTip];
  t.Station = r[kTurnStation];
  return t;
}

std::vector<RawRecord> SplitRecords(std::string_view bytes) {
  std::vector<RawRecord> out(bytes.size() / kToolRecordSize);
  for (size_t i = 0; i < out.size(); ++i)
    std::memcpy(out[i].data(), bytes.data() + i * kToolRecordSize, kToolRecordSize);
  return out;
}

std::string CheckRegisterImage(std::string_view bytes, RecordKind kind) {
  if (bytes.size() % kToolRecordSize != 0)
    return L1("filstørrelsen ") + std::to_string(bytes.size()) + " er ikke et multiplum av 52";
  size_t n = bytes.size() / kToolRecordSize;
  RawRecord r{};
  int32_t previous = 0;
  for (size_t i = 0; i < n; ++i) {
    std::memcpy(r.data(), bytes.data() + i * kToolRecordSize, kToolRecordSize);
    int32_t no = RawToolNo(r);
    if (i > 0 && no <= previous)
      return "ikke sortert ved post " + std::to_string(i + 1) + L1(" (verktøy ") +
             std::to_string(no) + ")";
    previous = no;
    bool ok = true;
    if (kind == RecordKind::Tool) {
      for (size_t k = 0; k < 8 && ok; ++k) ok = RealOk(&r[4 + 6 * k]);
    } else {
      for (size_t at : kTurnReals) ok = ok && RealOk(&r[at]);
    }
    if (!ok)
      return "ugyldig tall i post " + std::to_string(i + 1) + L1(" (verktøy ") +
             std::to_string(no) + ")";
  }
  return {};
}

}  // namespace zova
