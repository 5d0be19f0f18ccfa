// Programs from the control to the station: the operator's fetch and the
// control's offers ("RDPP", "PR"), and the control's own send dialogue run
// towards the station ("T ST  "). A program is stored only when it came
// whole; the store goes through the machine's backups.

#include "core/latin1.h"
#include "core/visual.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_telegrams.h"
#include "protocols/lsv2/tlsv2.h"

namespace zova {

namespace {

bool Starts(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool TLSV2::FetchProgram(const std::string& fileName) {
  if (!UseTransferName(fileName)) return false;
  std::string answer;
  return LsvSend(lsv2::FetchRequest(lsv2::NcProgramName(fileName, MaxNameLength()))) &&
         ReceiveAnswer(answer) && answer == lsv2::kAnswerSending && LsvSend(lsv2::kNextBlock) &&
         ReceiveProgramBody("PP");
}

bool TLSV2::ReceiveProgramBody(std::string_view area) {
  bool opened = false;
  OpenReceiveFile(opened);
  if (!opened) {
    ReportCellWait(kColMelding, L1("Feil med åpning av fil"));
    return false;
  }
  ReportCellWait(kColMelding, "Mottar programkjerne");
  bool whole = false, storeOk = true;
  while (storeOk && !Terminated()) {
    std::string t;
    if (!ReceiveAnswer(t)) break;
    if (const std::optional<std::string> data = lsv2::DataOf(t, area)) {
      StoreString(*data, storeOk);
      // A block that could not be written is not asked past.
      if (!storeOk) break;
      if (!LsvSend(lsv2::kNextBlock)) {
        ReportCellWait(kColMelding, "Fikk ikke sendt T NB");
        break;
      }
    } else if (t == lsv2::kFinished) {
      whole = true;
      break;
    } else {
      ReportCellWait(kColMelding, "Ukjent telegram: " + StrToVisual(t));
      break;
    }
  }
  bool ok = false;
  if (whole && storeOk) {
    CloseAndStore(ok);
  } else {
    // What came of a broken transfer is no program: the stored one stays.
    bool closed = false;
    CloseFile(closed);
  }
  if (!ok && (whole || !storeOk))
    ReportCellWait(kColMelding, "Feil med lagring av fil");
  else if (ok)
    SetCell(kColMelding, "");
  return ok;
}

bool TLSV2::ServePr(const std::string& telegram) {
  const std::optional<lsv2::AreaRequest> request = lsv2::AreaRequestOf(telegram, MaxNameLength());
  if (!request) {
    // A program without a name cannot be stored: the control is told so.
    ReportCellWait(kColMelding, "Ugyldig filnavn: " + StrToVisual(telegram));
    LsvSend(lsv2::kNoProgram);
    return false;
  }
  if (!UseTransferName(request->name)) {
    LsvSend(lsv2::kNoProgram);
    return false;
  }
  return LsvSend(lsv2::kReadyToReceive) && ReceiveProgramBody(request->area) &&
         LsvSend(lsv2::kDone);
}

bool TLSV2::ReceiveTestProgram() {
  ReportCellWait(kColMelding, "Mottar program for test");
  std::string a;
  const bool cleared = LsvSend(lsv2::kTestStatus) && ReceiveAnswer(a) && a == lsv2::kAutoStatus &&
                       LsvSend(lsv2::kTestStatus) && ReceiveAnswer(a) && Starts(a, "PRCL") &&
                       LsvSend(lsv2::kAnswerReady) && ReceiveAnswer(a) && Starts(a, "R CL");
  if (!cleared) return false;
  Pause(5000);
  if (!LsvSend(lsv2::kNextBlock) || !ReceiveAnswer(a) || a != lsv2::kFinished) return false;
  Pause(500);
  if (!ReceiveAnswer(a) || !Starts(a, "PRPP")) return false;
  const std::optional<std::string> name = lsv2::TestProgramFileName(a, MaxNameLength());
  if (!name || !UseTransferName(*name)) {
    LsvSend(lsv2::kNoProgram);
    return false;
  }
  return LsvSend(lsv2::kAnswerReady) && ReceiveProgramBody("PP");
}

}  // namespace zova
