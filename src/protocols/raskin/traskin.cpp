#include "protocols/raskin/traskin.h"

#include "core/latin1.h"
#include "protocols/raskin/raskin_framer.h"

namespace zova {

namespace {

const std::string kAck7(raskin::kAck7);
const char* const kNoContact = "Fikk ikke kontakt med CNC";

}  // namespace

void TRaskin::OnStart() {
  // The control's acknowledgements come while a line goes out; block-wise
  // flow would take them as its stop and go answers.
  Com.BlokkvisActive = false;
}

void TRaskin::WriteAndExpect(const std::string& text, const std::string& expected, bool& ok,
                             std::string& answer) {
  answer.clear();
  WriteString(Com, text, ok, true);
  if (!ok) return;
  FlushConsole();
  raskin::AnswerMatcher matcher(expected);
  bool read = true;
  while (!matcher.Matched() && read) {
    char ch = 0;
    ReadChar(Com, false, read, ch);
    if (read) matcher.Feed(ch);
  }
  answer = matcher.Answer();
  ok = matcher.Matched();
}

void TRaskin::PromptLine(const std::string& prompt, std::string& line, bool& ok, bool& eot) {
  line.clear();
  eot = false;
  WriteString(Com, prompt, ok);
  if (!ok) return;
  FlushConsole();
  raskin::LineCollector collector;
  while (collector.End() == raskin::LineEnd::Open) {
    char ch = 0;
    bool read = false;
    ReadChar(Com, false, read, ch);
    if (read)
      collector.Feed(ch);
    else
      collector.ReadFailed();
  }
  line = collector.Line();
  ok = collector.Ok();
  eot = collector.Eot();
}

void TRaskin::OnSendOrder() {
  ++SendCount;
  bool fileOk = false, raw = false;
  std::string message, kind;
  PrepareSend(false, false, fileOk, raw, message, kind, false, false, false);
  ReportCell(kColStatus, "Sender til Raskin - " + std::to_string(SendCount));
  if (!fileOk) {
    // PrepareSend has put the reason in Melding.
    ReportCell(kColStatus, "Sending avbrutt");
    return;
  }
  SetCell(kColMelding, "Sjekker om CNC er klar");
  bool ok = true;
  std::string answer;
  WriteAndExpect(std::string("R") + raskin::kCr, kAck7, ok, answer);
  if (!ok) {
    bool closed = false;
    CloseFile(closed);
    ReportCell(kColStatus, "Sending avbrutt");
    SetCell(kColMelding, kNoContact);
    return;
  }
  SetCell(kColMelding, "Sender programkjerne");
  SendLines(ok);
  ReportCell(kColStatus, "Sending slutt");
  SetCell(kColMelding, ok ? "" : L1("Overføring avbrutt"));
  bool closed = false;
  CloseFile(closed);
  // The control waits for EOT also after a broken-off send.
  bool eotOk = true;
  WriteChar(Com, true, eotOk, raskin::kEot);
}

void TRaskin::SendLines(bool& ok) {
  std::string answer;
  while (ok && !Terminated() && MoreToSend()) {
    std::string line;
    bool got = false;
    NextSendLine(line, got);
    if (!got) break;
    WriteAndExpect(line + raskin::kCr, kAck7, ok, answer);
  }
}

void TRaskin::OnFetchOrder() {
  const std::string cell = Trim(GetCell(kColFilnavn));
  SetFileName(cell);
  const std::string request = raskin::FetchRequest(cell);
  ++ReceiveCount;
  ReportCell(kColStatus, "Henter fra Raskin - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "Sjekker om CNC er klar");
  bool ok = true;
  WriteString(Com, request, ok);
  std::string line;
  bool eot = false;
  if (ok) PromptLine(kAck7, line, ok, eot);
  if (!ok) {
    ReportCell(kColStatus, "Sending avbrutt");
    SetCell(kColMelding, kNoContact);
    return;
  }
  if (!Search.filNavnProgram) NameFromFirstLine(line);
  bool opened = false;
  OpenReceiveFile(opened);
  if (!opened) {
    ReportCell(kColStatus, "Henting avbrutt");
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    return;
  }
  bool storeOk = true;
  ReceiveLines(line, eot, storeOk);
  bool receiptIsError = false, stored = false;
  FinishReceive(true, storeOk, receiptIsError, stored, true);
}

void TRaskin::NameFromFirstLine(const std::string& line) {
  const std::string name = raskin::NameFromFirstLine(line, Ext);
  if (!name.empty()) SetFileName(name);
}

void TRaskin::ReceiveLines(std::string line, bool eot, bool& storeOk) {
  bool ok = true;
  while (ok && storeOk && !eot && !Terminated()) {
    StoreLine(line, storeOk);
    if (storeOk) PromptLine(kAck7, line, ok, eot);
  }
}

}  // namespace zova
