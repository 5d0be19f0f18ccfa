#include "serial/variants/siemens_framer.h"

namespace zova {

SiemensFramer::SiemensFramer(std::string_view stoppTegn)
    : end_(stoppTegn.empty() ? -1 : static_cast<unsigned char>(stoppTegn[0])) {}

size_t SiemensFramer::Feed(std::string_view run, std::string& stored, std::string& head) {
  size_t used = 0;
  while (used < run.size() && !Ended()) FeedOne(run[used++], stored, head);
  return used;
}

void SiemensFramer::FeedOne(char ch, std::string& stored, std::string& head) {
  anyChar_ = true;
  last_ = ch;
  if (phase_ == SiemensPhase::Dropping) {
    if (IsEnd(ch)) {
      // The control ended a transmission that never began.
      phase_ = SiemensPhase::Ended;
      complete_ = true;
      return;
    }
    if (ch != '%' && ch != '@') return;
    phase_ = SiemensPhase::InProgram;
    started_ = true;
  }
  InProgram(ch, stored, head);
}

void SiemensFramer::InProgram(char ch, std::string& stored, std::string& head) {
  if (percentPending_) {
    percentPending_ = false;
    if (ch != 'S') {
      headStarted_ = true;
      head += '%';
    }
  }
  if (IsEnd(ch)) {
    if (!headStarted_) return;
    phase_ = SiemensPhase::Ended;
    complete_ = true;
    return;
  }
  stored += ch;
  if (headStarted_)
    head += ch;
  else if (ch == '%')
    percentPending_ = true;
}

void SiemensFramer::Quiet() {
  if (Ended()) return;
  phase_ = SiemensPhase::Ended;
  const bool lineEnd = anyChar_ && (last_ == '\0' || last_ == '\n' || last_ == '\r');
  complete_ = end_ < 0 || lineEnd;
}

}  // namespace zova
