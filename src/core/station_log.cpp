#include "core/station_log.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "core/latin1.h"

namespace zova {

void LogStation(std::string_view latin1Text) {
  static std::mutex mutex;
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
  std::string line = std::string(stamp) + " zova: " + Latin1ToUtf8(latin1Text) + "\n";
  std::lock_guard lock(mutex);
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void LogNotice(std::string_view caption, std::string_view text) {
  LogStation("melding [" + std::string(caption) + "] " + std::string(text));
}

void LogQuestion(std::string_view caption, std::string_view text, std::string_view answer) {
  std::string line = L1("spørsmål [") + std::string(caption) + "] " + std::string(text);
  if (!answer.empty()) line += " -> " + std::string(answer);
  LogStation(line);
}

}  // namespace zova
