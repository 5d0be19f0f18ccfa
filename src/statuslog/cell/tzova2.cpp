#include "statuslog/cell/tzova2.h"

#include "core/latin1.h"

namespace zova {

TZova2::TZova2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TCom(links, sharedRequest, machineNo) {
  Port = Trim(ReadIniUpper(SectionName, "Port", "COM" + std::to_string(machineNo + 2)));
  Port2 = Trim(ReadIniUpper(SectionName, "Port2", ""));
}

void TZova2::Execute() {
  bool ok = false;
  OpenPort(Port, "", ok, false, Com);
  ReportOpenFailure(ok, Port);
  PortOpen = ok;
  if (PortOpen && !Port2.empty()) {
    OpenPort(Port2, "", ok, false, Com2);
    ReportOpenFailure(ok, Port2);
    Port2Open = ok;
  }
  if (!PortOpen) {
    ReportCellWait(kColMelding, "Startet ikke");
  } else {
    ReportCell(kColStatus, L1("Kjører kommunikasjon"));
    while (!Terminated()) {
      ServeLine(Com, false);
      if (Port2Open && !Terminated()) ServeLine(Com2, true);
    }
  }
  ReportCellWait(kColStatus, L1("Kjører ikke"));
  CloseLog();
  if (PortOpen) ClosePort(Com);
  if (Port2Open) ClosePort(Com2);
  PortOpen = Port2Open = false;
  TheClock().Sleep(100, nullptr);
}

bool TZova2::ServeLine(TComPort& rec, bool second) {
  char ch = 0;
  bool ok = false;
  ReadChar(rec, true, ok, ch);
  if (!ok) return false;
  UnreadChar(rec, ch);
  ConsoleBeginTransfer();
  if (second)
    ReadSecondLine();
  else
    ReadFirstLine();
  FlushConsole();
  ConsoleEndTransfer();
  return true;
}

}  // namespace zova
