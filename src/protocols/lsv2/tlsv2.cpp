// The LSV2 driver's keys, main loop and the operator's orders.

#include "protocols/lsv2/tlsv2.h"

#include <algorithm>

#include "core/globals.h"
#include "core/latin1.h"
#include "files/transfer/reception_names.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_telegrams.h"

namespace zova {

namespace {

constexpr int kTestModusMs = 3000;

}  // namespace

TLSV2::TLSV2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TBilz(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  KortClear = ReadIniBool(s, "KortClear", false);
  Clear = ReadIniUpper(s, "Clear", "", true);
  Terminator = ReadIniUpper(s, "Terminator", "[CR][LF]", true);
  Status = ReadIniBool(s, "Status", true);
  AlarmFilter = ReadIniUpper(s, "AlarmFilter", "");
  BlockSize = ReadIniInt(s, "BlockSize", 120);
  blocks_ = lsv2::BlockReader(BlockSize);
}

void TLSV2::Execute() {
  OpenTelegramPort(Port, PortOpen, Com);
  queue_.Clear();
  if (!PortOpen) {
    // The reason stays in Melding; the log has the line's own error.
    ReportCellWait(kColMelding, "Startet ikke");
  } else {
    ReportCell(kColStatus, L1("Kjører kommunikasjon"));
    if (ResetAtStart) {
      bool ok = false;
      InTransfer([&] { ResetNc(ok); });
      ReportCell(kColMelding, ok ? "Reset OK" : "Reset feilet");
    }
    while (!Terminated()) RunCycle();
    ClosePort(Com);
    SetCell(kColMelding, "");
  }
  ReportCell(kColStatus, L1("Kjører ikke"));
  CloseLog();
  TheClock().Sleep(100, nullptr);
}

void TLSV2::RunCycle() {
  PollHook();
  Com.CharCount = 0;
  char ch = 0;
  const bool enq = AnswerEnq(true, ch) && ch == lsv2::kEnq;
  if (!enq && queue_.Empty()) TakeOrders();
  if (Terminated()) return;
  if (enq || !queue_.Empty()) ServeControl(enq);
}

void TLSV2::ServeControl(bool enqSeen) {
  ReportCell(kColStatus, "NC kommuniserer");
  SetCell(kColMelding, "");
  bool ok = false;
  InTransfer([&] { ok = ServeNc(enqSeen); });
  ReportCellWait(kColStatus, ok ? L1("Overføring OK") : L1("Overføring feilet"));
}

void TLSV2::HoldOrders(bool hold) {
  if (Com.Handle) Com.Handle->SetWakeFd(hold ? -1 : OrderWakeFd());
}

void TLSV2::TakeOrders() {
  SyncFetchRequest();
  // Every order is served as it is taken: none waits to be cancelled.
  Request.Flag3 = false;
  if (Request.Fetch) {
    Request.Fetch = false;
    InTransfer([&] { OperatorFetch(); });
  }
  if (Request.Send) {
    Request.Send = false;
    InTransfer([&] { OperatorSend(); });
  }
  if (Request.Flag2) {
    Request.Flag2 = false;
    InTransfer([&] { OperatorStart(); });
  }
  if (Request.Flag4) {
    Request.Flag4 = false;
    InTransfer([&] { OperatorLoad(); });
  }
  if (Request.OrderValue3 > 0) {
    InTransfer([&] { OperatorUnload(); });
    Request.OrderValue3 = 0;
  }
}

void TLSV2::HandBack(bool ok) {
  Request.ResultState = ok ? 1 : 0;
  SyncStoreResult();
}

void TLSV2::OperatorFetch() {
  std::string cell;
  bool stale = false;
  GetGridFileName(cell, stale);
  ReportCell(kColStatus, "Leser program");
  SetCell(kColMelding, "");
  const std::optional<std::string> name = lsv2::OperatorFetchFileName(Trim(cell), MaxNameLength());
  if (!name) ReportCellWait(kColMelding, "Ingen fil er valgt");
  const bool ok = name && FetchProgram(*name);
  ReportCellWait(kColStatus, ok ? std::string("Program hentet") : L1("Overføring feilet"));
}

void TLSV2::OperatorSend() {
  ReportCell(kColStatus, "Sender program");
  const std::string named = Trim(Request.OrderName1);
  bool ok = named.empty() || UseTransferName(named);
  if (ok && Globals().TestModus) {
    Pause(kTestModusMs);
  } else if (ok) {
    if (!named.empty() && !namedSendSeen_) {
      namedSendSeen_ = true;
      bool reset = false;
      ResetNc(reset);
    }
    ok = SendProgram();
  }
  ReportCellWait(kColStatus, ok ? std::string("Program sendt") : L1("Overføring feilet"));
  if (!named.empty()) HandBack(ok);
}

void TLSV2::OperatorStart() {
  ReportCellWait(kColStatus, "Starter program");
  const std::string name = Trim(Request.OrderName1);
  bool ok = name.empty() || UseTransferName(name);
  if (ok && Globals().TestModus) {
    Pause(kTestModusMs);
    ReportCellWait(kColStatus, L1("Program kjørt"));
  } else {
    if (ok) StartProgram(ok);
    ReportCellWait(kColStatus, ok ? "Program startet" : "Program start feilet");
  }
  HandBack(ok);
}

void TLSV2::OperatorLoad() {
  ReportCellWait(kColStatus, "Laster magasin");
  bool ok = true;
  if (Globals().TestModus)
    Pause(kTestModusMs);
  else
    LoadMagazine(Request.OrderValue, ok);
  ReportCellWait(kColStatus, ok ? "Magasin lastet" : "Magasinlasting feilet");
  HandBack(ok);
}

void TLSV2::OperatorUnload() {
  const std::string tool = std::to_string(Request.OrderValue3);
  ReportCellWait(kColStatus, L1("Laster ut verktøy ") + tool);
  bool ok = true;
  if (Globals().TestModus)
    Pause(kTestModusMs);
  else
    UnloadTool(Request.OrderValue3, Request.OrderByte, ok);
  ReportCellWait(kColStatus, ok ? L1("Lastet ut verktøy ") + tool : L1("Verktøyutlasting feilet"));
}

bool TLSV2::UseTransferName(std::string name) {
  if (!GuardName(name, false)) return false;
  SetFileName(WithDefaultExt(name, Ext));
  return true;
}

// ---- The slots' own behaviour ----

void TLSV2::LoadMagazine(int /*magazine*/, bool& ok) {
  ReportCellWait(kColMelding, "Ulovlig kommando");
  ok = false;
}

void TLSV2::UnloadTool(int /*tool*/, int /*pocket*/, bool& ok) {
  ReportCellWait(kColMelding, "Ulovlig kommando");
  ok = false;
}

void TLSV2::StartProgram(bool& ok) {
  ReportCellWait(kColMelding, "Ulovlig kommando");
  ok = false;
}

void TLSV2::ResetNc(bool& ok) {
  ReportCellWait(kColMelding, "Resetter NC og setter statusmaske");
  ok = LsvSend(lsv2::kResetControl);
  Pause(1000);
  if (!ok) return;
  ok = LsvSend(lsv2::kStatusMask);
  Pause(1000);
}

}  // namespace zova
