// Receptions of the standard driver: a program or request between start and
// stop codes, and binary system files.

#include <deque>

#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/uihost.h"
#include "serial/standard/send_choice.h"
#include "serial/standard/tzova.h"

namespace zova {

namespace {

// The first character of a code as a byte, or -1 for none.
int FirstCode(const std::string& code) {
  return code.empty() ? -1 : static_cast<unsigned char>(code[0]);
}

// Bytes a reception takes in one go when the line already holds them.
constexpr size_t kReceiveRun = 4096;

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
    bool started = StartKode.empty(), stopSeen = false, endSeen = false, matched = false;
    bool storeFailed = false;
    ResetStopMatcher(StoppFeil);
    const int startCode = FirstCode(StartKode), stopCode = FirstCode(StoppKode),
              endCode = FirstCode(StoppTegn);
    // The codes of one character; true when it ends the reception (it is
    // then not stored).
    auto codes = [&](char ch) {
      const int c = static_cast<unsigned char>(ch);
      if (started && c == stopCode) stopSeen = true;
      if (!stopSeen && c == startCode) started = true;
      endSeen = c == endCode;
      return endSeen;
    };
    auto headAndMatch = [&](char ch) {
      AddToHead(ch);
      bool found = false;
      MatchStop(ch, found);
      matched = matched || found;
    };
    char run[kReceiveRun];
    for (;;) {
      // What the line already holds goes through as a run; the line layer
      // reads the rest one by one, with its waits and checks.
      if (const size_t n = HandShakeTest ? 0 : PeekRun(Com, run, sizeof run)) {
        size_t used = 0;
        while (used < n && !codes(run[used])) ++used;
        bool stored1 = true;
        StoreChars(run, used, stored1);
        storeFailed = storeFailed || !stored1;
        if (endSeen) ++used;
        for (size_t i = 0; i < used && (!HeadFull() || MatchingStop()); ++i) headAndMatch(run[i]);
        TakeRun(Com, run, used);
        if (Terminated() || endSeen) break;
        continue;
      }
      char ch = 0;
      bool read = false;
      // Outside the program a single quiet period ends the reception.
      ReadCheckedChar(Com, true, read, ch, stopSeen || !started);
      if (!read) break;
      if (HandShakeTest && Com.CharCount == 100) Pause(15000);
      if (!codes(ch)) {
        bool stored1 = true;
        StoreChar(ch, stored1);
        storeFailed = storeFailed || !stored1;
      }
      headAndMatch(ch);
      if (Terminated() || endSeen) break;
    }
    for (size_t i = 1; endSeen && i < StoppTegn.size(); ++i) {
      char ch = 0;
      bool read = false;
      ReadChar(Com, false, read, ch);
    }
    FlushConsole();
    const bool complete = ReceptionComplete(stopSeen, matched, StoppKode.empty(), started);
    if (complete || LagreAlt || Com.CharCount <= Noise) {
      // A reception that could not be written whole is not passed off as a
      // program: it is reported as a storage fault.
      FinishReceive(complete, !storeFailed, receiptIsError, stored, true);
    } else {
      CloseFile(ok);
      stored = false;
      receiptIsError = true;
      ReportCell(kColStatus, "Lagring avbrutt");
      SetCell(kColMelding, "Datamottak ikke komplett");
    }
  }
  if (PreemptRule) EndSend(Com, false);
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
