#pragma once
// The station's own diagnostic log: standard error, one line per event,
// UTF-8. Notices of the headless front end and facts the operator should be
// able to look up later ("machine 4 is inactive: no driver for ...") go here.
//
// On a terminal or in a file each line carries its date. When standard error
// is the journal's stream (a systemd service), a line starts with its
// priority as "<N>" instead: journald takes the priority from it and stamps
// the time itself.

#include <string>
#include <string_view>

namespace zova {

// syslog(3) priorities, the numbers journald reads from the prefix.
enum class LogLevel { Error = 3, Warning = 4, Notice = 5, Info = 6 };

void LogStation(std::string_view latin1Text);  // Info
void LogStation(LogLevel level, std::string_view latin1Text);
void LogStationWarning(std::string_view latin1Text);
void LogStationError(std::string_view latin1Text);

// "YYYY-MM-DD HH:MM:SS" in local time, as the dated log lines begin.
std::string LogStamp();

// A notice or question that no person saw, with the answer it was given
// (empty: none). Notices are warnings: each would have stopped a person.
void LogNotice(std::string_view caption, std::string_view text);
void LogQuestion(std::string_view caption, std::string_view text, std::string_view answer);

// The line written for one event, with its "\n". CR and LF inside the text
// become " | ": journald would otherwise split the event into several
// entries, and a dated log would get lines without a date. Stamp is the
// date and time of a line that does not go to the journal.
std::string StationLogLine(LogLevel level, std::string_view utf8Text, bool toJournal,
                           std::string_view stamp);

// Whether a JOURNAL_STREAM value ("device:inode", decimal; null when unset)
// names the stream with this device and inode. A process started by a
// service whose output was redirected elsewhere inherits the variable, so
// the numbers must match, not just be there.
bool IsJournalStream(const char* journalStream, unsigned long long device,
                     unsigned long long inode);

}  // namespace zova
