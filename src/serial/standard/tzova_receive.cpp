// Receptions of the standard driver: a program or request between start and
// stop codes, and binary system files.

#include <algorithm>
#include <deque>

#include "core/clock.h"
#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/uihost.h"
#include "serial/standard/send_choice.h"
#include "serial/standard/standard_framer.h"
#include "serial/standard/tzova.h"

namespace zova {

namespace {

// Bytes a reception takes in one go when the line already holds them.
constexpr size_t kReceiveRun = 4096;

// A paced line hands over one character at a time. After a short run (one
// that did not take twice this many) the reception waits as long as the line
// takes to bring this many (at most kMaxGatherMs) before it reads again: the
// program arrives no later, and the station wakes once for them instead of
// once a character. A line that brings more at once is read at once.
constexpr int kGatherChars = 32;
constexpr int kMaxGatherMs = 40;

int64_t GatherPauseMs(int baud) {
  if (baud <= 0) return 0;
  const int64_t ms = int64_t{kGatherChars} * 10 * 1000 / baud;  // 10 bits a character
  return std::min<int64_t>(ms, kMaxGatherMs);
}

bool AskOnMainThread(const std::string& caption, const std::string& text, bool safeDefault) {
  bool yes = safeDefault;
  MainThread::invoke([&] {
    if (UiHost* host = CurrentUiHost()) yes = host->AskYesNo(caption, text, safeDefault);
  });
  return yes;
}

}  // namespace

void TZova::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar data - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
  } else {
    StandardFramer framer({StartKode, StoppKode, StoppTegn, StoppFeil});
    bool storeOk = true;
    ReceiveFramed(framer, storeOk);
    // The rest of a longer end sequence belongs to this reception, not the next.
    for (size_t i = 0; i < framer.EndSequenceRest(); ++i) {
      char ch = 0;
      bool read = false;
      ReadChar(Com, false, read, ch);
    }
    FlushConsole();
    ConcludeReception(framer.Complete(), storeOk, stored, receiptIsError);
  }
  if (PreemptRule) EndSend(Com, false);
}

void TZova::ReceiveFramed(StandardFramer& framer, bool& storeOk) {
  // The handshake test pauses after the 100th character, so it reads them
  // one at a time.
  const size_t maxRun = HandShakeTest ? 1 : kReceiveRun;
  const int64_t gatherMs = HandShakeTest ? 0 : GatherPauseMs(Com.Dcb.baud);
  size_t offered = 0;
  auto take = [&](const char* data, size_t n) {
    offered = n;
    const StandardFramer::Step step = framer.Feed({data, n});
    bool stored = true;
    StoreChars(data, step.stored, stored);
    storeOk = storeOk && stored;
    for (size_t i = 0; i < step.used && !HeadFull(); ++i) AddToHead(data[i]);
    return step.used;
  };
  while (ReadRun(Com, true, framer.QuietEnds(), maxRun, take)) {
    if (HandShakeTest && Com.CharCount == 100) Pause(15000);
    if (Terminated() || framer.Ended()) break;
    // Not sliced to watch for a stop: no longer than a read of the line
    // waits, which a stop does not cut short either.
    if (offered < 2 * kGatherChars && gatherMs > 0) TheClock().Sleep(gatherMs, nullptr);
  }
}

void TZova::ConcludeReception(bool complete, bool storeOk, bool& stored, bool& receiptIsError) {
  if (complete || LagreAlt || Com.CharCount <= Noise) {
    // A reception that could not be written whole is not passed off as a
    // program: it is reported as a storage fault.
    FinishReceive(complete, storeOk, receiptIsError, stored, true);
    return;
  }
  bool closed = false;
  CloseFile(closed);
  stored = false;
  receiptIsError = true;
  ReportCell(kColStatus, "Lagring avbrutt");
  SetCell(kColMelding, "Datamottak ikke komplett");
}

void TZova::FinishReceive(bool complete, bool keep, bool& receiptIsError, bool& stored,
                          bool store) {
  receiptIsError = true;
  stored = false;
  if (!(keep && complete)) ReportCell(kColStatus, "Henting avbrutt");
  if (!keep) {
    bool closed = false;
    CloseFile(closed);
    SetCell(kColMelding, "Lagringsfeil");
    return;
  }
  bool tooShort = false, ok = false;
  CloseReceiveFile(store, static_cast<int>(Com.CharCount), tooShort, ok);
  if (!ok) {
    ReportCell(kColStatus, "Henting avsluttet");
    SetCell(kColMelding, L1("Klarer ikke å lukke/rename filen"));
    return;
  }
  if (!store && IsProgram) {
    SetCell(kColMelding, "Data forkastet - mangler startkode");
    receiptIsError = !tooShort;
    return;
  }
  ReportCell(kColStatus, IsMacro ? "Makro" : "Data mottatt");
  if (tooShort) {
    // A control that is reset sends only its end sequence.
    const bool reset = !StoppTegn.empty() && Head == UpperCase(StoppTegn);
    SetCell(kColMelding, reset ? "Maskin resatt" : L1("Linjestøy"));
    receiptIsError = false;
    return;
  }
  if (IsProgram) {
    stored = true;
    if (complete) {
      ReportCell(kColStatus, IsExtend ? "Fil utvidet" : "Data lagret");
      receiptIsError = TransferError;
      SetCell(kColMelding, TransferError ? "Lagret som .GAL-fil" : "");
    } else {
      SetCell(kColMelding, "Lagret med timeout");
    }
    return;
  }
  if (IsToolData) {
    SetCell(kColMelding, L1("Verktøydata mottatt"));
  } else if (IsToolName) {
    SetCell(kColMelding, L1("Filnavn (verktøy) mottatt"));
  } else if (IsPrint) {
    SetCell(kColMelding, "Skriver ut " + TransferName);
    bool printed = false;
    PrintFile(MachineNo(), TempName, TransferName, printed);
    SetCell(kColMelding, "Utskrift av " + TransferName + (printed ? " ferdig" : " feilet"));
  } else if (IsDirectory) {
    SetCell(kColMelding, "Katalog klar for sending");
  } else if (!IsMacro) {
    SetCell(kColMelding, "Filnavn mottatt");
  }
  receiptIsError = false;
  NoRequestPending = false;
  WaitForStart(Com, VenteTid, false);
}

void TZova::ReceiveSystemFile(const std::string& name, bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  const int cutStart = ReadIniInt(SectionName, "KuttSystemStart", 0);
  const int cutEnd = ReadIniInt(SectionName, "KuttSystemSlutt", 0);
  Com.Raw = true;
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar systemfil - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    Com.Raw = false;
    return;
  }
  char ch = 0;
  bool read = true;
  for (int i = 0; i < cutStart && read && !Terminated(); ++i) ReadChar(Com, false, read, ch);
  // The last KuttSystemSlutt bytes are held back, so that the cut needs no
  // second pass over the file.
  std::deque<char> tail;
  bool storeOk = true;
  while (read && !Terminated()) {
    ReadChar(Com, false, read, ch);
    if (!read) break;
    tail.push_back(ch);
    if (static_cast<int>(tail.size()) > (cutEnd > 0 ? cutEnd : 0)) {
      bool one = true;
      StoreRawByte(static_cast<uint8_t>(tail.front()), one);
      storeOk = storeOk && one;
      tail.pop_front();
    }
  }
  FlushConsole();
  ReportCell(kColStatus, "Data mottatt");
  const bool enough = cutStart + 10 + cutEnd <= Com.CharCount;
  if (enough && storeOk &&
      AskOnMainThread(SectionName, "Vil du lagre mottatte data som " + name + " ?", true)) {
    TransferName = name;
    IsSystemFile = true;
    CloseAndStore(ok);
    if (ok) {
      stored = true;
      SetCell(kColMelding, "Data lagret - " + name);
      SetCell(kColFilnavn, "0000" + Ext);
    } else {
      SetCell(kColMelding, "Lagring feilet");
    }
  } else {
    CloseFile(ok);
    SetCell(kColMelding, storeOk ? "Data forkastet" : "Lagring feilet");
  }
  Com.Raw = false;
}

}  // namespace zova
