#include "protocols/lsv2/lsv2_requests.h"

#include <algorithm>

#include "core/latin1.h"

namespace zova::lsv2 {

namespace {

bool Starts(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

constexpr size_t kAlarmTextLength = 30;

}  // namespace

NcRequest ClassifyNcTelegram(std::string_view telegram) {
  if (telegram == "T ST  ") return NcRequest::kTestProgram;
  if (Starts(telegram, "RDPP")) return NcRequest::kOffer;
  if (Starts(telegram, "PR")) return NcRequest::kServePr;
  if (Starts(telegram, "TDPP")) return NcRequest::kServeTdpp;
  if (Starts(telegram, "PT")) return NcRequest::kServePt;
  if (Starts(telegram, "R AL I")) return NcRequest::kAlarm;
  if (Starts(telegram, "R ST I")) return NcRequest::kStatus;
  if (Starts(telegram, "T BD")) return NcRequest::kContactRestored;
  return NcRequest::kNone;
}

bool IsWaitAnswer(std::string_view answer) {
  return Starts(answer, "T WA");
}

AnswerWait::Step AnswerWait::After(bool ok, std::string_view answer) {
  Step step;
  if (ok && IsWaitAnswer(answer)) {
    waiting_ = step.again = step.showWaiting = true;
  } else if (!ok && waiting_) {
    step.again = true;
  } else {
    step.clearMelding = waiting_;
    waiting_ = false;
  }
  return step;
}

std::string WaitingMessage() {
  return L1("Venter på fortsettelse");
}

std::string FilterAlarms(std::string_view text, std::string_view alarmFilter) {
  const std::string filter = ";" + std::string(alarmFilter) + ";";
  std::string kept, entry;
  auto endEntry = [&] {
    if (!entry.empty() && filter.find(";" + entry + ";") == std::string::npos) kept += entry + ";";
    entry.clear();
  };
  for (char ch : text) {
    if (ch == ';' || ch == '\n')
      endEntry();
    else if (ch != ' ')
      entry += ch;
  }
  endEntry();
  return kept;
}

AlarmReport AlarmReportOf(std::string_view telegram, std::string_view alarmFilter) {
  AlarmReport r;
  if (telegram.size() < 7) {
    r.message = "Ingen aktive alarmer";
    return r;
  }
  const std::string_view text = telegram.substr(6);
  r.alarmText = FilterAlarms(text, alarmFilter).substr(0, kAlarmTextLength);
  if (!r.alarmText->empty() && !alarmFilter.empty()) {
    // The whole alarm text is shown: 44 characters with the CR.
    r.message = "\rAlarm sendt: " + *r.alarmText;
    r.toWindow = true;
  } else {
    r.message = "Alarm mottatt: " + std::string(text);
  }
  return r;
}

std::string StatusMessage(std::string_view telegram) {
  return "Status mottatt: " + std::string(telegram.substr(std::min<size_t>(6, telegram.size())));
}

TdppDecision DecideTdpp(bool filSjekk, bool fileOpened) {
  if (filSjekk) return {true, L1("Sperret for overføring")};
  if (!fileOpened) return {true, "Filen eksisterer ikke"};
  return {};
}

}  // namespace zova::lsv2
