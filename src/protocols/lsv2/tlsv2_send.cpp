// Programs from the station to the control: the operator's send, and the
// programs the control asks for ("TDPP", "PT").

#include "core/latin1.h"
#include "core/paths.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/lsv2/lsv2_telegrams.h"
#include "protocols/lsv2/tlsv2.h"

namespace zova {

namespace {

constexpr int kClearAnswerSeconds = 60;

}  // namespace

std::string TLSV2::CurrentFileName() {
  return TransferPath.empty() ? GetCell(kColFilnavn) : TransferPath;
}

bool TLSV2::OpenForSending() {
  bool raw = false, ok = false;
  OpenSendFile(false, raw, ok);
  return ok;
}

bool TLSV2::ReadNcStatus(bool withAu) {
  std::string answer;
  if (!LsvSend(lsv2::kReadStatus) || !ReceiveAnswer(answer)) return false;
  return !withAu || (LsvSend(lsv2::kAutoStatus) && ReceiveAnswer(answer));
}

bool TLSV2::ClearNcMemory(const std::string& ncName) {
  std::string answer;
  if (KortClear)
    return LsvSend(lsv2::ShortClear(ncName)) && ReceiveAnswer(answer) && answer == lsv2::kAnswerOk;
  if (!LsvSend(lsv2::ClearRequest(ncName)) || !ReceiveAnswer(answer)) return false;
  // Any other answer: the control keeps its memory, and the send goes on.
  if (answer != lsv2::kAnswerReady) return true;
  if (!LsvSend(lsv2::ClearProgram(ncName, Clear)) ||
      !ReceiveAnswerWithin(kClearAnswerSeconds, answer) || !LsvSend(lsv2::kFinished))
    return false;
  Pause(1000);
  return true;
}

bool TLSV2::CheckNcReady(const std::string& ncName) {
  std::string answer;
  if (!LsvSend(lsv2::ReadyRequest(ncName, Terminator)) || !ReceiveAnswer(answer) ||
      answer != lsv2::kAnswerReady)
    return false;
  Pause(1000);
  return true;
}

bool TLSV2::SendProgramBody(std::string_view area) {
  blocks_.Reset();
  const lsv2::BlockReader::NextLine next = [this](std::string& line) {
    bool ok = false;
    ReadFileLine(line, ok);
    return ok;
  };
  for (bool more = true; more;) {
    if (Terminated()) return false;
    const lsv2::BlockReader::Result block = blocks_.Read(next);
    if (!block.ok) return false;
    std::string answer;
    if (!LsvSend(lsv2::DataTelegram(area, block.block)) || !ReceiveAnswerWaiting(answer) ||
        answer != lsv2::kAnswerNext)
      return false;
    more = block.more;
  }
  if (!LsvSend(lsv2::kFinished)) return false;
  LogSentToCnc(CurrentFileName());
  if (LoadAfterSend) {
    Pause(2000);
    bool loaded = false;
    LoadMagazine(0, loaded);
  }
  return true;
}

bool TLSV2::SendProgram() {
  if (OpenForSending()) return SendOpenFile();
  // An empty file has said so itself.
  if (!FileExists(SendPath)) {
    std::string cell;
    bool stale = false;
    GetGridFileName(cell, stale);
    ReportCellWait(kColMelding, "Filen " + cell + " eksisterer ikke");
  }
  return false;
}

bool TLSV2::SendOpenFile() {
  const std::string ncName = lsv2::NcProgramName(CurrentFileName(), MaxNameLength());
  bool ok = true;
  if (Status) {
    ReportCellWait(kColMelding, "Leser status");
    ok = ReadNcStatus(true);
    if (!ok) ReportCellWait(kColMelding, "Kan ikke lese NC status");
  }
  if (ok && (KortClear || !Clear.empty())) {
    ReportCellWait(kColMelding, "Nullstiller minnet");
    ok = ClearNcMemory(ncName);
    if (!ok) ReportCellWait(kColMelding, "Kan ikke nullstille NC");
  }
  if (ok) {
    ReportCellWait(kColMelding, "Sjekker om NC er klar");
    ok = CheckNcReady(ncName);
    if (!ok) ReportCellWait(kColMelding, "NC ikke klar");
  }
  if (ok) {
    ReportCellWait(kColMelding, "Sender programkjerne");
    ok = SendProgramBody("PP");
    if (ok)
      SetCell(kColMelding, "");
    else
      ReportCellWait(kColMelding, L1("Overføring avbrutt"));
  }
  // Closed whatever happened before.
  bool closed = false;
  CloseFile(closed);
  if (!closed) ReportCellWait(kColMelding, "Feil med lukking av fil");
  return ok;
}

bool TLSV2::ServeTdpp(const std::string& telegram) {
  const bool filSjekk = ReadIniBool("Program", "FilSjekk", false);
  bool opened = false;
  if (!filSjekk) {
    const std::optional<std::string> name = lsv2::TdppFileName(telegram, MaxNameLength());
    opened = name && UseTransferName(*name) && OpenForSending();
  }
  const lsv2::TdppDecision decision = lsv2::DecideTdpp(filSjekk, opened);
  if (decision.refuse) {
    ReportCellWait(kColMelding, decision.message);
    LsvSend(lsv2::kTdppRefused);
    return false;
  }
  return SendOpenFile();
}

bool TLSV2::ServePt(const std::string& telegram, bool requireOk) {
  const std::optional<lsv2::AreaRequest> request = lsv2::AreaRequestOf(telegram, MaxNameLength());
  if (!request || !UseTransferName(request->name) || !OpenForSending()) {
    ReportCellWait(kColMelding, "Filen eksisterer ikke");
    LsvSend(lsv2::kNoProgram);
    return false;
  }
  ReportCellWait(kColMelding, "Sender programkjerne");
  std::string answer;
  bool ok = LsvSend(lsv2::kReadyToSend) && ReceiveAnswer(answer) && answer == lsv2::kAnswerNext &&
            SendProgramBody(request->area) && ReceiveAnswer(answer) &&
            (!requireOk || answer == lsv2::kAnswerOk);
  if (ok)
    SetCell(kColMelding, "");
  else
    ReportCellWait(kColMelding, L1("Overføring avbrutt"));
  bool closed = false;
  CloseFile(closed);
  if (!closed) ReportCellWait(kColMelding, "Feil med lukking av fil");
  return ok;
}

}  // namespace zova
