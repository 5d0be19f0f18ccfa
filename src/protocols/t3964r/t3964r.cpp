#include "protocols/t3964r/t3964r.h"

#include "core/latin1.h"
#include "protocols/t3964r/r3964_link.h"
#include "protocols/t3964r/telegram_line.h"

namespace zova {

T3964R::T3964R(const UiLinks& links, MachineRequest& sharedRequest, int machineNo, bool lowPriority)
    : TBalluffData(links, sharedRequest, machineNo), HighPriority(!lowPriority) {}

void T3964R::OpenTelegramPort(const std::string& portName, bool& ok, TComPort& rec) {
  OpenPort(portName, "", ok, false, rec);
  if (!ok) return;
  MakeTelegramLine(rec, rec.Dcb);
  rec.BlokkvisActive = false;
  int err = 0;
  if (!rec.Handle->Configure(rec.Dcb, err))
    LogMarker(true, Trim(portName) + ": " + DeviceErrorText(err));
}

bool T3964R::WriteBytes(TComPort& rec, std::string_view bytes) {
  if (bytes.empty()) return true;
  bool ok = false;
  size_t sent = 0;
  WriteChars(rec, bytes, false, ok, sent);
  return ok && sent == bytes.size();
}

bool T3964R::SendTelegram(TComPort& rec, const std::string& telegram) {
  r3964::TelegramSender sender(telegram, HighPriority);
  if (sender.Error() != r3964::BlockError::kNone) {
    // Cut short it would reach the partner as another telegram.
    ReportCellWait(kColMelding, sender.Error() == r3964::BlockError::kTooLong
                                    ? "Telegram over 255 byte: " +
                                          std::to_string(r3964::DoubleDle(telegram).size() + 1)
                                    : std::string("Telegram uten DLE ETX"));
    return false;
  }
  r3964::TelegramSender::Step step = sender.Begin();
  for (;;) {
    if (step.flushConsole) FlushConsole();
    if (step.passEnded) LogNewLine();
    if (!WriteBytes(rec, step.write)) {
      step = sender.OnWriteFailed();
      continue;
    }
    if (step.done) return step.ok;
    if (step.unsolicited) {
      ReceiveUnsolicited(rec);
      step = sender.AfterUnsolicited();
      continue;
    }
    if (Terminated()) return false;
    char ch = 0;
    bool ok = false;
    ReadChar(rec, false, ok, ch);
    step = ok ? sender.OnChar(ch) : sender.OnTimeout();
  }
}

bool T3964R::ReceiveTelegram(TComPort& rec, std::string& telegram) {
  r3964::TelegramReceiver receiver;
  return RunReceive(rec, receiver, telegram);
}

void T3964R::ReceiveUnsolicited(TComPort& rec) {
  // The partner's STX has been read: the receive starts as though it had
  // just come.
  r3964::TelegramReceiver receiver;
  const r3964::TelegramReceiver::Step first = receiver.Feed(std::string_view(&r3964::kStx, 1));
  std::string telegram;
  const bool ok = WriteBytes(rec, first.write) && RunReceive(rec, receiver, telegram);
  if (ok)
    HandleUnsolicited(telegram);
  else
    ReportCellWait(kColMelding, std::string(r3964::kUnsolicitedFailedText));
}

void T3964R::HandleUnsolicited(const std::string& telegram) {
  ReportCellWait(kColMelding, r3964::UnsolicitedMessage(telegram));
}

bool T3964R::RunReceive(TComPort& rec, r3964::TelegramReceiver& r, std::string& telegram) {
  for (;;) {
    char ch = 0;
    bool ok = false;
    ReadChar(rec, false, ok, ch);
    const r3964::TelegramReceiver::Step step =
        ok ? r.Feed(std::string_view(&ch, 1)) : r.OnTimeout();
    if (step.retransmit) ReportCell(kColMelding, std::string(r3964::kRetransmitText));
    // A NAK that does not go out is the partner's timeout: the pass ends
    // the same way.
    WriteBytes(rec, step.write);
    if (step.passEnded) LogNewLine();
    if (step.done) {
      telegram = step.ok ? r.Telegram() : std::string();
      return step.ok;
    }
  }
}

}  // namespace zova
