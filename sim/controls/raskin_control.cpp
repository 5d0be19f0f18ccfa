#include "controls/raskin_control.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace zova::sim {

namespace {

constexpr uint8_t kDle = 0x10;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kEot = 0x04;
const std::string kAck7 =
    "\x10"
    "7";

std::vector<std::string> FileLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

}  // namespace

RaskinControl::RaskinControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"raskin-receive",
              {1, {"--nak-after", "--answer", "--timeout"}, {}},
              true,
              Bind(&RaskinControl::ReceiveProgram)});
  AddCommand({"raskin-serve",
              {1, {"--expect-request", "--timeout"}, {}},
              true,
              Bind(&RaskinControl::ServeProgram)});
}

bool RaskinControl::ReadLine(std::string& line, int timeoutMs, bool& eot, std::string& error) {
  line.clear();
  eot = false;
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
      error = "no CR within " + std::to_string(timeoutMs) + " ms after \"" + line + "\"";
      return false;
    }
    if (b == kCr) return true;
    if (b == kEot) {
      eot = true;
      return false;
    }
    line += static_cast<char>(b);
  }
}

bool RaskinControl::ExpectPrompt(int timeoutMs, std::string& error) {
  return ExpectByte(kDle, timeoutMs, error) && ExpectByte('7', timeoutMs, error);
}

bool RaskinControl::ReceiveProgram(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long nakAfter = cmd.Num("--nak-after", 0, ok);
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  if (!ok) {
    error = "raskin-receive: --nak-after and --timeout take numbers";
    return false;
  }
  const std::string nak = cmd.Opt("--answer", "?");
  std::string line;
  bool eot = false;
  if (!ReadLine(line, timeout, eot, error) || line != "R") {
    error = "raskin-receive: no \"R\" CR first (" + (error.empty() ? line : error) + ")";
    return false;
  }
  if (!WriteBytes(kAck7)) return false;
  std::string program;
  long count = 0;
  while (ReadLine(line, timeout, eot, error)) {
    program += line + "\r\n";
    ++count;
    if (!WriteBytes(count == nakAfter ? nak : kAck7)) {
      error = "raskin-receive: the line was dropped";
      return false;
    }
  }
  std::ofstream(cmd.args[0], std::ios::binary | std::ios::trunc) << program;
  if (Options().verbose) std::cerr << "cncsim: received " << count << " lines\n";
  if (!eot) {
    error = "raskin-receive: " + error;
    return false;
  }
  error.clear();
  return true;
}

bool RaskinControl::ServeProgram(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!ok || !in) {
    error = "raskin-serve: cannot read " + cmd.args[0];
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string request;
  bool eot = false;
  if (!ReadLine(request, timeout, eot, error)) {
    error = "raskin-serve: no request: " + error;
    return false;
  }
  if (cmd.Has("--expect-request") && request != cmd.Opt("--expect-request")) {
    error =
        "raskin-serve: request \"" + request + "\", not \"" + cmd.Opt("--expect-request") + "\"";
    return false;
  }
  for (const std::string& l : FileLines(text.str())) {
    if (!ExpectPrompt(timeout, error)) return false;
    if (!WriteBytes(l + static_cast<char>(kCr))) return false;
  }
  if (!ExpectPrompt(timeout, error)) return false;
  return WriteBytes(std::string(1, static_cast<char>(kEot)));
}

}  // namespace zova::sim
