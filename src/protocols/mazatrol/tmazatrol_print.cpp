// The control's screen graphics (they start with ESC or CAN) passed to the
// station's printer as one job, in the matrix printers' language; they end
// when the line goes quiet, since the image data may hold any byte.

#include "core/latin1.h"
#include "protocols/mazatrol/tmazatrol.h"
#include "serial/print/print_stream.h"

namespace zova {

void TMazatrol::PrintGraphics() {
  if (Com.FjernNull) {
    DropGraphics();
    return;
  }
  ReportCell(kColStatus, "Printer grafikk");
  PrinterSettings printerSettings = StationPrinter();
  // The graphics are ESC/P: a PJL printer is always switched to it.
  printerSettings.pjl = true;
  PrintStream printer(printerSettings, SectionName);
  std::string error;
  const bool open = printer.Open(error);
  if (!open) {
    SetCell(kColMelding, "Skriveren tar ikke imot data");
    LogMarker(true, "Utskrift: " + error);
  }
  // Read off the line even when the printer takes none of it: left there,
  // it would be taken for a program. Bytes as they come, no line code.
  Com.Raw = true;
  auto take = [&](const char* data, size_t n) {
    printer.Write({data, n});
    return n;
  };
  while (!Terminated() && ReadRun(Com, false, false, kMaxRun, take)) {
  }
  Com.Raw = false;
  FlushConsole();
  const PrintFault fault = printer.Close(error);
  ReportCell(kColStatus, "Printing avsluttet");
  if (fault == PrintFault::None || !open) return;
  LogMarker(true, "Utskrift: " + error);
  SetCell(kColMelding, fault == PrintFault::Lost ? "Mistet skriverforbindelsen"
                                                 : "Skriveren tar ikke imot data");
}

void TMazatrol::DropGraphics() {
  // With NUL removal on the line the image would arrive damaged.
  SetCell(kColMelding, "Grafikkprinting ikke aktiv pga. FjernNull=True");
  ReportCell(kColStatus, "Forkaster grafikk");
  Com.Raw = true;
  DrainLine();
  Com.Raw = false;
  ReportCell(kColStatus, "Printing avsluttet");
}

}  // namespace zova
