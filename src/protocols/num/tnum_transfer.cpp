// The NUM blocks both ways: a program (or the tool data) sent block by
// block, each until acknowledged, and a punched-back program received.

#include "core/latin1.h"
#include "files/storage/safe_file.h"
#include "protocols/num/tnum.h"

namespace zova {

using namespace num;

namespace {

constexpr int kBlockPauseMs = 10;
// A control that starts over every time is given up on after this many.
constexpr int kMaxRestarts = 10;

}  // namespace

void TNum::SendNumProgram(bool tool) {
  ReportCell(kColStatus, tool ? L1("Sender verktøydata") : std::string("Sender data"));
  std::string line;
  if (!AwaitLine(line)) return;
  if (!IsStartLine(line)) {
    SetCell(kColMelding, "Sending avbrutt - feil data");
    return;
  }
  int repetitions = 0;
  SendEnd end = SendEnd::Restart;
  for (int restarts = 0; end == SendEnd::Restart && !Terminated(); ++restarts) {
    if (restarts > kMaxRestarts) {
      end = SendEnd::Failed;
      break;
    }
    if (restarts > 0) ReportCell(kColMelding, "Sending restartes");
    end = SendBlocks(tool, repetitions);
  }
  if (end != SendEnd::Sent) {
    ReportCell(kColStatus, "Sending avbrutt");
    return;
  }
  ReportCell(kColStatus, "Fil sendt");
  if (repetitions == 0) SetCell(kColMelding, "");
  if (!tool) LogSentToCnc(TransferPath.empty() ? TransferName : TransferPath);
  bool ok = true;
  PrepareTransfer(tool, ok);
}

TNum::SendEnd TNum::SendBlocks(bool tool, int& repetitions) {
  bool ok = true;
  SendNumLine("", ok);
  if (!ok) return SendEnd::Failed;
  bool opened = false;
  if (tool) {
    OpenForSend(TransferName, opened);
  } else {
    bool raw = false;
    OpenSendFile(false, raw, opened);
  }
  if (!opened) {
    SetCell(kColMelding, L1("Feil med åpning av fil"));
    return SendEnd::Failed;
  }
  int counter = 0;
  bool restart = false, sent = true;
  NumBlocker blocker;
  auto nextLine = [&](std::string& l) {
    bool got = false;
    ReadFileLine(l, got);
    return got;
  };
  while (sent && !Terminated()) {
    const std::optional<std::string> content = blocker.NextBlock(nextLine);
    if (!content) break;
    sent = SendBlock(FrameBlock(*content), counter, repetitions, restart);
  }
  if (sent && !Terminated()) sent = SendBlock(EndBlock(), counter, repetitions, restart);
  bool closed = false;
  CloseFile(closed);
  if (restart) return SendEnd::Restart;
  return sent && !Terminated() ? SendEnd::Sent : SendEnd::Failed;
}

bool TNum::SendBlock(const std::string& block, int& counter, int& repetitions, bool& restart) {
  for (int send = 0; send < kTries && !Terminated(); ++send) {
    if (send > 0) {
      ++repetitions;
      SetCell(kColMelding, "Antall repetisjoner: " + std::to_string(repetitions));
    }
    Pause(kBlockPauseMs);
    bool ok = true;
    SendNumLine(block, ok);
    if (!ok) return false;
    std::string reply;
    ReadNumLine(reply, ok);
    if (!ok) continue;
    switch (JudgeReply(reply, counter)) {
      case BlockReply::Acked:
        counter ^= 1;
        return true;
      case BlockReply::Restart:
        restart = true;
        return false;
      case BlockReply::Wrong:
        break;
    }
  }
  return false;
}

void TNum::ReceiveNumProgram() {
  ReportCell(kColStatus, "Leser data");
  std::string line;
  if (!AwaitLine(line)) return;
  if (!IsStartLine(line)) {
    SetCell(kColMelding, "Lesing avbrutt - feil data");
    return;
  }
  bool writeOk = true;
  SendNumLine("", writeOk);
  SendNumLine(AckLine(0), writeOk);
  bool opened = false;
  OpenReceiveFile(opened);
  if (!opened) {
    SetCell(kColMelding, L1("Feil med åpning av fil"));
    return;
  }
  SetCell(kColMelding, L1("Overføring startet"));
  NumReceiver receiver;
  bool storeOk = true, finished = false;
  while (writeOk && storeOk && !finished && !Terminated()) {
    bool read = false;
    ReadNumLine(line, read);
    if (!read) break;
    const ReceiveStep step = receiver.Feed(line);
    switch (step.kind) {
      case ReceiveStep::Kind::Store:
        StoreLine(step.text, storeOk);
        if (!storeOk) break;
        SendNumLine(step.reply, writeOk);
        FlushConsole();
        break;
      case ReceiveStep::Kind::Restart: {
        bool closed = false;
        CloseFile(closed);
        OpenReceiveFile(storeOk);
        SendNumLine(step.reply, writeOk);
        break;
      }
      case ReceiveStep::Kind::GiveUp:
        SendNumLine(step.reply, writeOk);
        finished = true;
        break;
      case ReceiveStep::Kind::Finish:
        finished = true;
        break;
      case ReceiveStep::Kind::Ignore:
        break;
      default:
        SendNumLine(step.reply, writeOk);
        break;
    }
  }
  // Only a program the control ended is stored: a broken one must not
  // replace the program of that name.
  const bool complete = receiver.EndSeen() || (finished && line.size() == 1 && line[0] == kEot);
  bool stored = false;
  if (complete && storeOk) {
    bool tooShort = false;
    CloseReceiveFile(true, static_cast<int>(Com.CharCount), tooShort, stored);
  } else {
    bool closed = false;
    CloseFile(closed);
    RemoveFile(TempName);
  }
  ReportCell(kColStatus, "Lesing avsluttet");
  if (!storeOk || (complete && !stored))
    SetCell(kColMelding, "Feil med lagring");
  else if (!writeOk)
    SetCell(kColMelding, "Feil med skriving til port");
  else if (!complete)
    SetCell(kColMelding, "Lesing avbrutt");
  else
    SetCell(kColMelding, "");
}

}  // namespace zova
