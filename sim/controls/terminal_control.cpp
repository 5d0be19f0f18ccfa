#include "controls/terminal_control.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

#include "core/latin1.h"
#include "core/visual.h"

namespace zova::sim {

namespace {

using Clock = std::chrono::steady_clock;

// What "now" means when taking the station's output: long enough for a
// read to be made at all (a wait of 1 ms rounds down to none).
constexpr int kNowMs = 10;

long MsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

std::string TerminalKeyCodes(const std::string& typed) {
  std::string out;
  for (size_t i = 0; i < typed.size(); ++i) {
    const char c = typed[i];
    if (c == '\x1b' && i + 2 < typed.size() && typed[i + 1] == 'O' && typed[i + 2] >= 'P' &&
        typed[i + 2] <= 'S') {
      out += static_cast<char>(17 + typed[i + 2] - 'P');
      i += 2;
    } else if (c == '\x1b' && typed.compare(i, 5, "\x1b[15~") == 0) {
      out += static_cast<char>(21);
      i += 4;
    } else if (c == '\x7f') {
      out += '\b';
    } else if (c == '\n') {
      out += '\r';
    } else if (c >= 'a' && c <= 'z') {
      out += static_cast<char>(c - 'a' + 'A');
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

// Standard input without line editing or echo while the terminal runs.
class RawInput {
 public:
  RawInput() {
    raw_ = ::tcgetattr(0, &saved_) == 0;
    if (!raw_) return;
    termios t = saved_;
    t.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    t.c_iflag &= static_cast<tcflag_t>(~(ICRNL | IXON));
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(0, TCSANOW, &t);
  }
  ~RawInput() {
    if (raw_) ::tcsetattr(0, TCSANOW, &saved_);
  }
  RawInput(const RawInput&) = delete;
  RawInput& operator=(const RawInput&) = delete;

 private:
  termios saved_{};
  bool raw_ = false;
};

}  // namespace

TerminalControl::TerminalControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"display", {1, {"--columns"}, {}}, false, Bind(&TerminalControl::Display)});
  AddCommand({"keys", {1, {"--gap"}, {}}, true, Bind(&TerminalControl::Keys)});
  AddCommand({"screen", {1, {"--timeout"}, {}}, true, Bind(&TerminalControl::Screen)});
  AddCommand({"screen-file", {1, {}, {}}, true, Bind(&TerminalControl::ScreenFile)});
  AddCommand({"received", {1, {}, {}}, true, Bind(&TerminalControl::ReceivedFile)});
  AddCommand({"interactive", {0, {}, {}}, true, Bind(&TerminalControl::Interactive)});
}

bool TerminalControl::Pump(int timeoutMs) {
  std::string chunk;
  const ReadStatus status = ReadSome(chunk, timeoutMs);
  if (status == ReadStatus::kGone) return false;
  screen_.Feed(chunk);
  all_ += chunk;
  return true;
}

bool TerminalControl::Display(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long columns = cmd.Num("--columns", 40, ok);
  const long lines = std::atol(cmd.args[0].c_str());
  if (!ok || lines < 1 || lines > 60 || columns < 1 || columns > 200) {
    error = "display: LINES 1..60, --columns 1..200";
    return false;
  }
  screen_ = TerminalScreen(static_cast<int>(lines), static_cast<int>(columns));
  return true;
}

bool TerminalControl::Keys(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long gap = cmd.Num("--gap", 50, ok);
  if (!ok || gap < 0) {
    error = "keys: --gap takes milliseconds";
    return false;
  }
  for (char key : DecodeVisual(cmd.args[0]).bytes) {
    if (!Pump(kNowMs) || !WriteBytes(std::string(1, key))) {
      error = "keys: the line was dropped";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(gap));
  }
  return Pump(kNowMs) || (error = "keys: the line was dropped", false);
}

bool TerminalControl::Screen(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long timeout = cmd.Num("--timeout", 10000, ok);
  const std::string want = DecodeVisual(cmd.args[0]).bytes;
  const auto start = Clock::now();
  while (!screen_.Shows(want)) {
    const long left = timeout - MsSince(start);
    if (!ok || left <= 0 || !Pump(static_cast<int>(std::min(left, 100L)))) {
      error =
          "screen: '" + cmd.args[0] + "' not shown; the display shows |" + screen_.Summary() + "|";
      return false;
    }
  }
  if (Options().verbose) std::cerr << "cncsim: shown |" << screen_.Summary() << "|\n";
  return true;
}

bool TerminalControl::ScreenFile(const SimCommand& cmd, std::string& error) {
  Pump(kNowMs);
  std::ofstream out(cmd.args[0], std::ios::binary);
  for (const std::string& l : screen_.Lines()) out << l << "\n";
  if (!out) error = "screen-file: cannot write " + cmd.args[0];
  return static_cast<bool>(out);
}

bool TerminalControl::ReceivedFile(const SimCommand& cmd, std::string& error) {
  Pump(kNowMs);
  std::ofstream out(cmd.args[0], std::ios::binary);
  out << all_;
  if (!out) error = "received: cannot write " + cmd.args[0];
  return static_cast<bool>(out);
}

void TerminalControl::Draw() const {
  std::string frame = "\x1b[H\x1b[2J";
  const std::string rule = "+" + std::string(42, '-') + "+\r\n";
  frame += rule;
  // The display's Latin-1 as this terminal's UTF-8; control bytes as "?".
  for (std::string l : screen_.Lines()) {
    for (char& c : l)
      if (static_cast<uint8_t>(c) < 32 || c == 127) c = '?';
    frame +=
        "| " + Latin1ToUtf8(l) + std::string(l.size() < 40 ? 40 - l.size() : 0, ' ') + " |\r\n";
  }
  frame += rule;
  frame +=
      "Enter: CR  Backspace: BS  Esc or +: sjekk  Tab or ,: send  Ctrl-P: skriv ut\r\n"
      "F1-F5: maskin / bla  Ctrl-D: avslutt\r\n";
  std::cout << frame << std::flush;
}

bool TerminalControl::Interactive(const SimCommand&, std::string& error) {
  RawInput raw;
  Draw();
  for (;;) {
    pollfd p{0, POLLIN, 0};
    if (::poll(&p, 1, 50) > 0) {
      char buf[32];
      const ssize_t n = ::read(0, buf, sizeof buf);
      if (n <= 0 || std::string(buf, static_cast<size_t>(n)).find('\x04') != std::string::npos)
        return true;
      if (!WriteBytes(TerminalKeyCodes(std::string(buf, static_cast<size_t>(n))))) {
        error = "interactive: the line was dropped";
        return false;
      }
    }
    const size_t before = all_.size();
    if (!Pump(kNowMs)) {
      error = "interactive: the line was dropped";
      return false;
    }
    if (all_.size() != before) Draw();
  }
}

}  // namespace zova::sim
