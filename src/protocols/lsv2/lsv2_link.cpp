#include "protocols/lsv2/lsv2_link.h"

#include "core/visual.h"

namespace zova::lsv2 {

namespace {

std::string Byte(char ch) {
  return std::string(1, ch);
}

// A line that keeps bringing noise is given up on after this many bytes.
constexpr size_t kMaxDrain = 1 << 16;

}  // namespace

Connect::Step Connect::Begin() {
  attempt_ = 1;
  digit_ = false;
  Step step;
  step.write = Byte(kEnq);
  return step;
}

Connect::Step Connect::NextAttempt(std::string write) {
  Step step;
  digit_ = false;
  if (attempt_ < limit_) {
    ++attempt_;
    step.write = write + kEnq;
    return step;
  }
  step.write = write + kEot;
  step.done = true;
  return step;
}

Connect::Step Connect::OnChar(char ch) {
  Step step;
  if (digit_) {
    if (ch == '0') {
      step.done = step.ok = true;
      return step;
    }
    // DLE "1": the control cannot take a telegram now.
    return NextAttempt(ch == '1' ? Byte(kEot) : "");
  }
  switch (ch) {
    case kEnq:
      limit_ = kCollisionAttempts;
      step.collision = true;
      return step;
    case kDle:
      digit_ = true;
      step.read = ReadMode::kSingle;
      return step;
    case kNak:
      step.write = Byte(kEot);
      step.done = true;
      return step;
    default:
      return step;
  }
}

Connect::Step Connect::OnNothing() {
  return NextAttempt("");
}

FrameSender::Step FrameSender::Begin() {
  count_ = 0;
  digit_ = sawAnswer_ = false;
  Step step;
  step.write = frame_;
  return step;
}

FrameSender::Step FrameSender::Again(bool resend) {
  ++count_;
  digit_ = sawAnswer_ = false;
  Step step;
  if (count_ >= kFrameCounts) {
    step.done = true;
    return step;
  }
  // A NAK or silence: the frame again. Anything else: the control is asked
  // to repeat its acknowledgement.
  step.write = resend ? frame_ : Byte(kEnq);
  return step;
}

FrameSender::Step FrameSender::OnChar(char ch) {
  Step step;
  if (digit_) {
    if (ch == '1') {
      step.write = Byte(kEot);
      step.done = step.ok = true;
      return step;
    }
    return Again(ch == kNak);
  }
  if (ch == kNak) return Again(true);
  if (ch == kDle) {
    digit_ = true;
    step.read = ReadMode::kSingle;
    return step;
  }
  sawAnswer_ = true;
  return step;
}

FrameSender::Step FrameSender::OnNothing() {
  return Again(!digit_ && !sawAnswer_);
}

Receiver::Receiver(bool enqSeen, ReceiveLimits limits)
    : state_(enqSeen ? State::kBlock : State::kAwaitEnq), limits_(limits) {
  if (enqSeen) StartBlock();
}

void Receiver::StartBlock() {
  state_ = State::kBlock;
  block_ = BlockCollector();
  if (failures_ + 1 > maxAttempt_) maxAttempt_ = failures_ + 1;
}

ReadMode Receiver::NextRead() const {
  switch (state_) {
    case State::kAwaitEnq:
      return ReadMode::kFull;
    case State::kBlock:
      return block_.NeedsBcc() ? ReadMode::kFull : ReadMode::kSingle;
    case State::kDrain:
      return ReadMode::kPoll;
    default:
      return ReadMode::kSingle;
  }
}

Receiver::Step Receiver::Finish(Step step) {
  state_ = State::kDone;
  step.done = true;
  return step;
}

Receiver::Step Receiver::OnChar(char ch) {
  Step step;
  switch (state_) {
    case State::kAwaitEnq:
      if (ch != kEnq) return Finish(step);
      step.write = std::string(kAck0);
      StartBlock();
      return step;
    case State::kBlock:
      return CollectBlock(ch);
    case State::kDrain:
      lastDropped_ = ch;
      if (++dropped_ >= kMaxDrain) return Restart();
      return step;
    case State::kAwaitEot:
      if (ch != kEot) {
        step.unread = true;
        step.unreadChar = ch;
      }
      break;
    case State::kDone:
      return Finish(step);
  }
  // The telegram is complete.
  if (garbageRestart_ && telegram_.compare(0, 4, "T BD") == 0) {
    // The control's answer to the noise, not a telegram: start afresh.
    telegram_.clear();
    blocks_ = failures_ = maxAttempt_ = 0;
    garbageRestart_ = false;
    state_ = State::kAwaitEnq;
    return step;
  }
  step.ok = true;
  return Finish(step);
}

Receiver::Step Receiver::OnNothing() {
  Step step;
  switch (state_) {
    case State::kAwaitEnq:
    case State::kDone:
      return Finish(step);
    case State::kBlock:
      // A block cut by a timeout is collected again without a reply.
      return BlockFailed(false);
    case State::kDrain:
      return Restart();
    case State::kAwaitEot:
      // No EOT is no error.
      return OnChar(kEot);
  }
  return Finish(step);
}

Receiver::Step Receiver::CollectBlock(char ch) {
  Step step;
  block_.Feed(std::string_view(&ch, 1));
  const bool tooLong = limits_.maxBlock > 0 && block_.Raw().size() > limits_.maxBlock;
  if (block_.Garbage() || tooLong) {
    ++failures_;
    lastDropped_ = ch;
    dropped_ = 0;
    state_ = State::kDrain;
    return step;
  }
  if (!block_.Complete()) return step;
  if (!block_.Valid()) {
    const std::string marker = "BCC=" + CharToVisual(block_.ComputedBcc());
    step = BlockFailed(true);
    step.marker = marker;
    return step;
  }
  step.write = std::string(kAck1);
  AppendBlockText(telegram_, block_.Text(), blocks_ == 0);
  ++blocks_;
  failures_ = 0;
  if (block_.MoreFollows() && !limits_.singleBlock)
    StartBlock();
  else
    state_ = State::kAwaitEot;
  return step;
}

Receiver::Step Receiver::BlockFailed(bool answered) {
  Step step;
  ++failures_;
  if (failures_ >= kBlockAttempts) {
    if (answered) step.write = Byte(kEot);
    return Finish(step);
  }
  if (answered) step.write = Byte(kNak);
  StartBlock();
  return step;
}

Receiver::Step Receiver::Restart() {
  Step step;
  garbageRestart_ = true;
  if (failures_ >= kBlockAttempts) return Finish(step);
  if (lastDropped_ == kEnq) {
    // The control has already asked again.
    step.write = std::string(kAck0);
    StartBlock();
    return step;
  }
  state_ = State::kAwaitEnq;
  return step;
}

Receiver::Step Receiver::Feed(std::string_view run, size_t& used) {
  used = 0;
  Step step;
  while (used < run.size()) {
    step = OnChar(run[used++]);
    if (!step.write.empty() || !step.marker.empty() || step.unread || step.done) break;
  }
  return step;
}

Receiver::Notice Receiver::RetryNotice() const {
  if (maxAttempt_ <= 1) return {};
  if (telegram_.empty()) return {"TimeOut", "TimeOut, komplett linje ikke mottatt"};
  return {"BCC", "Retransmittering pga. BCC-feil: " + StrToVisual(telegram_)};
}

}  // namespace zova::lsv2
