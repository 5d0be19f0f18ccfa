#include "controls/dc2_control.h"

#include <chrono>
#include <iostream>

namespace zova::sim {

namespace {

constexpr uint8_t kDc2 = 18;
constexpr uint8_t kXon = 17;

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

SimCommand Delegate(const SimCommand& cmd, const std::string& name,
                    std::initializer_list<const char*> keep) {
  SimCommand out;
  out.name = name;
  out.args = cmd.args;
  out.line = cmd.line;
  for (const char* key : keep)
    if (cmd.Has(key)) out.options[key] = cmd.Opt(key);
  return out;
}

}  // namespace

Dc2Control::Dc2Control(SimLine& line, const SimOptions& options) : BtrControl(line, options) {
  AddCommand({"dc2-receive",
              {1, {"--timeout", "--until", "--quiet"}, {"--no-xon"}},
              true,
              Bind(&Dc2Control::Receive)});
  AddCommand({"dc2-punch",
              {1, {"--timeout", "--start", "--stop", "--leader", "--end", "--broken"}, {}},
              true,
              Bind(&Dc2Control::Punch)});
}

bool Dc2Control::Receive(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long timeout = cmd.Num("--timeout", 10000, ok);
  if (!ok) {
    error = "dc2-receive: --timeout takes milliseconds";
    return false;
  }
  const auto start = Clock::now();
  for (;;) {
    const long left = timeout - MsSince(start);
    if (left <= 0) {
      error = "dc2-receive: no DC2 came";
      return false;
    }
    uint8_t b = 0;
    const ReadStatus status = ReadByte(b, static_cast<int>(left));
    if (status == ReadStatus::kGone) {
      error = "dc2-receive: the line was dropped";
      return false;
    }
    if (status == ReadStatus::kData && b == kDc2) break;
  }
  if (Options().verbose) std::cerr << "cncsim: DC2 came\n";
  if (!cmd.Has("--no-xon") && !WriteBytes(std::string(1, static_cast<char>(kXon)))) {
    error = "dc2-receive: the line was dropped";
    return false;
  }
  SimCommand capture = Delegate(cmd, "capture", {"--until", "--quiet"});
  // The program follows the station's wait for XON, and without one its
  // give-up first.
  capture.options["--first"] = std::to_string(timeout);
  return Run(capture, error);
}

bool Dc2Control::Punch(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long timeout = cmd.Num("--timeout", 10000, ok);
  if (!ok) {
    error = "dc2-punch: --timeout takes milliseconds";
    return false;
  }
  const auto start = Clock::now();
  bool answered = false;
  while (!answered) {
    const long left = timeout - MsSince(start);
    if (left <= 0) {
      error = "dc2-punch: no XON came";
      return false;
    }
    if (!WriteBytes(std::string(1, static_cast<char>(kDc2)))) {
      error = "dc2-punch: the line was dropped";
      return false;
    }
    // A DC2 the station missed (before it had its line) is sent again.
    const auto asked = Clock::now();
    while (!answered && MsSince(asked) < 1000) {
      uint8_t b = 0;
      const ReadStatus status = ReadByte(b, static_cast<int>(1000 - MsSince(asked)));
      if (status == ReadStatus::kGone) {
        error = "dc2-punch: the line was dropped";
        return false;
      }
      if (status == ReadStatus::kTimeout) break;
      answered = b == kXon;
    }
  }
  return Run(Delegate(cmd, "btr-punch", {"--start", "--stop", "--leader", "--end", "--broken"}),
             error);
}

}  // namespace zova::sim
