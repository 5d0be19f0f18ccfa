#include "protocols/heidenhain/thhlsv2.h"

#include "core/latin1.h"
#include "core/paths.h"
#include "core/visual.h"
#include "files/transfer/reception_names.h"
#include "protocols/heidenhain/hhlsv2_telegrams.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/t3964r/telegram_line.h"

namespace zova {

namespace {

constexpr int kAnnounceSettleMs = 1000;

}  // namespace

THHLsv2::THHLsv2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : THeidenHain(links, sharedRequest, machineNo),
      link_(
          *this, Com, [this] { DropCollisionTelegram(); },
          lsv2::ReceiveLimits{true, hhlsv2::kMaxBlockBytes}),
      blocks_(hhlsv2::kBlockSize) {
  const std::string& s = SectionName;
  Terminator = ReadIniUpper(s, "Terminator", "[NUL]", true);
  UnderKatalog = ReadIniStr(s, "UnderKatalog", "");
  blocks_ = lsv2::BlockReader(hhlsv2::kBlockSize, Terminator);
}

// ---- The line ----

void THHLsv2::MakeLineBinary(bool on) {
  if (on) {
    savedPort_ = Com;
    savedDcb_ = Com.Dcb;
    savedBlokkvis_ = Com.BlokkvisActive;
    MakeTelegramLine(Com, Com.Dcb);
    Com.BlokkvisActive = false;
  } else {
    static_cast<PortSettings&>(Com) = savedPort_;
    Com.Dcb = savedDcb_;
    Com.BlokkvisActive = savedBlokkvis_;
  }
  int err = 0;
  if (Com.Handle && !Com.Handle->Configure(Com.Dcb, err))
    LogMarker(true, Trim(Port) + ": " + DeviceErrorText(err));
}

bool THHLsv2::LsvSend(std::string_view telegram) {
  return link_.Send(telegram);
}

bool THHLsv2::LsvReceive(std::string& telegram) {
  lsv2::Receiver::Notice notice;
  const bool ok = link_.Receive(telegram, false, notice);
  if (!notice.message.empty()) ReportCellWait(kColMelding, "Retransmittering pga. BCC-feil");
  return ok;
}

bool THHLsv2::ReceiveAnswerWaiting(std::string& answer) {
  lsv2::AnswerWait wait;
  for (;;) {
    const bool ok = LsvReceive(answer);
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

bool THHLsv2::Exchange(std::string_view telegram) {
  std::string answer;
  return LsvSend(telegram) && ReceiveAnswerWaiting(answer) && answer == hhlsv2::kAnswerOk;
}

void THHLsv2::DropCollisionTelegram() {
  link_.Write(lsv2::kAck0);
  std::string telegram;
  lsv2::Receiver::Notice notice;
  if (link_.Receive(telegram, true, notice))
    ReportCell(kColMelding, "Forkaster: " + StrToVisual(telegram));
  Pause(500);
}

// ---- Dialogues ----

bool THHLsv2::LogOn() {
  ReportCell(kColMelding, L1("Logger på NC"));
  if (!Exchange(hhlsv2::kLogOn)) return false;
  return UnderKatalog.empty() || Exchange(hhlsv2::ChangeDir(UnderKatalog));
}

void THHLsv2::LogOff() {
  // The control's answer tells nothing the station acts on.
  std::string answer;
  if (LsvSend(hhlsv2::kLogOff)) LsvReceive(answer);
}

std::string THHLsv2::CurrentFileName() {
  return TransferPath.empty() ? GetCell(kColFilnavn) : TransferPath;
}

void THHLsv2::OnSendOrder() {
  ReportCell(kColStatus, "Sende program");
  SetCell(kColMelding, "");
  bool ok = false;
  OnTelegramLine([&] { ok = SendDialogue(); });
  ReportCellWait(kColStatus, ok ? std::string("Sending ferdig") : L1("Overføring feilet"));
}

bool THHLsv2::SendDialogue() {
  bool raw = false, opened = false;
  OpenSendFile(false, raw, opened);
  if (!opened) {
    // An empty file has said so itself.
    if (!FileExists(SendPath)) {
      std::string cell;
      bool stale = false;
      GetGridFileName(cell, stale);
      ReportCellWait(kColMelding, "Filen " + cell + " eksisterer ikke");
    }
    return false;
  }
  const std::string name = hhlsv2::ProgramName(CurrentFileName(), Search.maxLengde, DefaultExt);
  ReportCell(kColMelding, "Sende " + name);
  bool ok = LogOn();
  if (!ok) {
    ReportCellWait(kColMelding, L1("Pålogging feilet"));
  } else {
    ReportCell(kColMelding, "Sjekker om NC er klar");
    ok = Exchange(hhlsv2::NameTelegram(hhlsv2::kAnnounce, name, Terminator));
    if (!ok) {
      ReportCellWait(kColMelding, L1("Filen eksisterer fra før"));
    } else {
      Pause(kAnnounceSettleMs);
      ReportCell(kColMelding, "Sender programkjerne");
      ok = SendBlocks(name);
      if (ok)
        SetCell(kColMelding, "");
      else
        ReportCellWait(kColMelding, L1("Overføring avbrutt"));
    }
    LogOff();
  }
  // Closed whatever happened before.
  bool closed = false;
  CloseFile(closed);
  if (!closed) {
    ReportCellWait(kColMelding, "Feil med lukking av fil");
    ok = false;
  }
  return ok;
}

bool THHLsv2::SendBlocks(const std::string& name) {
  blocks_.Reset();
  const lsv2::BlockReader::NextLine next = [this](std::string& line) {
    bool ok = false;
    ReadFileLine(line, ok);
    return ok;
  };
  for (bool more = true; more;) {
    if (Terminated()) return false;
    const lsv2::BlockReader::Result block = blocks_.Read(next);
    // An empty file still ends with "T_FD"; a first line too long for a
    // block stops the send.
    if (!block.ok && block.more) return false;
    if (block.ok && !Exchange(std::string(hhlsv2::kData) + block.block)) return false;
    more = block.more;
  }
  if (!Exchange(hhlsv2::kFinished)) return false;
  LogSentToCnc(name);
  return true;
}

void THHLsv2::OnFetchOrder() {
  ReportCell(kColStatus, "Motta program");
  SetCell(kColMelding, "");
  bool ok = false;
  OnTelegramLine([&] { ok = FetchDialogue(); });
  ReportCellWait(kColStatus, ok ? std::string("Mottak ferdig") : L1("Overføring feilet"));
}

bool THHLsv2::FetchDialogue() {
  std::string cell;
  bool stale = false;
  GetGridFileName(cell, stale);
  cell = Trim(cell);
  if (cell.empty() || !GuardName(cell, false)) {
    ReportCellWait(kColMelding, "Ingen fil er valgt");
    return false;
  }
  SetFileName(WithDefaultExt(cell, Ext));
  if (!LogOn()) {
    ReportCellWait(kColMelding, L1("Pålogging feilet"));
    return false;
  }
  const std::string name = hhlsv2::ProgramName(cell, Search.maxLengde, DefaultExt);
  ReportCell(kColMelding, "Motta " + name);
  const bool ok = LsvSend(hhlsv2::NameTelegram(hhlsv2::kRead, name, Terminator)) && ReceiveBlocks();
  LogOff();
  return ok;
}

bool THHLsv2::ReceiveBlocks() {
  bool opened = false;
  OpenReceiveFile(opened);
  if (!opened) {
    ReportCellWait(kColMelding, L1("Feil med åpning av fil"));
    return false;
  }
  ReportCell(kColMelding, "Mottar programkjerne");
  bool whole = false, storeOk = true;
  while (storeOk && !Terminated()) {
    std::string t;
    if (!LsvReceive(t)) break;
    if (const std::optional<std::string> data = hhlsv2::FetchedData(t)) {
      StoreString(*data, storeOk);
      // A block that could not be written is not asked past.
      if (!storeOk || !LsvSend(hhlsv2::kAnswerOk)) break;
    } else if (t == hhlsv2::kFinished) {
      whole = true;
      break;
    } else {
      ReportCellWait(kColMelding, "Ukjent telegram: " + StrToVisual(t));
      break;
    }
  }
  bool stored = false;
  if (whole && storeOk) {
    CloseAndStore(stored);
  } else {
    // What came of a broken transfer is no program: the stored one stays.
    bool closed = false;
    CloseFile(closed);
  }
  if (!stored && (whole || !storeOk))
    ReportCellWait(kColMelding, "Feil med lagring av fil");
  else if (stored)
    SetCell(kColMelding, "");
  return stored;
}

}  // namespace zova
