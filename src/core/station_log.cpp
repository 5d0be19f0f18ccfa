#include "core/station_log.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "core/latin1.h"

namespace zova {

namespace {

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Runs of CR and LF between text become one separator; at either end they go.
std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingBreak = false;
  for (char c : text) {
    if (IsLineEnd(c)) {
      pendingBreak = !out.empty();
      continue;
    }
    if (pendingBreak) out += " | ";
    pendingBreak = false;
    out += c;
  }
  return out;
}

bool ParseDecimal(std::string_view text, unsigned long long& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool StderrIsJournal() {
  struct stat st {};
  if (::fstat(2, &st) != 0) return false;
  return IsJournalStream(std::getenv("JOURNAL_STREAM"), static_cast<unsigned long long>(st.st_dev),
                         static_cast<unsigned long long>(st.st_ino));
}

}  // namespace

std::string LogStamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
  return stamp;
}

std::string StationLogLine(LogLevel level, std::string_view utf8Text, bool toJournal,
                           std::string_view stamp) {
  std::string line;
  if (toJournal)
    line = "<" + std::to_string(static_cast<int>(level)) + ">";
  else
    line = std::string(stamp) + " zova: ";
  return line + OneLine(utf8Text) + "\n";
}

bool IsJournalStream(const char* journalStream, unsigned long long device,
                     unsigned long long inode) {
  if (!journalStream) return false;
  std::string_view value(journalStream);
  size_t colon = value.find(':');
  if (colon == std::string_view::npos) return false;
  unsigned long long dev = 0, ino = 0;
  return ParseDecimal(value.substr(0, colon), dev) && ParseDecimal(value.substr(colon + 1), ino) &&
         dev == device && ino == inode;
}

void LogStation(LogLevel level, std::string_view latin1Text) {
  static std::mutex mutex;
  static const bool toJournal = StderrIsJournal();
  std::string line =
      StationLogLine(level, Latin1ToUtf8(latin1Text), toJournal, toJournal ? "" : LogStamp());
  std::lock_guard lock(mutex);
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void LogStation(std::string_view latin1Text) {
  LogStation(LogLevel::Info, latin1Text);
}

void LogStationWarning(std::string_view latin1Text) {
  LogStation(LogLevel::Warning, latin1Text);
}

void LogStationError(std::string_view latin1Text) {
  LogStation(LogLevel::Error, latin1Text);
}

void LogNotice(std::string_view caption, std::string_view text) {
  LogStationWarning("melding [" + std::string(caption) + "] " + std::string(text));
}

void LogQuestion(std::string_view caption, std::string_view text, std::string_view answer) {
  std::string line = L1("spørsmål [") + std::string(caption) + "] " + std::string(text);
  if (!answer.empty()) line += " -> " + std::string(answer);
  LogStation(LogLevel::Notice, line);
}

}  // namespace zova
