#include "serial/variants/tbtr.h"

#include "core/latin1.h"
#include "core/uihost.h"

namespace zova {

namespace {

constexpr size_t kReceiveRun = 4096;

}  // namespace

TBtr::TBtr(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  LagreKoder = ReadIniBool(s, "LagreKoder", false);
  // A punch's file holds its codes already when they are stored, so they are
  // not sent around it a second time.
  StartStoppKodeUt = ReadIniBool(s, "StartStoppKodeUt", !LagreKoder);
  StoppTegnUt = ReadIniBool(s, "StoppTegnUt", false);
  LedeNavn = ReadIniBool(s, "LedeNavn", false);
  if (StartKode.empty()) {
    // Without a start code no reception could ever begin.
    StartKode = "\n";
    ShowNotice(s + " (BTR-protokoll)", "Mangler startkode");
  }
}

BtrCodes TBtr::Codes() const {
  BtrCodes codes;
  codes.startKode = StartKode;
  codes.startKode2 = StartKode2;
  codes.stoppKode = StoppKode;
  codes.stoppTegn = StoppTegn;
  codes.stoppFeil = StoppFeil;
  codes.terminator = Com.TVCheck ? Com.TVTegn : '\n';
  codes.lagreKoder = LagreKoder;
  codes.parentheses = Parentheses;
  return codes;
}

void TBtr::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  bool next = false;
  bool first = true;
  do {
    bool one = false, error = false;
    ReceiveOne(!first, one, error, next);
    // A later program of the transmission does not undo an earlier one.
    stored = stored || one;
    receiptIsError = error;
    first = false;
  } while (next && !Terminated());
  if (PreemptRule) EndSend(Com, false);
}

void TBtr::ReceiveOne(bool alreadyStarted, bool& stored, bool& receiptIsError, bool& nextFollows) {
  stored = false;
  receiptIsError = false;
  nextFollows = false;
  ResetTransfer();
  // Each program of the transmission is counted, named and judged by its own
  // characters, not by those of the ones before it.
  Com.CharCount = alreadyStarted ? 1 : Com.CharCount;
  if (alreadyStarted) AddToHead(StartKode[0]);
  ++ReceiveCount;
  ReportReceiving(ReceiveCount);
  SetCell(kColMelding, "");
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    return;
  }
  BtrFramer framer(Codes(), alreadyStarted);
  bool storeOk = true;
  ReceiveFramed(framer, storeOk);
  FlushConsole();
  nextFollows = framer.NextFollows();
  if (framer.BrokeOffInStart()) {
    // The control began a program and broke off before its first character:
    // nothing of it is kept, and that is not reported as a reception.
    bool closed = false;
    CloseFile(closed);
    receiptIsError = true;
    ReportCell(kColStatus, "Henting avbrutt");
    SetCell(kColMelding, "Data forkastet - mangler startkode");
    return;
  }
  if (!framer.Started() && !LedeNavn) Com.CharCount = 0;
  const bool complete = framer.Complete();
  if (!framer.Started() || complete || LagreAlt) {
    FinishReceive(complete || framer.SequenceMatched(), storeOk, receiptIsError, stored,
                  framer.Started());
    return;
  }
  bool closed = false;
  CloseFile(closed);
  receiptIsError = true;
  ReportCell(kColStatus, "Lagring avbrutt");
  SetCell(kColMelding, "Datamottak ikke komplett");
}

void TBtr::ReportReceiving(int number) {
  ReportCell(kColStatus, "Mottar BTR-data - " + std::to_string(number));
}

void TBtr::ReceiveFramed(BtrFramer& framer, bool& storeOk) {
  const size_t maxRun = HandShakeTest ? 1 : kReceiveRun;
  std::string out;
  auto take = [&](const char* data, size_t n) {
    out.clear();
    const size_t used = framer.Feed({data, n}, out);
    bool written = true;
    StoreChars(out.data(), out.size(), written);
    storeOk = storeOk && written;
    for (size_t i = 0; i < used && !HeadFull(); ++i) AddToHead(data[i]);
    return used;
  };
  // Before the program the start is awaited as a normal read; once the
  // program is over (or whole) the line is read as quiet.
  while (!framer.Ended() && !Terminated()) {
    if (!ReadRun(Com, true, framer.IdleReads(), maxRun, take)) {
      framer.Quiet();
      break;
    }
    if (HandShakeTest && Com.CharCount == 100) Pause(15000);
  }
}

}  // namespace zova
