#include "protocols/t3964r/r3964_link.h"

#include "core/visual.h"

namespace zova::r3964 {

std::string UnsolicitedMessage(std::string_view telegram) {
  return "Egenmelding: " + StrToVisual(telegram);
}

StartSend::Action StartSend::Begin() {
  attempt_ = 1;
  return Action::kWriteStx;
}

StartSend::Action StartSend::NextAttempt() {
  if (attempt_ >= kStartAttempts) return Action::kFailed;
  ++attempt_;
  return Action::kWriteStx;
}

StartSend::Action StartSend::OnChar(char ch) {
  switch (ch) {
    case kDle:
      return Action::kConnected;
    case kNak:
      return NextAttempt();
    case kStx:
      // The high-priority side waits for the partner to give way.
      return highPriority_ ? Action::kWait : Action::kReceiveUnsolicited;
    default:
      return Action::kWait;
  }
}

BlockAnswer ClassifyBlockAnswer(char ch) {
  if (ch == kDle) return BlockAnswer::kAccepted;
  if (ch == kNak) return BlockAnswer::kRejected;
  return BlockAnswer::kOther;
}

TelegramSender::TelegramSender(std::string_view telegram, bool highPriority)
    : block_(BuildBlock(telegram)), highPriority_(highPriority), start_(highPriority) {}

TelegramSender::Step TelegramSender::Begin() {
  if (!block_.Ok()) return Finish(false);
  pass_ = 1;
  return StartResult(start_.Begin());
}

TelegramSender::Step TelegramSender::StartResult(StartSend::Action action) {
  Step step;
  switch (action) {
    case StartSend::Action::kWriteStx:
      step.write = std::string(1, kStx);
      break;
    case StartSend::Action::kWait:
      break;
    case StartSend::Action::kConnected:
      step.write = block_.bytes;
      blockSent_ = true;
      break;
    case StartSend::Action::kReceiveUnsolicited:
      step.unsolicited = true;
      break;
    case StartSend::Action::kFailed:
      return EndPass(true);
  }
  return step;
}

TelegramSender::Step TelegramSender::EndPass(bool repeat) {
  Step step;
  if (repeat && pass_ < kPasses) {
    ++pass_;
    start_ = StartSend(highPriority_);
    blockSent_ = false;
    step = StartResult(start_.Begin());
  } else {
    step = Finish(false);
  }
  step.passEnded = true;
  return step;
}

TelegramSender::Step TelegramSender::Finish(bool ok) {
  Step step;
  step.done = true;
  step.ok = ok;
  return step;
}

TelegramSender::Step TelegramSender::OnChar(char ch) {
  if (!blockSent_) return StartResult(start_.OnChar(ch));
  switch (ClassifyBlockAnswer(ch)) {
    case BlockAnswer::kAccepted: {
      Step step = Finish(true);
      step.passEnded = true;
      return step;
    }
    case BlockAnswer::kRejected:
      return EndPass(true);
    default:
      return EndPass(false);
  }
}

TelegramSender::Step TelegramSender::OnTimeout() {
  if (blockSent_) return EndPass(false);
  Step step = StartResult(start_.OnTimeout());
  step.flushConsole = true;
  return step;
}

TelegramSender::Step TelegramSender::OnWriteFailed() {
  // A block that did not go out whole is not the partner's to refuse.
  if (blockSent_) return EndPass(false);
  return StartResult(start_.OnTimeout());
}

TelegramSender::Step TelegramSender::AfterUnsolicited() {
  return StartResult(start_.AfterUnsolicited());
}

TelegramReceiver::Step TelegramReceiver::Feed(std::string_view run) {
  Step step;
  if (done_ || run.empty()) {
    step.done = done_;
    step.ok = done_ && !telegram_.empty();
    return step;
  }
  if (pass_ == 0) pass_ = 1;
  if (awaitingStx_) {
    if (run[0] != kStx) return Fail(1);
    awaitingStx_ = false;
    block_ = BlockCollector();
    step.used = 1;
    step.write = std::string(1, kDle);
    return step;
  }
  const size_t used = block_.Feed(run);
  if (block_.End() == BlockEnd::kOpen) {
    step.used = used;
    return step;
  }
  step = BlockDecided();
  step.used = used;
  return step;
}

TelegramReceiver::Step TelegramReceiver::OnTimeout() {
  if (done_) return Feed({});
  if (pass_ == 0) pass_ = 1;
  if (awaitingStx_) return Fail(0);
  block_.TimedOut();
  return BlockDecided();
}

TelegramReceiver::Step TelegramReceiver::Fail(size_t used) {
  // No STX: the partner had nothing to send; nothing is answered.
  Step step;
  step.used = used;
  step.passEnded = true;
  step.done = true;
  done_ = true;
  return step;
}

TelegramReceiver::Step TelegramReceiver::BlockDecided() {
  Step step;
  step.passEnded = true;
  if (block_.End() == BlockEnd::kAccepted) {
    telegram_ = block_.Telegram();
    step.write = std::string(1, kDle);
    step.done = step.ok = done_ = true;
    return step;
  }
  step.retransmit = true;
  step.write = std::string(1, kNak);
  if (pass_ < kPasses) {
    ++pass_;
    awaitingStx_ = true;
  } else {
    step.done = done_ = true;
  }
  return step;
}

}  // namespace zova::r3964
