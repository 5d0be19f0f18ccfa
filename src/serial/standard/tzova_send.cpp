// Sends of the standard driver: a program (character by character through
// the machine's rules, or in fast blocks), a receipt, a listing, tool data
// and binary system files.

#include "core/latin1.h"
#include "serial/line/write_rules.h"
#include "serial/standard/send_choice.h"
#include "serial/standard/tzova.h"
#include "tools/tool_settings.h"

namespace zova {

namespace {

// At 9,600 baud a run is a quarter of a second on the line; the kernel
// holds more than that, so the line never waits for the next run.
constexpr size_t kSendRun = 256;

bool IsCode(const std::string& code, char ch) {
  return !code.empty() && code[0] == ch;
}

}  // namespace

void TZova::Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  ++SendCount;
  bool fileOk = false, raw = false;
  std::string message, kind;
  // A configured substitute file answers a request for a missing program;
  // without one the IngenFil text may.
  PrepareSend(isTool, isDirectory, fileOk, raw, message, kind, !FeilFil.empty(), errorReceipt,
              isReceipt);
  SendUnsent = 1;
  if (fileOk && raw) Com.Raw = true;
  ShowSendStart(kind);
  SetCell(kColMelding, "");
  Com.BlokkvisActive = true;
  const bool program = !isTool && !isDirectory && !isReceipt;
  bool lineOk = true, stopSent = false, trailerDone = false;
  std::string abortText = "CNC-maskinen har avbrutt overføringen";
  if (!fileOk) {
    ReportCell(kColStatus, "Sending feilet");
    SetCell(kColMelding, L1("Umulig å åpne ") + kind + "filen " + SendPath);
    Pause(3000);
  } else {
    if (raw) {
      SendBinary(lineOk, fileOk, trailerDone);
      abortText = "Klarer ikke å sende ut tegn";
    } else {
      SendText(isTool, program, lineOk, fileOk, stopSent, trailerDone, abortText);
    }
    EndSend(Com, trailerDone);
    CheckSendEnd(lineOk, fileOk);
    FlushConsole();
    FinishSend(lineOk, fileOk, stopSent, isTool, program, L1(abortText));
  }
  if (!message.empty()) SetCell(kColMelding, message);
  Com.BlokkvisActive = true;
  Com.Raw = false;
}

bool TZova::TakeSendChar(char& ch, bool& fileOk) {
  if (!MoreToSend() || Terminated()) return false;
  bool got = true;
  NextSendChar(ch, got);
  if (got) return true;
  // The rules may skip the rest of the file; only a failed read is a fault.
  fileOk = !MoreToSend();
  return false;
}

void TZova::ShowSendStart(const std::string& kind) {
  ReportCell(kColStatus, "Sender " + kind + "data - " + std::to_string(SendCount));
}

void TZova::SendText(bool isTool, bool program, bool& lineOk, bool& fileOk, bool& stopSent,
                     bool& trailerDone, std::string& abortText) {
  if (Hurtig && program) {
    FastSend(lineOk, fileOk, trailerDone);
    abortText = "Klarer ikke å sende ut tegn";
    return;
  }
  Com.BlokkvisActive =
      program || (isTool && (ToolProtokoll == kToolSiemens880 || ToolProtokoll == kToolHeidenhain));
  WriteString(Com, StartEkstra + (StartStoppKodeUt ? StartKode : ""), lineOk);
  ProgramBody(lineOk, fileOk, stopSent);
  SendEndCodes(lineOk, false);
  Pause(100);
  SendTrailer(lineOk, SendsTrailer(StoppTegn, StartStoppKodeUt, StoppKode), trailerDone);
}

void TZova::ProgramBody(bool& lineOk, bool& fileOk, bool& stopSent) {
  bool started = StartKode.empty(), stopSeen = false;
  // Plain characters go out in runs; each run shares its retry rule, so the
  // stop code starts a new one.
  std::string run;
  const bool watchesDsr = WatchesDsr(Com);
  auto writeRun = [&] {
    if (run.empty() || !lineOk) return;
    size_t sent = 0;
    WriteChars(Com, run, stopSeen, lineOk, sent);
    if (!lineOk) SendUnsent = static_cast<int64_t>(run.size() - sent);
    run.clear();
  };
  const bool oneCharStop = StoppTegn.size() == 1;
  while (lineOk && fileOk) {
    char ch = 0;
    if (!TakeSendChar(ch, fileOk)) break;
    const auto u = static_cast<unsigned char>(ch);
    const bool stopHere = started && !stopSeen && IsCode(StoppKode, ch);
    const bool pauseHere = PauseTid > 0 && PauseTegn.test(u);
    const bool delayHere = TegnDelay > 0 && DelayTegn.test(u);
    if (stopHere || pauseHere || delayHere) {
      writeRun();
      if (!lineOk) {
        // This character was read too and never went out; nor did the stop
        // code, if it is one.
        ++SendUnsent;
        break;
      }
    }
    if (stopHere) stopSeen = true;
    if (!stopSeen && IsCode(StartKode, ch)) started = true;
    if (pauseHere && Com.CharCount >= 6) {
      FlushConsole();
      SetCell(kColMelding, "Pause.....");
      Pause(static_cast<int64_t>(PauseTid) * 1000);
      SetCell(kColMelding, "");
    }
    if (delayHere) {
      FlushConsole();
      if (!DelayEtter) Pause(TegnDelay);
      if (!FjernDelayTegn) WriteChar(Com, stopSeen, lineOk, ch);
      if (!lineOk) SendUnsent = 1;
      if (DelayEtter) Pause(TegnDelay);
    } else {
      // After the stop code a refused character is not worth a retry.
      run += ch;
      // Where the line layer must see every character on its own (block-wise
      // answers count the file's bytes left), each goes at once.
      if (run.size() >= (RunWriteAllowed(Com, watchesDsr) ? kSendRun : 1)) writeRun();
    }
    if (oneCharStop && ch == StoppTegn[0]) break;
  }
  writeRun();
  stopSent = stopSeen;
}

void TZova::CheckSendEnd(bool& lineOk, bool fileOk) {
  if (lineOk || !fileOk) return;
  // A control that stops within the last characters has its whole program:
  // the rest is end codes and padding.
  bool skipOk = true;
  const int reads = EndCheckReads(SendUnsent);
  if (reads >= 0 && SkipSendChars(reads, skipOk) && skipOk) lineOk = true;
}

void TZova::SendEndCodes(bool& lineOk, bool oneCharStoppTegnOnly) {
  if (!lineOk) return;
  WriteString(Com, (StartStoppKodeUt ? StoppKode : "") + StoppEkstra, lineOk);
  if (!lineOk || StoppTegn.empty() || !StoppTegnUt) return;
  if (oneCharStoppTegnOnly && StoppTegn.size() != 1) return;
  WriteString(Com, StoppTegn, lineOk);
}

void TZova::SendTrailer(bool& lineOk, bool allowed, bool& trailerDone) {
  trailerDone = false;
  if (!lineOk || !allowed) {
    trailerDone = lineOk;
    return;
  }
  // The trailer is padding: a control that stops taking it has the program.
  for (int i = 0; i < MaxNull; ++i) {
    if (Terminated()) return;
    bool ok = true;
    WriteChar(Com, true, ok, '\0');
    if (!ok) return;
  }
  trailerDone = true;
}

void TZova::FinishSend(bool lineOk, bool fileOk, bool stopSent, bool isTool, bool program,
                       const std::string& abortText) {
  if (!fileOk) SetCell(kColMelding, "Lesefeil i fil");
  bool closed = false;
  CloseFile(closed);
  if (!fileOk || !lineOk) ReportCell(kColStatus, "Sending avbrutt");
  if (!closed) {
    SetCell(kColMelding, L1("Klarer ikke å lukke filen"));
  } else if (fileOk && (lineOk || stopSent)) {
    // A program whose file could not be read whole is never reported sent.
    if (program) LogSentToCnc(TransferPath.empty() ? GetCell(kColFilnavn) : TransferPath);
    ReportCell(kColStatus, "Fil sendt");
    bool ok = true;
    AfterSend(isTool, ok);
  } else if (fileOk) {
    PurgeOutput(Com);
    SetCell(kColMelding, abortText);
  }
}

void TZova::FastSend(bool& lineOk, bool& fileOk, bool& trailerDone) {
  ConsoleEndTransfer();
  SetCell(kColMelding, "Hurtigsending aktivert");
  Com.ReadsReturnAtOnce = Com.Blokkvis && Com.BlokkvisActive;
  WriteString(Com, StartEkstra + (StartStoppKodeUt ? StartKode : ""), lineOk);
  char block[kBlockSize];
  while (lineOk && fileOk && !Terminated()) {
    int count = 0;
    bool got = true;
    ReadBlock(block, count, got);
    if (!got || count <= 0) {
      fileOk = !MoreToSend();
      break;
    }
    int written = 0;
    WriteBuffer(Com, count, lineOk, block, written);
    Com.CharCount += written;
    // The rest of a block cut short was read but never went out.
    if (!lineOk) SendUnsent = count - written;
    if (count < kBlockSize) break;
  }
  SetCell(kColMelding, "");
  Com.ReadsReturnAtOnce = false;
  SendEndCodes(lineOk, true);
  Pause(100);
  SendTrailer(lineOk, StoppTegn.empty(), trailerDone);
}

void TZova::SendBinary(bool& lineOk, bool& fileOk, bool& trailerDone) {
  LogNewLine();
  for (int i = 0; i < SystemNuller && lineOk && !Terminated(); ++i)
    WriteChar(Com, false, lineOk, 0);
  while (lineOk && !Terminated()) {
    char ch = 0;
    bool got = true;
    ReadFileChar(ch, got);
    if (!got) {
      fileOk = !MoreToSend();
      break;
    }
    WriteChar(Com, false, lineOk, ch);
  }
  Pause(100);
  SendTrailer(lineOk, true, trailerDone);
}

}  // namespace zova
