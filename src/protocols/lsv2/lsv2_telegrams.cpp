#include "protocols/lsv2/lsv2_telegrams.h"

#include <algorithm>

namespace zova::lsv2 {

namespace {

const std::string kCrLf = "\r\n";

}  // namespace

std::string ClearRequest(std::string_view ncName) {
  return "PRCL" + std::string(ncName) + kCrLf;
}

std::string ClearProgram(std::string_view ncName, std::string_view clear) {
  std::string t = "R CL%CL" + kCrLf + std::string(ncName) + kCrLf;
  if (!clear.empty()) t += std::string(clear) + kCrLf;
  return t + "M30" + kCrLf;
}

std::string ShortClear(std::string_view ncName) {
  return "R CL" + std::string(ncName);
}

std::string ReadyRequest(std::string_view ncName, std::string_view terminator) {
  return "PRPP" + std::string(ncName) + std::string(terminator);
}

std::string FetchRequest(std::string_view ncName) {
  return "PTPP" + std::string(ncName) + kCrLf;
}

std::string DataTelegram(std::string_view area, std::string_view block) {
  return "R " + std::string(area) + std::string(block);
}

std::optional<std::string> DataOf(std::string_view telegram, std::string_view area) {
  if (telegram.size() < 4 || telegram.substr(0, 2) != "R " || telegram.substr(2, 2) != area)
    return std::nullopt;
  return std::string(telegram.substr(4));
}

int AnswerTries(int seconds, int timeMultiplierMs) {
  // A port record never has a wait below 1 ms; guard the division anyway.
  return std::max(seconds, 0) * 1000 / std::max(timeMultiplierMs, 1) + 1;
}

}  // namespace zova::lsv2
