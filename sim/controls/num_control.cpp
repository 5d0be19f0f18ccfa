#include "controls/num_control.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "core/visual.h"

namespace zova::sim {

namespace {

constexpr char kNul = 0, kStx = 2, kEtx = 3, kEot = 4, kEnq = 5, kAck = 6, kBs = 8, kCr = 13,
               kNak = 0x15, kSyn = 0x16, kGs = 0x1D;
const std::string kPrompt = "    Fortell (dvs. 1:0030)-->";
constexpr size_t kMaxContent = 126;

std::string Block(const std::string& content, const std::string& check) {
  return std::string(1, kStx) + content + check + kEtx;
}

std::string Ack(int digit) {
  return {kAck, static_cast<char>('0' + digit)};
}

}  // namespace

NumControl::NumControl(SimLine& line, const SimOptions& options) : StandardControl(line, options) {
  AddCommand({"num-wake", {0, {"--timeout"}, {}}, true, Bind(&NumControl::Wake)});
  AddCommand({"num-menu", {0, {"--title", "--timeout"}, {}}, true, Bind(&NumControl::Menu)});
  AddCommand({"num-type", {1, {"--timeout"}, {}}, true, Bind(&NumControl::Type)});
  AddCommand({"num-expect", {1, {"--timeout"}, {}}, true, Bind(&NumControl::ExpectLine)});
  AddCommand({"num-download",
              {1, {"--nak-block", "--refuse-block", "--syn-after", "--timeout"}, {"--syn-at-end"}},
              true,
              Bind(&NumControl::Download)});
  AddCommand({"num-punch",
              {1,
               {"--bad-check", "--always-bad", "--syn-after", "--enq-after", "--timeout"},
               {"--no-eot"}},
              true,
              Bind(&NumControl::Punch)});
}

std::string NumControl::Check(const std::string& content) {
  unsigned sum = 0;
  for (char ch : content) sum += static_cast<unsigned char>(ch);
  const unsigned check = 255 - sum % 256;
  static const char kHex[] = "0123456789ABCDEF";
  return {kHex[check >> 4], kHex[check & 15]};
}

bool NumControl::SendLine(const std::string& text) {
  return WriteBytes(text + kCr);
}

bool NumControl::ReadLine(std::string& line, int timeoutMs, std::string& error) {
  line.clear();
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
      error = "no CR within " + std::to_string(timeoutMs) + " ms after " + StrToVisual(line);
      return false;
    }
    if (b == kCr) return true;
    line += static_cast<char>(b);
  }
}

bool NumControl::Wake(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  if (!WriteBytes(std::string(1, kNul))) return false;
  if (!ExpectByte(0, timeout, error)) {
    error = "num-wake: " + error;
    return false;
  }
  return WriteBytes(std::string(1, kCr));
}

bool NumControl::Menu(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  std::string screen;
  while (screen.size() < kPrompt.size() ||
         screen.compare(screen.size() - kPrompt.size(), kPrompt.size(), kPrompt) != 0) {
    uint8_t b = 0;
    if (ReadByte(b, timeout) != ReadStatus::kData) {
      error = "num-menu: no prompt; the screen shows " + StrToVisual(screen);
      return false;
    }
    screen += static_cast<char>(b);
  }
  // Eleven empty lines clear the screen, then four menu lines and the prompt.
  const std::string blank(11, kCr);
  const size_t start = screen.rfind(blank);
  if (start == std::string::npos) {
    error = "num-menu: the screen was not cleared: " + StrToVisual(screen);
    return false;
  }
  std::vector<std::string> lines;
  std::istringstream rest(screen.substr(start + blank.size()));
  for (std::string l; std::getline(rest, l, kCr);) lines.push_back(l);
  if (lines.size() != 5) {
    error = "num-menu: " + std::to_string(lines.size()) + " menu lines: " + StrToVisual(screen);
    return false;
  }
  for (const std::string& l : lines) {
    if (l.compare(0, 4, "DNC>") != 0) {
      error = "num-menu: a line without DNC>: " + StrToVisual(l);
      return false;
    }
  }
  if (cmd.Has("--title") && lines[0] != "DNC>" + cmd.Opt("--title")) {
    error = "num-menu: title " + StrToVisual(lines[0]);
    return false;
  }
  return true;
}

bool NumControl::Type(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  std::string keys = cmd.args[0];
  VisualToStr(keys);
  for (char key : keys) {
    if (!WriteBytes(std::string(1, key))) return false;
    const bool echoed = key == kBs || key == kCr || (key >= '0' && key <= ':');
    if (echoed && !ExpectByte(static_cast<uint8_t>(key), timeout, error)) {
      error = "num-type: " + error;
      return false;
    }
  }
  return true;
}

bool NumControl::ExpectLine(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  std::string want = cmd.args[0];
  VisualToStr(want);
  std::string seen;
  for (;;) {
    std::string line;
    if (!ReadLine(line, timeout, error)) {
      error = "num-expect: no " + StrToVisual(want) + "; lines: " + seen + error;
      return false;
    }
    if (line == want) return true;
    seen += StrToVisual(line) + " | ";
  }
}

bool NumControl::Download(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long nakBlock = cmd.Num("--nak-block", 0, ok);
  const long refuseBlock = cmd.Num("--refuse-block", 0, ok);
  int refused = 0;
  long synAfter = cmd.Num("--syn-after", 0, ok);
  bool synAtEnd = cmd.Has("--syn-at-end");
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  bool nakDone = false;
  if (!SendLine(std::string(1, kStx))) return false;
  std::string program;
  long blocks = 0;
  int digit = 0;
  bool starting = true;
  for (;;) {
    std::string line;
    if (!ReadLine(line, timeout, error)) {
      error = "num-download: " + error;
      return false;
    }
    if (starting) {
      // A transfer begins with an empty line.
      if (!line.empty()) {
        error = "num-download: " + StrToVisual(line) + " before the empty line";
        return false;
      }
      starting = false;
      continue;
    }
    if (line.size() < 4 || line.front() != kStx || line.back() != kEtx) {
      error = "num-download: not a block: " + StrToVisual(line);
      return false;
    }
    const std::string content = line.substr(1, line.size() - 4);
    if (line.substr(line.size() - 3, 2) != Check(content)) {
      error = "num-download: wrong check in " + StrToVisual(line);
      return false;
    }
    const bool end = content == ".";
    if (!end) ++blocks;
    if (!end && blocks == refuseBlock) {
      // Refused every time: the station gives up after its tenth send.
      --blocks;
      if (!SendLine(std::string(1, kNak))) return false;
      if (++refused < 10) continue;
      std::string more;
      if (ReadLine(more, 1000, error)) {
        error = "num-download: an eleventh send of a refused block";
        return false;
      }
      error.clear();
      return true;
    }
    if (!end && blocks == nakBlock && !nakDone) {
      nakDone = true;
      --blocks;
      if (!SendLine(std::string(1, kNak))) return false;
      continue;
    }
    if ((!end && synAfter > 0 && blocks == synAfter) || (end && synAtEnd)) {
      synAfter = 0;
      synAtEnd = false;
      program.clear();
      blocks = 0;
      digit = 0;
      starting = true;
      if (!SendLine(std::string(1, kSyn))) return false;
      continue;
    }
    if (!SendLine(Ack(digit))) return false;
    digit ^= 1;
    if (end) break;
    for (char ch : content) program += ch == kGs ? std::string("\r\n") : std::string(1, ch);
    program += "\r\n";
  }
  std::ofstream(cmd.args[0], std::ios::binary | std::ios::trunc) << program;
  if (Options().verbose) std::cerr << "cncsim: downloaded " << blocks << " blocks\n";
  return true;
}

bool NumControl::ReadAck(std::string& line, int timeoutMs, std::string& error) {
  if (!ReadLine(line, timeoutMs, error)) {
    error = "num-punch: " + error;
    return false;
  }
  return true;
}

bool NumControl::Punch(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long badCheck = cmd.Num("--bad-check", 0, ok);
  const long alwaysBad = cmd.Num("--always-bad", 0, ok);
  long synAfter = cmd.Num("--syn-after", 0, ok);
  long enqAfter = cmd.Num("--enq-after", 0, ok);
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!ok || !in) {
    error = "num-punch: cannot read " + cmd.args[0] + " or a number option";
    return false;
  }
  std::vector<std::string> contents;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!contents.empty() && contents.back().size() + 1 + l.size() < kMaxContent)
      contents.back() += kGs + l;
    else
      contents.push_back(l);
  }
  contents.push_back(".");
  std::string line;
  {
    if (!SendLine(std::string(1, kStx))) return false;
    if (!ReadAck(line, timeout, error)) return false;
    if (!line.empty()) {
      error = "num-punch: " + StrToVisual(line) + " before the empty line";
      return false;
    }
    if (!ReadAck(line, timeout, error)) return false;
    if (line != Ack(0)) {
      error = "num-punch: the transfer opened with " + StrToVisual(line);
      return false;
    }
    int digit = 0, naks = 0;
    bool badDone = false;
    for (size_t i = 0; i < contents.size(); ++i) {
      const long n = static_cast<long>(i) + 1;
      const std::string good = Check(contents[i]);
      const bool bad = n == alwaysBad || (n == badCheck && !badDone);
      badDone = badDone || n == badCheck;
      if (!SendLine(Block(contents[i], bad ? (good == "00" ? "01" : "00") : good))) return false;
      if (!ReadAck(line, timeout, error)) return false;
      if (bad) {
        if (line != std::string(1, kNak)) {
          error = "num-punch: a bad block answered " + StrToVisual(line);
          return false;
        }
        if (n == alwaysBad) {
          // Ten in a row: the station has given up; so has the operator.
          if (++naks >= 10) return true;
        }
        --i;
        continue;
      }
      digit ^= 1;
      if (line != Ack(digit)) {
        error = "num-punch: block " + std::to_string(n) + " answered " + StrToVisual(line);
        return false;
      }
      if (n == enqAfter) {
        enqAfter = 0;
        if (!SendLine(std::string(1, kEnq)) || !ReadAck(line, timeout, error)) return false;
        if (line != Ack(digit)) {
          error = "num-punch: ENQ answered " + StrToVisual(line);
          return false;
        }
      }
      if (n == synAfter) {
        synAfter = 0;
        if (!SendLine(std::string(1, kSyn)) || !ReadAck(line, timeout, error)) return false;
        if (line != Ack(0)) {
          error = "num-punch: SYN answered " + StrToVisual(line);
          return false;
        }
        // The control starts its program over after the SYN, without a new STX.
        digit = 0;
        i = static_cast<size_t>(-1);
      }
    }
  }
  if (cmd.Has("--no-eot")) return true;
  return SendLine(std::string(1, kEot));
}

}  // namespace zova::sim
