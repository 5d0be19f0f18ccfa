#include "serial/standard/standard_framer.h"

#include "serial/standard/send_choice.h"

namespace zova {

namespace {

int FirstCode(const std::string& code) {
  return code.empty() ? -1 : static_cast<unsigned char>(code[0]);
}

}  // namespace

StandardFramer::StandardFramer(const StandardCodes& codes)
    : startCode_(FirstCode(codes.startKode)),
      stopCode_(FirstCode(codes.stoppKode)),
      endCode_(FirstCode(codes.stoppTegn)),
      endLength_(codes.stoppTegn.size()),
      started_(codes.startKode.empty()) {
  sequence_.Reset(codes.stoppFeil);
}

StandardFramer::Step StandardFramer::Feed(std::string_view run) {
  Step step;
  if (ended_) return step;
  const bool matching = !sequence_.Empty();
  for (char ch : run) {
    const int c = static_cast<unsigned char>(ch);
    // A stop code before the start is program text; the start code counts
    // only until the stop code has come.
    if (started_ && c == stopCode_) stopSeen_ = true;
    if (!stopSeen_ && c == startCode_) started_ = true;
    if (matching && sequence_.Match(ch)) matched_ = true;
    ++step.used;
    if (c == endCode_) {
      ended_ = true;
      return step;
    }
    ++step.stored;
  }
  return step;
}

bool StandardFramer::Complete() const {
  return ReceptionComplete(stopSeen_, matched_, stopCode_ < 0, started_);
}

}  // namespace zova
