#include "statuslog/box/box_framer.h"

namespace zova::box {

bool IsReportDigit(char ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F');
}

uint16_t ReportWord(const std::string& digits) {
  uint16_t word = 0;
  for (char ch : digits) {
    if (!IsReportDigit(ch)) continue;
    const int v = ch <= '9' ? ch - '0' : ch - 'A' + 10;
    word = static_cast<uint16_t>((word << 4) | v);
  }
  return word;
}

BoxEvent BoxFramer::Feed(char ch) {
  if (!inReport_) {
    if (ch == kEnq) return BoxEvent::Reset;
    if (ch == kStx) {
      inReport_ = true;
      digits_.clear();
    }
    return BoxEvent::None;
  }
  if (ch == kEtx) {
    inReport_ = false;
    word_ = ReportWord(digits_);
    return BoxEvent::Report;
  }
  // A digit run cannot grow without bound on a noisy line: only the last four
  // digits make the word.
  if (IsReportDigit(ch)) {
    if (digits_.size() >= 64) digits_.erase(0, 1);
    digits_ += ch;
  }
  return BoxEvent::None;
}

void BoxFramer::Clear() {
  inReport_ = false;
  digits_.clear();
}

std::string ReportRequest() {
  return std::string(1, kEnq);
}

std::string MaskTelegram(const std::string& mask) {
  return kStx + mask + kEtx;
}

bool MaskIsSent(const std::string& mask) {
  return mask.size() == 8;
}

}  // namespace zova::box
