#include "serial/variants/techo.h"

#include <string_view>
#include <vector>

#include "core/latin1.h"
#include "serial/line/write_rules.h"
#include "serial/standard/send_choice.h"
#include "serial/variants/echo_rules.h"

namespace zova {

namespace {

// A control that never comes to its start sequence is not echoed for ever.
constexpr int kMaxCharsBeforeProgram = 500;

}  // namespace

TEcho::TEcho(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TBtr(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  RCC = ReadIniBool(s, "RCC", false);
  RCCBareSend = ReadIniBool(s, "RCCBareSend", false);
  RCCGammel = ReadIniBool(s, "RCCGammel", false);
  Repeter = ReadIniInt(s, "Repeter", 0);
}

void TEcho::ReadAndEcho(bool& ok, char& ch) {
  ReadChar(Com, false, ok, ch);
  if (!ok) return;
  // The echo is the character as it came: the line's end-of-block and
  // code rules are for programs, not for answers.
  WriteRawChar(Com, false, ok, ch);
  if (ok) FlushOutput(Com, ok);
}

void TEcho::SendWithEcho(char ch, bool& ok) {
  // What goes out for a line end is the line's end of block (none for the LF
  // of a CR LF pair): the control echoes what it gets, so each of those
  // characters waits for its own echo.
  BlockState state{Com.EobSent, Com.LineLength};
  std::string wire;
  std::vector<uint32_t> ends;
  PlanWriteRun(Com, state, std::string_view(&ch, 1), wire, ends);
  Com.EobSent = state.eobSent;
  Com.LineLength = state.lineLength;
  ok = true;
  for (size_t i = 0; i < wire.size() && ok; ++i) SendLineCharWithEcho(wire[i], ok);
}

void TEcho::SendLineCharWithEcho(char ch, bool& ok) {
  for (int attempt = 1;; ++attempt) {
    WriteRawChar(Com, false, ok, ch);
    // A buffered line holds the character back, and its echo would never come.
    if (ok) FlushOutput(Com, ok);
    if (!ok) return;
    char echo = 0;
    bool read = false;
    ReadChar(Com, false, read, echo);
    const EchoNext next = AfterEchoAttempt(attempt, Repeter, read, ch, echo);
    ok = next == EchoNext::Matched;
    if (next != EchoNext::Again || Terminated()) return;
  }
}

void TEcho::Receive(bool& stored, bool& receiptIsError) {
  if (RCC) {
    char first = 0;
    bool read = false;
    ReadChar(Com, true, read, first);
    if (RccAsksForProgram(read, first, RCCBareSend, RCCGammel)) {
      stored = false;
      receiptIsError = false;
      PurgePort(Com);
      SendAsked();
      return;
    }
    // A control that sends has begun its transmission with this character
    // (with the older rule it may be the start code): it is echoed and
    // framed with the rest, not lost.
    if (read) UnreadChar(Com, first);
  }
  TBtr::Receive(stored, receiptIsError);
}

void TEcho::SendAsked() {
  SendChoiceInput in;
  in.fileCell = GetCell(kColFilnavn);
  in.toolFormat = ToolProtokoll;
  in.autoToolLoad = AutoToolLoad;
  Send(ChooseSend(in) == SendChoice::Tool, false, false, false);
}

void TEcho::ReportReceiving(int number) {
  if (!RCC) {
    TBtr::ReportReceiving(number);
    return;
  }
  ReportCellWait(kColStatus, "Mottar Echo-data - " + std::to_string(number));
}

void TEcho::ReceiveFramed(BtrFramer& framer, bool& storeOk) {
  if (!RCC) {
    TBtr::ReceiveFramed(framer, storeOk);
    return;
  }
  // Each character waits for its echo at the control, so the line never
  // holds more than one: they are read one at a time.
  std::string out;
  int beforeProgram = 0;
  while (!framer.Ended() && !Terminated()) {
    bool ok = false;
    char ch = 0;
    if (!framer.Started() && beforeProgram++ == kMaxCharsBeforeProgram) {
      framer.Quiet();
      return;
    }
    ReadAndEcho(ok, ch);
    if (!ok) {
      framer.Quiet();
      return;
    }
    out.clear();
    framer.Feed(std::string_view(&ch, 1), out);
    bool written = true;
    StoreChars(out.data(), out.size(), written);
    storeOk = storeOk && written;
    AddToHead(ch);
  }
}

void TEcho::Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  ++SendCount;
  ReportCellWait(kColStatus, "Sender Echo-data - " + std::to_string(SendCount));
  SetCellWait(kColMelding, "");
  bool fileOk = false, raw = false;
  std::string message, kind;
  PrepareSend(isTool, isDirectory, fileOk, raw, message, kind, !FeilFil.empty(), errorReceipt,
              isReceipt);
  if (!fileOk) {
    ReportCell(kColStatus, "Sending avbrutt");
    SetCell(kColMelding, L1("Umulig å åpne ") + kind + "filen: " + SendPath);
  } else {
    // The echoes are answers to this driver: block-wise flow would take them
    // for its own stop and go.
    Com.BlokkvisActive = false;
    bool lineOk = true;
    if (raw) {
      Com.Raw = true;
      bool trailerDone = false;
      SendBinary(lineOk, fileOk, trailerDone);
      DropEchoes();
    } else {
      SendEchoed(lineOk, fileOk);
    }
    if (RCC) {
      // The echo of the last stop character, which the send did not wait for.
      char ch = 0;
      bool read = false;
      ReadChar(Com, false, read, ch);
    }
    EndSend(Com, false);
    FlushConsole();
    const bool program = !isTool && !isDirectory && !isReceipt;
    FinishSend(lineOk, fileOk, false, isTool, program, L1("Klarer ikke å sende ut tegn"));
  }
  if (!message.empty()) SetCell(kColMelding, message);
  Com.BlokkvisActive = true;
  Com.Raw = false;
}

void TEcho::DropEchoes() {
  // A binary file goes out without waiting for its echoes; the control
  // sends them all the same, and they are no reception.
  bool read = true;
  while (read && !Terminated()) {
    char ch = 0;
    ReadChar(Com, true, read, ch);
  }
}

void TEcho::SendEchoed(bool& lineOk, bool& fileOk) {
  SendCodesEchoed(StartEkstra + (StartStoppKodeUt ? StartKode : ""), false, lineOk);
  const bool oneCharStop = StoppTegn.size() == 1;
  while (lineOk && fileOk) {
    char ch = 0;
    if (!TakeSendChar(ch, fileOk)) break;
    SendWithEcho(ch, lineOk);
    if (oneCharStop && ch == StoppTegn[0]) break;
  }
  if (lineOk && fileOk) SendCodesEchoed(StartStoppKodeUt ? StoppKode : "", RCC, lineOk);
}

void TEcho::SendCodesEchoed(const std::string& codes, bool lastUnanswered, bool& lineOk) {
  for (size_t i = 0; i < codes.size() && lineOk; ++i) {
    if (lastUnanswered && i + 1 == codes.size()) {
      WriteChar(Com, false, lineOk, codes[i]);
      if (lineOk) FlushOutput(Com, lineOk);
    } else {
      SendWithEcho(codes[i], lineOk);
    }
  }
}

}  // namespace zova
