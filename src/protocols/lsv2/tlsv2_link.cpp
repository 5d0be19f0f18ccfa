// The LSV2 link on the machine's line: the ENQ handshake, frames and their
// acknowledgements, telegrams of one or more blocks, and the answers the
// dialogues wait for.

#include "core/latin1.h"
#include "core/visual.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/lsv2/lsv2_telegrams.h"
#include "protocols/lsv2/tlsv2.h"

namespace zova {

bool TLSV2::Read(lsv2::ReadMode mode, char& ch) {
  return link_.Read(mode, ch);
}

bool TLSV2::AnswerEnq(bool singleRead, char& ch) {
  if (!Read(singleRead ? lsv2::ReadMode::kSingle : lsv2::ReadMode::kFull, ch)) return false;
  if (ch == lsv2::kEnq) Write(lsv2::kAck0);
  return true;
}

bool TLSV2::LsvConnect() {
  return link_.Connect();
}

bool TLSV2::LsvSendFrame(const std::string& frame) {
  return link_.SendFrame(frame);
}

bool TLSV2::LsvSend(std::string_view telegram) {
  return link_.Send(telegram);
}

bool TLSV2::LsvReceive(std::string& telegram, bool enqSeen) {
  lsv2::Receiver::Notice notice;
  const bool ok = link_.Receive(telegram, enqSeen, notice);
  if (!notice.message.empty()) ReportCellWait(kColMelding, notice.message);
  return ok;
}

void TLSV2::TakeCollisionTelegram() {
  Write(lsv2::kAck0);
  std::string telegram;
  if (LsvReceive(telegram, true)) {
    switch (lsv2::QueueReport(queue_, telegram)) {
      case lsv2::QueueResult::kNotReport:
        ReportCell(kColMelding, "Forkaster: " + StrToVisual(telegram));
        break;
      case lsv2::QueueResult::kFull:
        ReportCellWait(kColMelding, lsv2::QueueFullMessage());
        break;
      case lsv2::QueueResult::kQueued:
        break;
    }
  }
  Pause(500);
}

bool TLSV2::ReceiveAnswer(std::string& answer, bool enqSeen) {
  for (;;) {
    if (!LsvReceive(answer, enqSeen)) return false;
    enqSeen = false;
    const lsv2::QueueResult queued = lsv2::QueueReport(queue_, answer);
    if (queued == lsv2::QueueResult::kNotReport) return true;
    if (queued == lsv2::QueueResult::kFull) ReportCellWait(kColMelding, lsv2::QueueFullMessage());
    if (Terminated()) return false;
  }
}

bool TLSV2::ReceiveAnswerWaiting(std::string& answer) {
  lsv2::AnswerWait wait;
  for (;;) {
    const bool ok = ReceiveAnswer(answer);
    const lsv2::AnswerWait::Step step = wait.After(ok, answer);
    if (step.showWaiting) {
      FlushConsole();
      ReportCell(kColMelding, lsv2::WaitingMessage());
    }
    if (step.clearMelding) SetCell(kColMelding, "");
    if (!step.again) return ok;
    if (Terminated()) return false;
  }
}

bool TLSV2::ReceiveAnswerWithin(int seconds, std::string& answer) {
  const int tries = lsv2::AnswerTries(seconds, Com.TimeMultiplier);
  for (int i = 0; i < tries && !Terminated(); ++i)
    if (ReceiveAnswer(answer)) return true;
  return false;
}

bool TLSV2::NextNcTelegram(std::string& telegram, bool enqSeen) {
  if (!enqSeen && !queue_.Empty()) {
    telegram = *queue_.Pop();
    return true;
  }
  return LsvReceive(telegram, enqSeen);
}

}  // namespace zova
