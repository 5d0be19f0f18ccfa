#include "controls/hybrid_control.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

#include "core/visual.h"

namespace zova::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kEtx = 3;
constexpr char kSub = 26;

long MsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// The station's word for each menu letter.
std::string MenuWord(char letter) {
  switch (letter) {
    case 'R':
      return "Upload Part";
    case 'S':
      return "Download Part";
    case 'T':
      return "Filnavn";
    default:
      return "Error";
  }
}

bool Timeout(const SimCommand& cmd, long& ms, std::string& error) {
  bool ok = true;
  ms = cmd.Num("--timeout", 10000, ok);
  if (!ok || ms < 0) error = cmd.name + ": --timeout takes milliseconds";
  return ok && ms >= 0;
}

}  // namespace

HybridControl::HybridControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"hybrid-choose", {1, {"--timeout"}, {}}, true, Bind(&HybridControl::Choose)});
  AddCommand({"hybrid-type", {1, {"--end"}, {}}, true, Bind(&HybridControl::Type)});
  AddCommand(
      {"hybrid-download", {1, {"--timeout", "--quiet"}, {}}, true, Bind(&HybridControl::Download)});
  AddCommand({"hybrid-upload", {1, {"--timeout"}, {}}, true, Bind(&HybridControl::Upload)});
}

bool HybridControl::AwaitText(const std::string& text, long timeoutMs, const std::string& what,
                              std::string& error) {
  const auto start = Clock::now();
  std::string& received = Received();
  while (received.find(text) == std::string::npos) {
    const long left = timeoutMs - MsSince(start);
    if (left <= 0 || !Line().Read(received, 4096, static_cast<int>(std::min(left, 100L)))) {
      error = what + ": " + StrToVisual(text) + " did not come; came " + StrToVisual(received);
      return false;
    }
  }
  received.erase(0, received.find(text) + text.size());
  return true;
}

bool HybridControl::Choose(const SimCommand& cmd, std::string& error) {
  long timeout = 0;
  if (!Timeout(cmd, timeout, error)) return false;
  if (cmd.args[0].size() != 1) {
    error = "hybrid-choose: the menu letter is one character";
    return false;
  }
  const char letter = cmd.args[0][0];
  if (!WriteBytes(std::string("!") + letter)) {
    error = "hybrid-choose: the line was dropped";
    return false;
  }
  return AwaitText("\r\n" + MenuWord(letter) + " # " + kEtx, timeout, "hybrid-choose", error);
}

bool HybridControl::Type(const SimCommand& cmd, std::string& error) {
  const VisualDecoded text = DecodeVisual(cmd.args[0]);
  const VisualDecoded end = DecodeVisual(cmd.Opt("--end", "[CR]"));
  if (text.error || end.error) {
    error = "hybrid-type: bad bracket notation";
    return false;
  }
  if (!WriteBytes(text.bytes + end.bytes)) {
    error = "hybrid-type: the line was dropped";
    return false;
  }
  return true;
}

bool HybridControl::Download(const SimCommand& cmd, std::string& error) {
  long timeout = 0;
  if (!Timeout(cmd, timeout, error)) return false;
  bool ok = true;
  const long quiet = cmd.Num("--quiet", 2000, ok);
  if (!ok || quiet < 0) {
    error = "hybrid-download: --quiet takes milliseconds";
    return false;
  }
  if (!AwaitText("Ready To Send*", timeout, "hybrid-download", error)) return false;
  std::string got;
  int lines = 0;
  for (;;) {
    if (!WriteBytes(">")) {
      error = "hybrid-download: the line was dropped";
      return false;
    }
    std::string line;
    uint8_t b = 0;
    ReadStatus status = ReadStatus::kData;
    while (status == ReadStatus::kData && b != '\n') {
      status = ReadByte(b, static_cast<int>(quiet));
      if (status == ReadStatus::kData) line += static_cast<char>(b);
    }
    got += line;
    if (status == ReadStatus::kGone) {
      error = "hybrid-download: the line was dropped";
      return false;
    }
    if (status == ReadStatus::kTimeout) break;
    ++lines;
  }
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(got.data(), static_cast<std::streamsize>(got.size()));
  if (!out) {
    error = "hybrid-download: cannot write " + cmd.args[0];
    return false;
  }
  if (Options().verbose) std::cerr << "cncsim: downloaded " << lines << " lines\n";
  if (lines == 0) {
    error = "hybrid-download: no line came";
    return false;
  }
  return true;
}

bool HybridControl::Upload(const SimCommand& cmd, std::string& error) {
  long timeout = 0;
  if (!Timeout(cmd, timeout, error)) return false;
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!in) {
    error = "hybrid-upload: cannot read " + cmd.args[0];
    return false;
  }
  if (!AwaitText("Ready To Receive*", timeout, "hybrid-upload", error)) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!AwaitText(">", timeout, "hybrid-upload", error)) return false;
    if (!WriteBytes(line + "\r\n")) {
      error = "hybrid-upload: the line was dropped";
      return false;
    }
  }
  if (!AwaitText(">", timeout, "hybrid-upload", error)) return false;
  if (!WriteBytes(std::string(1, kSub))) {
    error = "hybrid-upload: the line was dropped";
    return false;
  }
  return true;
}

}  // namespace zova::sim
