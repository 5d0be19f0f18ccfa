// The standard driver's keys and main loop.

#include "serial/standard/tzova.h"

#include "core/globals.h"
#include "core/latin1.h"
#include "serial/standard/send_choice.h"

namespace zova {

TZova::TZova(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TCom(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  bool present = false;
  StartKode = ReadIniStr(s, "StartKode", "%", true);
  StartKode2 = ReadIniStr(s, "StartKode2", "", true);
  std::string sluttKode = ReadIniStr(s, "SluttKode", "", true);
  StoppKode = ReadIniStr(s, "StoppKode", sluttKode, true);
  StoppTegn = ReadIniStr(s, "StoppTegn", "", true);
  StartEkstra = ReadIniStr(s, "StartEkstra", "", true);
  StoppEkstra = ReadIniStr(s, "StoppEkstra", "", true);
  std::string stoppKode2 = ReadIniStr(s, "StoppKode2", "", true);
  StoppFeil = ReadIniStr(s, "StoppFeil", stoppKode2, true);
  LagreAlt = ReadIniBool(s, "LagreAlt", true);
  HandShakeTest = ReadIniBool(s, "HandShakeTest", false);
  StartStoppKodeUt = ReadIniBool(s, "StartStoppKodeUt", false);
  StoppTegnUt = ReadIniBool(s, "StoppTegnUt", true);
  VenteTid = ReadIniInt(s, "VenteTid", 0);
  SendDelayKey = ReadIniInt(s, "SendDelay", 0);
  PauseTid = ReadIniInt(s, "PauseTid", 0);
  PauseTegn = ReadIniCharSet(s, "PauseTegn", "", present);
  TegnDelay = ReadIniInt(s, "TegnDelay", 0);
  DelayTegn = ReadIniCharSet(s, "DelayTegn", "", present);
  FjernDelayTegn = ReadIniBool(s, "FjernDelayTegn", false);
  DelayEtter = ReadIniBool(s, "DelayEtter", false);
  int leader = ReadIniInt(s, "Leader", 0);
  leader = ReadIniInt(s, "FeedHoles", leader);
  int trailer = ReadIniInt(s, "Trailer", 60);
  MaxNull = ReadIniInt(s, "MaxNull", trailer);
  SystemNuller = ReadIniInt(s, "SystemNuller", 0);
  KvitteringsTid = ReadIniInt(s, "KvitteringsTid", 0);
  HenteKommando = ReadIniBool(s, "HenteKommando", false);
  Hurtig = ReadIniBool(s, "Hurtig", false);
  HandShake = ReadIniBool(s, "HandShake", true);
  Port = Trim(ReadIniUpper(s, "Port", "COM" + std::to_string(machineNo + 2)));
  // A feed-hole leader is part of what goes before every program.
  if (leader > 0) StartEkstra.insert(0, static_cast<size_t>(leader), '\0');
}

TZova::~TZova() = default;

void TZova::OpenLine() {
  bool ok = false;
  OpenPort(Port, StoppTegn + StoppKode + StartKode, ok, HandShake, Com);
  ReportOpenFailure(ok, Port);
  PortOpen = ok;
  PreemptRule = Com.SendDelay || (SendDelayKey >= 1 && !Com.XonXoff);
}

void TZova::Execute() {
  OpenLine();
  IsDirectory = IsPrint = IsToolName = false;
  ReceiptCycles = zova::ReceiptCycles(KvitteringsTid, Com.TimeMultiplier, VenteTid);
  if (!PortOpen) {
    ReportCellWait(kColMelding, L1("Startet ikke - kunne ikke åpne ") + Port);
  } else {
    ReportCell(kColStatus, L1("Kjører kommunikasjon"));
    OnStart();
    int receiptPending = 0;
    while (!Terminated()) RunCycle(receiptPending);
    SetCell(kColMelding, "");
  }
  // The end is reported even when the thread was told to stop.
  ReportCell(kColStatus, L1("Kjører ikke"));
  TheClock().Sleep(250, nullptr);
  if (PortOpen) OnThreadEnd();
  CloseLog();
  if (PortOpen) ClosePort(Com);
  TheClock().Sleep(100, nullptr);
}

void TZova::RunCycle(int& receiptPending) {
  Com.CharCount = 0;
  Com.LineLength = 0;
  if (HandShake)
    PollRemoteStart(Com);
  else
    Com.StartSeen = false;
  if (!Busy()) {
    char ch = 0;
    bool ok = false;
    ReadChar(Com, true, ok, ch);
    if (ok) {
      if (HandShake && Com.XonXoff && (ch == kXon || ch == kXoff)) {
        Com.StartSeen = ch == kXon;
        if (ch == kXon) {
          SwitchToSoftware(Com, false, false);
          Com.CharCount = 0;
        }
      } else {
        UnreadChar(Com, ch);
      }
    }
  }
  OnIdle(Busy());
  if (!Busy()) TakeOrders(receiptPending);
  if (Com.StartSeen && HenteKommando && NoRequestPending) {
    Com.StartSeen = false;
    if (Com.XonXoff) {
      SetCell(kColMelding, "Sending blokkert");
      SwitchToHardware(Com);
    }
  }
  if (!Busy()) return;
  ConsoleBeginTransfer();
  ResetTransfer();
  if (PreemptRule && Com.StartSeen && !Com.HasUnread) {
    // The control may be starting to send rather than asking for data.
    char ch = 0;
    bool ok = false;
    ReadChar(Com, true, ok, ch);
    if (ok) {
      UnreadChar(Com, ch);
      Com.StartSeen = false;
    }
  }
  if (Com.HasUnread) {
    Com.StartSeen = false;
    bool stored = false, errorReceipt = false;
    std::string cell = Trim(GetCell(kColFilnavn));
    if (SystemProgram && IsSystemFileName(cell, Globals().SysExt))
      ReceiveSystemFile(cell, stored, errorReceipt);
    else
      Receive(stored, errorReceipt);
    if (errorReceipt && FeilMelding.empty()) errorReceipt = false;
    if (stored || errorReceipt) {
      receiptPending = ReceiptCycles;
      ReceiptIsError = errorReceipt;
      LastReceivedChars = static_cast<int>(Com.CharCount);
      LastCharCount = LastReceivedChars;
    }
  }
  if (StartRequested(Com)) {
    StartSendChoice(receiptPending);
    SwitchToHardware(Com);
  }
  FlushConsole();
  MarkNameStale();
  ConsoleEndTransfer();
}

// The quiet point of a cycle: the operator's orders and the receipt clock.
void TZova::TakeOrders(int& receiptPending) {
  SyncFetchRequest();
  if (Request.Flag3) {
    ResetTransfer();
    Request.Send = false;
    Request.Flag3 = false;
    receiptPending = 0;
  }
  if (Request.Send) {
    ConsoleBeginTransfer();
    OnSendOrder();
    FlushConsole();
    ConsoleEndTransfer();
    Request.Send = false;
    MarkNameStale();
    receiptPending = 0;
  }
  if (Request.Fetch) {
    Request.Fetch = false;
    ConsoleBeginTransfer();
    ResetTransfer();
    OnFetchOrder();
    FlushConsole();
    ConsoleEndTransfer();
  }
  if (receiptPending > 0) {
    --receiptPending;
    if (receiptPending == 1 && VenteTid >= 1) WaitForStart(Com, VenteTid, true);
  }
  OnCycle();
}

void TZova::StartSendChoice(int& receiptPending) {
  SendChoiceInput in;
  in.receiptPending = receiptPending > 0;
  in.listingConfigured = Listing.type != DirFileType::Ingen;
  in.fileCell = GetCell(kColFilnavn);
  in.toolFormat = ToolProtokoll;
  in.autoToolLoad = AutoToolLoad;
  switch (ChooseSend(in)) {
    case SendChoice::Receipt:
      Send(false, false, ReceiptIsError, true);
      receiptPending = 0;
      break;
    case SendChoice::Directory:
      Send(false, true, false, false);
      break;
    case SendChoice::Program:
      Send(false, false, false, false);
      break;
    case SendChoice::Tool:
      Send(true, false, false, false);
      break;
  }
}

void TZova::OnSendOrder() {
  WaitForStart(Com, VenteTid, true);
}

void TZova::AfterSend(bool isTool, bool& ok) {
  PrepareTransfer(isTool, ok);
  NoRequestPending = ok;
}

}  // namespace zova
