#include "serial/variants/tdc2.h"

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/uihost.h"

namespace zova {

Dc2Next AfterDc2(int dc2Sent, int repeter, bool read, char answer) {
  if (read && answer == kXon) return Dc2Next::Started;
  return dc2Sent < repeter ? Dc2Next::Again : Dc2Next::GiveUp;
}

TDC2::TDC2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TBtr(links, sharedRequest, machineNo) {
  Repeter = ReadIniInt(SectionName, "Repeter", 1);
}

void TDC2::Receive(bool& stored, bool& receiptIsError) {
  char ch = 0;
  bool ok = false;
  ReadChar(Com, false, ok, ch);
  if (ok && ch == kDc2) {
    // The control holds its program back until it is let go.
    if (Com.Handle && !Com.Handle->ResumeOutput()) ShowNotice("DC2 mottatt", "Feil med SetXOn");
    bool written = false;
    WriteChar(Com, false, written, kXon);
  }
  if (ok) UnreadChar(Com, ch);
  TBtr::Receive(stored, receiptIsError);
}

bool TDC2::AwaitXon() {
  ReportCell(kColStatus, "DC2 protokoll aktivert");
  SetCell(kColMelding, L1("Venter på Xon"));
  // The answer is read as data: taken as the start signal it would never be
  // seen here.
  const bool xonXoff = Com.XonXoff;
  Com.XonXoff = false;
  SwitchToHardware(Com);
  bool started = false;
  for (int sent = 1; !Terminated(); ++sent) {
    bool ok = false;
    WriteChar(Com, true, ok, kDc2);
    if (!ok) SetCell(kColMelding, "Feil med strapping av ledning (5,6,20)");
    FlushConsole();
    char ch = 0;
    bool read = false;
    ReadChar(Com, false, read, ch);
    const Dc2Next next = AfterDc2(sent, Repeter, read, ch);
    started = next == Dc2Next::Started;
    if (next != Dc2Next::Again) break;
  }
  Com.XonXoff = xonXoff;
  SwitchToSoftware(Com, true, true);
  return started;
}

void TDC2::Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  const bool waits = Repeter >= 1;
  const bool started = waits && AwaitXon();
  TBtr::Send(isTool, isDirectory, errorReceipt, isReceipt);
  if (waits && !started) {
    Pause(3000);
    SetCell(kColMelding, L1("Xon startet ikke overføringen"));
  }
}

}  // namespace zova
