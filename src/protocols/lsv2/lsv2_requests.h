#pragma once
// What a telegram the control starts asks for, and the reports it makes:
// HandleNcTelegram's tests in their order, the alarm filter, and the
// decision after a program request.

#include <optional>
#include <string>
#include <string_view>

namespace zova::lsv2 {

enum class NcRequest {
  kNone,             // no test matched: "Ukjent slavetelegram: "
  kTestProgram,      // "T ST  ": ReceiveTestProgram
  kOffer,            // "RDPP": FetchProgram (the control offers a program)
  kServePr,          // "PR": ServePr
  kServeTdpp,        // "TDPP": ServeTdpp
  kServePt,          // "PT": ServePt
  kAlarm,            // "R AL I": AlarmReportOf
  kStatus,           // "R ST I": "Status mottatt: " + text from the seventh
  kContactRestored,  // "T BD": "Kontakt med NC gjenopprettet", ResetNc
};
// HandleNcTelegram's table, tested in its order; no telegram matches two.
NcRequest ClassifyNcTelegram(std::string_view telegram);

// The control asks the station to wait ("T WA").
bool IsWaitAnswer(std::string_view answer);

// ReceiveAnswerWaiting, after each ReceiveAnswer: "T WA" holds the wait,
// and so does a failed receive once the control has asked to wait; the
// driver stops it only when terminated.
class AnswerWait {
 public:
  struct Step {
    bool again = false;         // receive once more
    bool showWaiting = false;   // FlushConsole, "Venter på fortsettelse" without pause
    bool clearMelding = false;  // the wait is over
  };
  Step After(bool ok, std::string_view answer);

 private:
  bool waiting_ = false;
};
// "Venter på fortsettelse", Latin-1.
std::string WaitingMessage();

// FilterAlarms: the alarm entries (line feeds separate them as ";" does,
// blanks removed) not listed in AlarmFilter, each followed by ";". Empty
// entries are no alarms and are dropped.
std::string FilterAlarms(std::string_view text, std::string_view alarmFilter);

struct AlarmReport {
  // The machine's new alarm text (at most 30 characters); nullopt leaves it.
  std::optional<std::string> alarmText;
  std::string message;    // posted in Melding
  bool toWindow = false;  // the alarm is handed to the window
};
AlarmReport AlarmReportOf(std::string_view telegram, std::string_view alarmFilter);

// "Status mottatt: " and the report's text.
std::string StatusMessage(std::string_view telegram);

// ServeTdpp after the name was taken: refused with "TDPPF" (and Message
// posted) when transfers are blocked or the file did not open; a refused
// request ends there, the send steps never run on a file that is not open.
struct TdppDecision {
  bool refuse = false;
  std::string message;  // Latin-1
};
TdppDecision DecideTdpp(bool filSjekk, bool fileOpened);

}  // namespace zova::lsv2
