// A Hybrid program line by line: an upload is read line after line, each
// asked for with ">", and stored under its part number; a download goes out
// one line for every ">" the control sends.

#include "core/latin1.h"
#include "serial/variants/thybrid.h"

namespace zova {

using End = PromptedLineSplitter::End;

End THybrid::ReadPromptedLine(PromptedLineSplitter& splitter) {
  splitter.Clear();
  while (!Terminated()) {
    char ch = 0;
    bool read = false;
    ReadChar(Com, false, read, ch);
    if (!read) return End::None;
    const PromptedLineSplitter::Step step = splitter.Take(ch);
    if (step.prompt) {
      bool ok = true;
      WriteChar(Com, true, ok, '>');
    }
    if (step.end != End::None) return step.end;
  }
  return End::None;
}

void THybrid::HybridReceiveLines(bool& stored) {
  stored = false;
  const std::string part = partName_;
  ResetTransfer();
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar Hybrid-data - " + std::to_string(ReceiveCount));
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    return;
  }
  PromptedLineSplitter splitter;
  bool lineOk = true, storeOk = true;
  for (;;) {
    const End end = ReadPromptedLine(splitter);
    if (end == End::Sub) break;
    // A line cut for its length goes on in the next piece, and what came
    // before the line failed is kept: neither gets a line end of its own.
    bool one = true;
    if (end == End::Line)
      StoreLine(splitter.Line(), one);
    else if (!splitter.Line().empty())
      StoreString(splitter.Line(), one);
    storeOk = storeOk && one;
    if (end == End::None) {
      lineOk = false;
      break;
    }
  }
  SetFileName(part);
  bool kept = false;
  if (storeOk) {
    CloseAndStore(kept);
  } else {
    bool closed = false;
    CloseFile(closed);  // a file that could not be written whole replaces nothing
  }
  stored = kept;
  if (!kept)
    ReportCell(kColStatus, "Feil med filen");
  else
    ReportCell(kColStatus, lineOk ? "Fil lagret" : "Henting avbrutt");
}

bool THybrid::ReadPrompt() {
  char ch = 0;
  bool read = false;
  ReadChar(Com, false, read, ch);
  // Anything else is the control's next step, for the main loop.
  if (read && ch != '>') UnreadChar(Com, ch);
  return read && ch == '>';
}

void THybrid::HybridSendLines() {
  ++SendCount;
  ReportCell(kColStatus, "Sender Hybrid-data - " + std::to_string(SendCount));
  bool raw = false, ok = false;
  OpenSendFile(false, raw, ok);
  if (!ok) {
    ReportCell(kColStatus, "Sending feilet");
    SetCell(kColMelding, L1("Umulig å åpne filen ") + SendPath);
    Pause(3000);
    return;
  }
  bool lineOk = true, fileDone = false;
  while (lineOk && !Terminated()) {
    // The control asks for every line, and once more after the last one; a
    // control that does not ask after the last one has all the same.
    const bool asked = ReadPrompt();
    std::string line;
    bool got = false;
    NextSendLine(line, got);
    if (!got) {
      fileDone = true;
      break;
    }
    if (!asked) break;
    WriteString(Com, line + "\n", lineOk);
  }
  EndSend(Com, false);
  FlushConsole();
  bool closed = false;
  CloseFile(closed);
  if (fileDone && lineOk) {
    LogSentToCnc(TransferPath.empty() ? GetCell(kColFilnavn) : TransferPath);
    ReportCell(kColStatus, "Fil sendt");
    bool after = true;
    AfterSend(false, after);
  } else {
    ReportCell(kColStatus, "Sending avbrutt");
  }
  if (!closed) SetCell(kColMelding, L1("Klarer ikke å lukke filen"));
}

}  // namespace zova
