#include "serial/variants/btr_framer.h"

namespace zova {

namespace {

int FirstCode(const std::string& code) {
  return code.empty() ? -1 : static_cast<unsigned char>(code[0]);
}

}  // namespace

BtrFramer::BtrFramer(const BtrCodes& codes, bool alreadyStarted)
    : codes_(codes),
      start_(FirstCode(codes.startKode)),
      start2_(FirstCode(codes.startKode2)),
      stop_(FirstCode(codes.stoppKode)),
      end_(FirstCode(codes.stoppTegn)),
      phase_(alreadyStarted ? BtrPhase::InStartSequence : BtrPhase::WaitingForStart),
      startPos_(alreadyStarted ? 1 : 0),
      startSeen_(alreadyStarted) {
  sequence_.Reset(codes.stoppFeil);
}

size_t BtrFramer::Feed(std::string_view run, std::string& stored) {
  size_t used = 0;
  for (char ch : run) {
    if (phase_ == BtrPhase::Ended) break;
    FeedOne(ch, stored);
    ++used;
  }
  return used;
}

void BtrFramer::Quiet() {
  // A program cut off by silence is not complete, and its stop code is not
  // stored for it: the file must not look whole.
  if (phase_ != BtrPhase::Ended) EndAt(false);
}

void BtrFramer::EndAt(bool complete) {
  if (phase_ == BtrPhase::InProgram) complete_ = complete;
  phase_ = BtrPhase::Ended;
}

void BtrFramer::FeedOne(char ch, std::string& stored) {
  const int c = static_cast<unsigned char>(ch);
  switch (phase_) {
    case BtrPhase::WaitingForStart:
      if (c == start_ || c == start2_) {
        startSeen_ = true;
        startPos_ = 1;
        phase_ = BtrPhase::InStartSequence;
      } else if (c == end_) {
        phase_ = BtrPhase::Ended;
      }
      return;
    case BtrPhase::InStartSequence:
      if (startPos_ < codes_.startKode.size() && ch == codes_.startKode[startPos_]) {
        ++startPos_;
        return;
      }
      if (c == end_) {
        phase_ = BtrPhase::Ended;
        return;
      }
      if (ch == '\n' || ch == '\r' || ch == codes_.terminator) return;
      started_ = true;
      phase_ = BtrPhase::InProgram;
      if (codes_.lagreKoder) stored += codes_.startKode;
      break;  // the first character of the program
    case BtrPhase::InProgram:
      if (c == end_) {
        // Without a stop code the end character closes a whole program.
        EndAt(stop_ < 0);
        return;
      }
      if (c == stop_ && !inComment_) {
        complete_ = true;
        if (codes_.lagreKoder) stored += codes_.stoppKode;
        phase_ = BtrPhase::AfterStop;
        return;
      }
      break;
    case BtrPhase::AfterStop:
      if (c == end_) {
        phase_ = BtrPhase::Ended;
      } else if (c == start_) {
        nextFollows_ = true;
        phase_ = BtrPhase::Ended;
      }
      return;
    case BtrPhase::Ended:
      return;
  }
  stored += ch;
  if (!sequence_.Empty() && sequence_.Match(ch)) matched_ = true;
  if (codes_.parentheses) {
    if (ch == '(') inComment_ = true;
    if (ch == ')') inComment_ = false;
  }
}

}  // namespace zova
