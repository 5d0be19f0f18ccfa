// What the control starts: its telegram taken (or a queued report) and
// dispatched.

#include "core/latin1.h"
#include "core/visual.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/lsv2/tlsv2.h"

namespace zova {

bool TLSV2::ServeNc(bool enqSeen) {
  std::string telegram;
  if (!NextNcTelegram(telegram, enqSeen)) {
    ReportCellWait(kColMelding, L1("Klarer ikke å lese melding"));
    return false;
  }
  bool handled = false, ok = false;
  HandleNcTelegram(telegram, handled, ok);
  if (!handled) {
    ReportCellWait(kColMelding, "Ukjent slavetelegram: " + StrToVisual(telegram));
    return false;
  }
  return ok;
}

void TLSV2::HandleNcTelegram(const std::string& telegram, bool& handled, bool& ok) {
  handled = true;
  switch (lsv2::ClassifyNcTelegram(telegram)) {
    case lsv2::NcRequest::kTestProgram:
      ok = ReceiveTestProgram();
      break;
    case lsv2::NcRequest::kOffer: {
      const std::optional<std::string> name = lsv2::OfferedFileName(telegram, MaxNameLength());
      if (!name) ReportCellWait(kColMelding, "Ugyldig filnavn: " + StrToVisual(telegram));
      ok = name && FetchProgram(*name);
      break;
    }
    case lsv2::NcRequest::kServePr:
      ok = ServePr(telegram);
      break;
    case lsv2::NcRequest::kServeTdpp:
      ok = ServeTdpp(telegram);
      break;
    case lsv2::NcRequest::kServePt:
      ok = ServePt(telegram);
      break;
    case lsv2::NcRequest::kAlarm:
      ReportAlarm(telegram);
      ok = true;
      break;
    case lsv2::NcRequest::kStatus:
      ReportCellWait(kColMelding, lsv2::StatusMessage(telegram));
      ok = true;
      break;
    case lsv2::NcRequest::kContactRestored:
      ReportCellWait(kColMelding, "Kontakt med NC gjenopprettet");
      ResetNc(ok);
      break;
    case lsv2::NcRequest::kNone:
      handled = false;
      break;
  }
}

void TLSV2::ReportAlarm(const std::string& telegram) {
  const lsv2::AlarmReport report = lsv2::AlarmReportOf(telegram, AlarmFilter);
  // The machine's alarm text is the result field the window reads.
  if (report.alarmText) Request.ResultName = *report.alarmText;
  ReportCellWait(kColMelding, report.message);
  if (report.toWindow) SyncStoreResult();
}

}  // namespace zova
