#include "serial/variants/tokuma.h"

#include "core/latin1.h"
#include "serial/print/print_stream.h"

namespace zova {

namespace {

OkumaSendKind KindOf(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  // In the order the send itself chooses what it sends.
  if (isReceipt || errorReceipt)
    return errorReceipt ? OkumaSendKind::ErrorReceipt : OkumaSendKind::Receipt;
  if (isTool) return OkumaSendKind::Tool;
  if (isDirectory) return OkumaSendKind::Directory;
  return OkumaSendKind::Program;
}

}  // namespace

TOkuma::TOkuma(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TBtr(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  FilNavnUt = ReadIniBool(s, "FilNavnUt", true);
  NullSpace = ReadIniBool(s, "NullSpace", !StoppKode.empty() && StoppKode[0] == '\0');
  OkumaNavn = ReadIniInt(s, "OkumaNavn", 16);
  Prefiks = OkumaPrefiks(ReadIniStr(s, "Prefiks", "P"));
  leader_ = ReadIniInt(s, "FeedHoles", ReadIniInt(s, "Leader", 0));
  // The control writes its comments in parentheses and sends a name before
  // the start code.
  LedeNavn = true;
  Parentheses = true;
}

void TOkuma::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ReportCell(kColStatus, "Okuma kommuniserer");
  SetCell(kColMelding, "");
  char ch = 0;
  bool ok = false;
  ReadChar(Com, false, ok, ch);
  if (ok) UnreadChar(Com, ch);
  if (ok && ch == kEsc)
    PrintPassThrough();
  else
    TBtr::Receive(stored, receiptIsError);
}

void TOkuma::PrintPassThrough() {
  ReportCell(kColStatus, "Skriver ut");
  PrintStream printer(StationPrinter(), SectionName);
  std::string error;
  const bool open = printer.Open(error);
  if (!open) {
    SetCell(kColMelding, "Skriveren tar ikke imot data");
    LogMarker(true, "Utskrift: " + error);
  }
  // The print is read off the line even when the printer takes none of it:
  // left there, it would be taken for a program.
  bool ended = false;
  auto take = [&](const char* data, size_t n) {
    const PrintRun run = TakePrintData({data, n});
    printer.Write({data, run.used});
    ended = run.ended;
    return run.used;
  };
  while (!ended && !Terminated() && ReadRun(Com, false, true, kMaxRun, take)) {
  }
  FlushConsole();
  const PrintFault fault = printer.Close(error);
  ReportCell(kColStatus, "Skriving avsluttet");
  if (fault == PrintFault::None) {
    SetCell(kColMelding, "");
    return;
  }
  if (open) LogMarker(true, "Utskrift: " + error);
  SetCell(kColMelding, fault == PrintFault::Lost ? "Mistet skriverforbindelsen"
                                                 : "Skriveren tar ikke imot data");
}

bool TOkuma::SendHeader(const std::string& header) {
  bool ok = true;
  for (size_t i = 0; i < header.size() && ok; ++i) WriteChar(Com, false, ok, header[i]);
  return ok;
}

void TOkuma::Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  ReportCell(kColStatus, "Sender Okuma-filnavn");
  SetCell(kColMelding, "");
  OkumaHeaderKeys keys;
  keys.filNavnUt = FilNavnUt;
  keys.nullSpace = NullSpace;
  keys.okumaNavn = OkumaNavn;
  keys.prefiks = Prefiks;
  keys.ext = Ext;
  keys.leader = leader_;
  std::string cell;
  bool stale = false;
  GetGridFileName(cell, stale);
  const OkumaSendKind kind = KindOf(isTool, isDirectory, errorReceipt, isReceipt);
  if (!SendHeader(OkumaHeader(kind, cell, keys))) {
    // Without its header the control would file the program under another
    // name, or refuse it half way: nothing more goes, not even the rest of
    // the header the line still holds.
    PurgeOutput(Com);
    ReportCell(kColStatus, "Sending avbrutt");
    SetCell(kColMelding, "Feil med sending av filnavn");
    return;
  }
  SetCell(kColMelding, "Filnavn sendt");
  TBtr::Send(isTool, isDirectory, errorReceipt, isReceipt);
}

}  // namespace zova
