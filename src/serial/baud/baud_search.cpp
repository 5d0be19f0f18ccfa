#include "serial/baud/baud_search.h"

#include "core/config/config.h"
#include "core/numparse.h"

namespace zova {

int BaudFromText(const std::string& text, int def) {
  const auto n = ParseInteger(text);
  return n && *n > 0 ? static_cast<int>(*n) : def;
}

LineSettings DetectionLine(int rate, const BaudSearchSettings& s) {
  LineSettings l;
  l.baud = rate;
  l.dataBits = s.bit >= 9 ? 8 : s.bit;
  l.parity = s.bit >= 9 ? Parity::Even : Parity::None;
  l.stopBits = s.stopBits == 2 ? 2 : 1;
  l.rtsCts = true;
  l.markErrors = true;
  return l;
}

int NextBaudRate(int rate, const BaudSearchSettings& s) {
  const int next = rate / 2;
  return next < s.minBaud ? s.maxBaud : next;
}

BaudSearch::BaudSearch(const BaudSearchSettings& s) : settings_(s), rate_(s.maxBaud) {}

BaudSearch::Step BaudSearch::Feed(bool faulty) {
  if (phase_ == BaudPhase::Detected) return Step::None;
  ++count_;
  if (phase_ == BaudPhase::Synchronising) {
    if (count_ < kBaudSyncChars) return Step::None;
    phase_ = BaudPhase::Checking;
    count_ = 0;
    faultSeen_ = false;
    return Step::Checking;
  }
  faultSeen_ = faultSeen_ || faulty;
  if (count_ < kBaudCheckChars) return Step::None;
  count_ = 0;
  if (!faultSeen_) {
    phase_ = BaudPhase::Detected;
    return Step::Detected;
  }
  rate_ = NextBaudRate(rate_, settings_);
  phase_ = BaudPhase::Synchronising;
  return Step::NextRate;
}

uint8_t ShownChar(uint8_t b, bool& highBitSeen) {
  if (b > 127) highBitSeen = true;
  return static_cast<uint8_t>(b % 128);
}

BaudCodeKeys CodeKeys(bool highBitSeen, int bit) {
  BaudCodeKeys k;
  k.kode = highBitSeen ? "ISO" : "Ascii";
  k.bit = bit >= 9 ? "8" : std::to_string(bit);
  k.paritet = bit >= 9 ? "E" : "N";
  return k;
}

std::string RateQuestion(int rate) {
  return "Sette baud-rate til " + std::to_string(rate) + "?";
}

std::string CodeQuestion(bool highBitSeen) {
  return highBitSeen ? "Sette kode til ISO?" : "Sette kode til Ascii?";
}

std::string StopQuestion(int stopBits) {
  return "Sette stoppbit til " + std::to_string(stopBits) + "?";
}

bool WriteBaudAnswers(const std::string& port, int rate, bool highBitSeen,
                      const BaudSearchSettings& s, bool rateYes, bool codeYes, bool stopYes) {
  bool ok = true;
  if (rateYes) ok = WriteIniStr(port, "Baud", std::to_string(rate)) && ok;
  if (codeYes) {
    const BaudCodeKeys k = CodeKeys(highBitSeen, s.bit);
    ok = WriteIniStr(port, "Kode", k.kode) && ok;
    ok = WriteIniStr(port, "Bit", k.bit) && ok;
    ok = WriteIniStr(port, "Paritet", k.paritet) && ok;
  }
  if (stopYes) ok = WriteIniStr(port, "StoppBit", std::to_string(s.stopBits)) && ok;
  return ok;
}

}  // namespace zova
