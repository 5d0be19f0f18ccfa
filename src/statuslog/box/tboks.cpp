#include "statuslog/box/tboks.h"

#include "core/config/config.h"

namespace zova {

namespace {

const char* const kNoContact = "Ingen kontakt med loggeboks";

}  // namespace

TBoks::TBoks(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo),
      table_(box::ReadSignalTable(SectionName)),
      schedule_(ReadIniInt(SectionName, "SjekkTid", 0), TheClock().TickMs()) {
  Monitored = ReadIniInt(SectionName, "Maskin", machineNo - 1);
  MaskeInv = ReadIniStr(SectionName, "MaskeInv", "");
}

void TBoks::OnStart() {
  do {
    resetPending_ = false;
    starting_ = true;
    StartBox();
    starting_ = false;
  } while (resetPending_ && !Terminated());
}

void TBoks::StartBox() {
  if (box::MaskIsSent(MaskeInv)) {
    bool ok = false;
    WriteString(Com, box::MaskTelegram(MaskeInv), ok);
    FlushConsole();
    Pause(500);
  }
  Send(false, false, false, true);
}

void TBoks::OnThreadEnd() {
  Record(200, "");
}

void TBoks::OnIdle(bool busy) {
  const int64_t now = TheClock().TickMs();
  if (busy || !schedule_.Due(now)) return;
  schedule_.Checked(now);
  Send(false, false, true, false);
}

void TBoks::OnSendOrder() {
  Send(false, false, false, false);
}

void TBoks::Send(bool, bool, bool errorReceipt, bool isReceipt) {
  if (isReceipt || errorReceipt) {
    CheckContact(errorReceipt);
    return;
  }
  ReportCell(kColStatus, "Teste loggeboks");
  ReportCellWait(kColMelding, "Muligheten er sperret");
}

void TBoks::CheckContact(bool periodic) {
  bool ok = false;
  WriteChar(Com, false, ok, box::kEnq);
  FlushConsole();
  char ch = 0;
  bool read = false;
  ReadChar(Com, false, read, ch);
  bool answered = false;
  if (read) {
    UnreadChar(Com, ch);
    answered = ReceiveReport();
  }
  if (!answered) {
    Record(201, "");
    ReportCellWait(kColMelding, kNoContact);
  } else if (periodic) {
    Record(202, "");
  }
}

void TBoks::Receive(bool& stored, bool& receiptIsError) {
  // A reception is never stored and never answered with a receipt.
  stored = receiptIsError = false;
  ReceiveReport();
}

bool TBoks::ReceiveReport() {
  schedule_.Contact(TheClock().TickMs());
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar loggedata - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  framer_.Clear();
  bool read = true;
  box::BoxEvent event = box::BoxEvent::None;
  while (event == box::BoxEvent::None && !framer_.InReport()) {
    char ch = 0;
    ReadChar(Com, false, read, ch);
    if (!read) break;
    event = framer_.Feed(ch);
  }
  if (event == box::BoxEvent::Reset) {
    resetPending_ = true;
    if (!starting_) OnStart();
    ReportCell(kColStatus, "Loggeboks resatt");
    return true;
  }
  while (read && framer_.InReport()) {
    char ch = 0;
    ReadChar(Com, false, read, ch);
    if (read && framer_.Feed(ch) == box::BoxEvent::Report) {
      ProcessWord(framer_.Word());
      ReportCell(kColMelding, "Logget $" + framer_.Digits());
    }
  }
  FlushConsole();
  if (!read) {
    framer_.Clear();
    ReportCellWait(kColStatus, "Logging feilet");
  } else {
    ReportCell(kColStatus, "Loggedata lest");
  }
  return read;
}

void TBoks::ProcessWord(uint16_t word) {
  std::string fileName;
  if (signals_.NeedsFileName(word, table_))
    fileName = box::RecordFileName(GetCellAt(Monitored, kColFilnavn));
  for (const box::SignalRecord& r : signals_.Take(word, table_, fileName)) Record(r.Code, r.Text);
}

void TBoks::Record(int code, const std::string& text) {
  // The record carries the time of what it records.
  LastTime = TheClock().Now();
  bool ok = false;
  WriteStatusRecord(Monitored, code, text, ok);
}

}  // namespace zova
