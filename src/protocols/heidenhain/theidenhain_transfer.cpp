// The Heidenhain driver's program transfers: a program the control reads
// (one, or every file of a type in turn), and one it outputs.

#include "core/latin1.h"
#include "core/paths.h"
#include "core/visual.h"
#include "protocols/heidenhain/theidenhain.h"

namespace zova {

using namespace heidenhain;

namespace {

// StartSjekk looks this far into a file for the line that names the program.
constexpr int kStartSjekkLines = 25;
constexpr int kFirstInterruptibleLine = 2, kLastInterruptibleLine = 9;

}  // namespace

bool THeidenHain::NextProgramLine(bool first, std::string& line, bool& startMissing, bool& isEnd) {
  isEnd = false;
  for (int looked = 0;;) {
    bool ok = false;
    NextSendLine(line, ok);
    // A stored end of transmission ends the file as its end does.
    const bool end = !ok || line == std::string(1, kEtx) || line == std::string(1, kEot);
    if (end || (first && StartSjekk && !HasProgramStart(line) && ++looked >= kStartSjekkLines)) {
      startMissing = first && StartSjekk;
      return false;
    }
    if (first && StartSjekk && !HasProgramStart(line)) continue;
    isEnd = EndSjekk && IsProgramEnd(line, first);
    return true;
  }
}

char THeidenHain::SendProgramLines(bool listMode, bool& fileDone, bool& startMissing) {
  fileDone = startMissing = false;
  char answer = kAck;
  for (int lineNo = 1; answer == kAck && !Terminated(); ++lineNo) {
    std::string line;
    bool isEnd = false;
    if (!NextProgramLine(lineNo == 1, line, startMissing, isEnd)) {
      fileDone = !startMissing;
      break;
    }
    const bool last = isEnd || !MoreToSend();
    // While the control lists its storage it reads a file's first lines
    // only, and may break off any of them.
    const bool interruptible =
        listMode && lineNo >= kFirstInterruptibleLine && lineNo <= kLastInterruptibleLine;
    answer = SendHhBlockRetry(line, interruptible, last);
    if (last) {
      fileDone = true;
      break;
    }
  }
  return answer;
}

char THeidenHain::SendHhProgram(const std::string& name, bool listMode, bool& opened) {
  opened = false;
  const bool xonXoff = ReadIniBool(SectionName, "XonXoff", !XoffBrudd) && Com.XonXoff;
  SetNameFromNc(name);
  ++SendCount;
  ReportCell(kColStatus, "Sender Heidenhainprogram - " + std::to_string(SendCount));
  SetCell(kColMelding, "");
  // The control's name may not reach outside the machine's directories.
  std::string dir;
  ResolveDir(UseFirstSet, TransferName, dir);
  const bool allowed = NameAllowed(dir + TransferName);
  bool fileOk = false, raw = false;
  std::string message, kind;
  if (allowed) PrepareSend(ToolTransfer(), false, fileOk, raw, message, kind, false, false, false);
  bool startMissing = false, complete = false;
  char answer = 0;
  if (fileOk) {
    if (xonXoff) SwitchToSoftware(Com, false, false);
    bool fileDone = false;
    answer = SendProgramLines(listMode, fileDone, startMissing);
    if (fileDone && (answer == kAck || answer == 0))
      answer = SendHhEnd(complete);
    else
      complete = fileDone && (answer == kSoh || answer == kEot);
    FlushConsole();
    if (xonXoff) SwitchToHardware(Com);
    opened = !startMissing;
  }
  // The control learns that there is no such program.
  if ((!fileOk || startMissing) && !listMode) {
    bool endOk = false;
    answer = SendHhEnd(endOk);
  }
  if (fileOk) {
    FinishHhSend(complete, startMissing);
  } else {
    ReportCell(kColStatus, "Sending feilet");
    SetCell(kColMelding, allowed ? L1("Umulig å åpne filen ") + TransferName
                                 : "Ulovlig katalog i filnavn: " + TransferName);
    if (!allowed) LogEvent(false, "Ulovlig filnavn " + TransferName);
  }
  return answer;
}

void THeidenHain::FinishHhSend(bool complete, bool startMissing) {
  bool closed = false;
  CloseFile(closed);
  if (startMissing) {
    ReportCell(kColStatus, "Sending feilet");
    SetCell(kColMelding, "StartSjekk: Programnavn mangler i filen");
    return;
  }
  if (!closed) SetCell(kColMelding, L1("Klarer ikke å lukke filen"));
  if (!complete) {
    ReportCell(kColStatus, "Sending avbrutt");
    return;
  }
  LogSentToCnc(TransferPath.empty() ? GetCell(kColFilnavn) : TransferPath);
  ReportCell(kColStatus, "Fil sendt");
  bool ok = true;
  AfterSend(ToolTransfer(), ok);
}

std::string THeidenHain::ServeHhRead(const std::string& name) {
  if (!name.empty()) {
    bool opened = false;
    const char answer = SendHhProgram(name, false, opened);
    return answer == kSoh || answer == kEsc ? std::string(1, answer) : std::string();
  }
  // Every file of the type, in turn, while the control asks for the next.
  const char listType = FileType;
  const std::vector<std::string> files =
      ListFiles(HomeDir + CurrentDir, "*" + ExtForType(listType));
  for (const std::string& file : files) {
    if (Terminated()) return {};
    FileType = listType;
    bool opened = false;
    const char answer = SendHhProgram(StripExt(file), true, opened);
    if (!opened) continue;
    if (answer != kSoh) return answer == kEsc ? std::string(1, kEsc) : std::string();
    std::string header;
    if (ReceiveHhBlockRetry(false, std::string(1, kSoh), header) != Outcome::Accepted) return {};
    const Header h = ParseHeader(header);
    const bool askNext = h.kind == Header::Kind::Read && h.name.empty() &&
                         (h.type == UpperChar(DefaultExt) || h.type == UpperChar(listType));
    if (!askNext) return header;
  }
  bool ok = false;
  const char answer = SendHhEnd(ok);
  return answer == kSoh ? std::string(1, kSoh) : std::string();
}

std::string THeidenHain::ReceiveHhProgram(const std::string& name) {
  ResetTransfer();
  ++ReceiveCount;
  SetNameFromNc(name);
  const bool tool = ToolTransfer();
  ReportCell(kColStatus, "Mottar Heidenhainprogram - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    return {};
  }
  bool properEnd = false, storeOk = true, first = true;
  std::string next;
  while (storeOk && !Terminated()) {
    std::string text;
    const Outcome o = ReceiveHhBlockRetry(true, {}, text);
    if (o == Outcome::Accepted && !text.empty() && text[0] == kStx) {
      const std::string line = text.substr(1);
      StoreLine(line, storeOk);
      if (EndSjekk && IsProgramEnd(line, first)) properEnd = true;
      first = false;
      continue;
    }
    if (o == Outcome::Accepted && !text.empty() && text[0] == kSoh) {
      // A header before the program's end: the program was broken off.
      next = text;
    } else if (o == Outcome::Accepted) {
      SetCell(kColMelding, L1("Linjestøy: ") + StrToVisual(text));
      continue;
    } else if (o == Outcome::End) {
      properEnd = true;
      if (text == std::string(1, kSoh)) next = text;
    }
    // A refused or cut block, or the control giving up: no proper end,
    // unless EndSjekk has seen the last line already.
    break;
  }
  FlushConsole();
  ReportCell(kColStatus, L1("Overføring avsluttet"));
  bool stored = false;
  StoreHhProgram(properEnd, storeOk, tool, stored);
  // The control learns the outcome only after the program is in place.
  if (Melding && (next.empty() || next[0] != kSoh)) {
    const char answer = SendHhBlockRetry(stored ? "FIL LAGRET" : "LAGRING FEILET", false, true);
    if (answer != 0) next = std::string(1, answer);
  }
  return next;
}

void THeidenHain::StoreHhProgram(bool properEnd, bool storeOk, bool tool, bool& stored) {
  stored = false;
  bool closed = false;
  if (!storeOk || !properEnd) {
    // Nothing of a broken-off program goes under its name.
    CloseFile(closed);
    ReportCell(kColMelding, storeOk ? "Program forkastet" : "Lagringsfeil");
    return;
  }
  if (tool) {
    CloseFile(closed);
    ToolDataName = FileNameOf(TransferName);
    std::string target;
    stored = closed && SaveToolData(target);
    LogEvent(false, stored ? L1("Verktøydata lagret som ") + target
                           : L1("Verktøylagring feilet (") + target + ")");
    ReportCell(kColMelding, stored ? L1("Verktøyfil lagret") : L1("Lagring av verktøyfil feilet"));
    return;
  }
  CloseAndStore(stored);
  ReportCell(kColMelding, stored ? "Program lagret" : "Lagringsfeil - renaming");
}

}  // namespace zova
