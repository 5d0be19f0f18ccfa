// Receptions of the FAPT driver: blocks after SOH stored as they came, or a
// "%" program handed to the standard reception.

#include "serial/variants/tfapt.h"

#include "core/latin1.h"
#include "serial/variants/fapt_framer.h"

namespace zova {

TFapt::TFapt(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  FaptNavn = ReadIniStr(s, "FaptNavn", "MLL>MLL=", true);
  FaptExt = ReadIniStr(s, "FaptExt", ".FPT", true);
  StatusNavn = ReadIniBool(s, "StatusNavn", false);
  Test = ReadIniBool(s, "Test", false);
}

bool TFapt::IsFaptName(const std::string& cell) const {
  return !FaptExt.empty() && UpperCase(cell).find(UpperCase(FaptExt)) != std::string::npos;
}

void TFapt::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ResetTransfer();
  ReportCell(kColStatus, "Mottar data");
  SetCell(kColMelding, "");
  char ch = 0;
  bool ok = false;
  do {
    ReadChar(Com, false, ok, ch);
  } while (ok && ch != fapt::kSoh && ch != '%' && !Terminated());
  if (ok && ch == '%') {
    // An ordinary program: the standard reception counts and reports it.
    UnreadChar(Com, ch);
    TZova::Receive(stored, receiptIsError);
    return;
  }
  if (!ok || ch != fapt::kSoh) {
    ReportCell(kColStatus, "Mottak avbrutt");
    return;
  }
  ReceiveBlocks(stored, receiptIsError);
}

void TFapt::NameReception() {
  std::string cell;
  bool stale = false;
  GetGridFileName(cell, stale);
  // The operator's name stands when the data are not searched for one.
  if (StatusNavn && IsFaptName(cell))
    TransferName = cell;
  else
    SetFileName("0000" + FaptExt);
}

void TFapt::ReceiveBlocks(bool& stored, bool& receiptIsError) {
  LogNewLine();
  Com.Raw = true;
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar Fapt-data - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    Com.Raw = false;
    return;
  }
  NameReception();
  FaptFramer framer(FaptNavn, !StatusNavn);
  bool storeOk = true, named = false;
  std::string data;
  while (!framer.Ended() && storeOk && !Terminated()) {
    char ch = 0;
    bool read = false;
    // A block's bytes wait as long as the line allows; its separator is due
    // at once.
    ReadChar(Com, framer.AtSeparator(), read, ch);
    if (!read) {
      framer.Quiet();
      break;
    }
    data.clear();
    framer.Feed({&ch, 1}, data);
    for (char b : data) {
      bool one = true;
      StoreRawByte(static_cast<uint8_t>(b), one);
      storeOk = storeOk && one;
    }
    if (framer.NameFound() && !named) {
      SetFileName(framer.Name() + FaptExt);
      named = true;
    }
  }
  if (framer.End() == FaptEnd::BadSeparator) {
    ReportCellWait(kColStatus, "Feil i dataformat");
    ReportCellWait(kColMelding, L1("Overføring brutt"));
  }
  // What still comes belongs to the broken transmission, not a new one.
  for (bool more = true; more && !Terminated();) {
    char ch = 0;
    ReadChar(Com, true, more, ch);
  }
  FlushConsole();
  // Stored also when incomplete: the blocks that came are kept (an older
  // program of the name stays as its backup).
  CloseAndStore(ok);
  Com.Raw = false;
  const bool whole = framer.End() == FaptEnd::Complete && storeOk;
  receiptIsError = !whole;
  if (!ok) {
    ReportCell(kColStatus, "Henting avsluttet");
    SetCell(kColMelding, L1("Klarer ikke å lukke/rename filen"));
    return;
  }
  stored = true;
  ReportCell(kColStatus, "Data mottatt");
  SetCell(kColMelding, whole ? "Data lagret" : "Mottak avbrutt");
}

}  // namespace zova
