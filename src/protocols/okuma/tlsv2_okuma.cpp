#include "protocols/okuma/tlsv2_okuma.h"

#include "core/latin1.h"
#include "protocols/lsv2/lsv2_telegrams.h"

namespace zova {

namespace {

constexpr int kContactAttempts = 8;
constexpr int kContactWaitSeconds = 17;

}  // namespace

TLSV2Okuma::TLSV2Okuma(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TLSV2(links, sharedRequest, machineNo) {
  ResetAtStart = ReadIniBool(SectionName, "Reset", false);
}

void TLSV2Okuma::PollHook() {
  const okuma::ReadinessStep step =
      okuma::OnReadiness(RemoteReady(Com, true), NcReady, ResetAtStart);
  if (!step.changed) return;
  ReportCellWait(kColStatus, step.status);
  SetCell(kColMelding, "");
  if (step.contact) {
    Com.CharCount = 0;
    bool ok = false;
    InTransfer([&] { ResetNc(ok); });
  } else if (step.clearTegn) {
    SetCell(kColTegn, "");
  }
}

void TLSV2Okuma::ResetNc(bool& ok) {
  ReportCellWait(kColMelding, "Kontakter NC");
  ok = false;
  for (int attempt = 1; attempt <= kContactAttempts && !Terminated(); ++attempt) {
    if (!Write(std::string_view(&lsv2::kEnq, 1))) break;
    FlushConsole();
    char ch = 0;
    if (Read(lsv2::ReadMode::kFull, ch) && (ch == lsv2::kEot || ch == lsv2::kEnq)) {
      // The control's ENQ is its own telegram coming: the idle loop answers it.
      if (ch == lsv2::kEnq) UnreadChar(Com, ch);
      ok = true;
      return;
    }
    if (attempt == kContactAttempts) break;
    for (int s = 0; s < kContactWaitSeconds && !Terminated(); ++s) Pause(1000);
  }
}

void TLSV2Okuma::HandleNcTelegram(const std::string& telegram, bool& handled, bool& ok) {
  handled = true;
  switch (okuma::ClassifyOkumaTelegram(telegram)) {
    case okuma::OkumaRequest::kStartup:
      ok = OkumaStartup();
      return;
    case okuma::OkumaRequest::kListDirectory:
      ok = OkumaListDirectory(telegram);
      return;
    case okuma::OkumaRequest::kSendProgram:
      ok = OkumaSendProgram(telegram);
      return;
    case okuma::OkumaRequest::kNameSequence:
      ok = OkumaNameSequence();
      return;
    case okuma::OkumaRequest::kReceiveProgram:
      ok = OkumaReceiveProgram(telegram);
      return;
    case okuma::OkumaRequest::kNone:
      break;
  }
  ReportCellWait(kColMelding, "Ingen Okuma kommando");
  TLSV2::HandleNcTelegram(telegram, handled, ok);
}

bool TLSV2Okuma::OkumaStartup() {
  ReportCellWait(kColMelding, "Okuma oppstartssekvens");
  std::string a;
  const bool ok = LsvSend(lsv2::kReadyToSend) && ReceiveAnswer(a) && a == lsv2::kAnswerNext &&
                  LsvSend("R CM00" + DataDir) && ReceiveAnswer(a) && a == lsv2::kAnswerNext &&
                  LsvSend(lsv2::kFinished) && ReceiveAnswer(a) && a == lsv2::kAnswerOk;
  if (ok) ReportCellWait(kColMelding, "Oppstartssekvens slutt");
  return ok;
}

bool TLSV2Okuma::OkumaSendProgram(const std::string& telegram) {
  return ServePt(telegram, true);
}

bool TLSV2Okuma::OkumaReceiveProgram(const std::string& telegram) {
  return ServePr(telegram);
}

bool TLSV2Okuma::OkumaNameSequence() {
  ReportCell(kColMelding, "Filnavnsekvens");
  return LsvSend(lsv2::kDone);
}

}  // namespace zova
