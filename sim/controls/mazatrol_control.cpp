#include "controls/mazatrol_control.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "core/visual.h"

namespace zova::sim {

namespace {

constexpr char kStx = 2, kEtx = 3, kEot = 4;

std::vector<std::string> FileLines(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::vector<std::string> lines;
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty()) lines.push_back(l);
  }
  return lines;
}

}  // namespace

MazatrolControl::MazatrolControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"maz-offer",
              {1,
               {"--bad-check", "--bad-length", "--no-etx", "--stall-after", "--timeout",
                "--answer-timeout"},
               {"--one-eot", "--expect-silence"}},
              true,
              Bind(&MazatrolControl::Offer)});
  AddCommand({"maz-fetch",
              {1,
               {"--lines", "--quiet", "--junk-after", "--section-end-after", "--timeout"},
               {"--one-eot"}},
              true,
              Bind(&MazatrolControl::Fetch)});
  AddCommand({"maz-status",
              {0, {"--text", "--timeout"}, {"--one-eot"}},
              true,
              Bind(&MazatrolControl::Status)});
  AddCommand({"maz-graphics", {1, {}, {}}, true, Bind(&MazatrolControl::Graphics)});
}

std::string MazatrolControl::Check(const std::string& text) {
  unsigned sum = 0;
  for (char ch : text) sum += static_cast<unsigned>(static_cast<unsigned char>(ch)) - 48u;
  static const char kHex[] = "0123456789ABCDEF";
  sum &= 0xFF;
  return {kHex[sum >> 4], kHex[sum & 15]};
}

bool MazatrolControl::SendTelegram(const std::string& text) {
  return WriteBytes(text + (oneEot_ ? std::string(1, kEot) : std::string(2, kEot)));
}

bool MazatrolControl::ReadTelegram(std::string& text, int timeoutMs, std::string& error) {
  text.clear();
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
      error =
          "no telegram within " + std::to_string(timeoutMs) + " ms (got " + StrToVisual(text) + ")";
      return false;
    }
    if (b == kEot) return true;
    text += static_cast<char>(b);
  }
}

bool MazatrolControl::ExpectTelegram(const std::string& want, int timeoutMs, std::string& error) {
  std::string got;
  if (!ReadTelegram(got, timeoutMs, error)) return false;
  if (got == want) return true;
  error = "expected " + StrToVisual(want) + ", got " + StrToVisual(got);
  return false;
}

bool MazatrolControl::Offer(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long badCheck = cmd.Num("--bad-check", 0, ok);
  const long badLength = cmd.Num("--bad-length", 0, ok);
  const long noEtx = cmd.Num("--no-etx", 0, ok);
  const long stallAfter = cmd.Num("--stall-after", 0, ok);
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  const int answerTimeout = static_cast<int>(cmd.Num("--answer-timeout", timeout, ok));
  bool read = true;
  const std::vector<std::string> lines = FileLines(cmd.args[0], read);
  if (!ok || !read) {
    error = "maz-offer: cannot read " + cmd.args[0] + " or a number option";
    return false;
  }
  oneEot_ = cmd.Has("--one-eot");
  long n = 0;
  for (const std::string& l : lines) {
    if (stallAfter > 0 && n == stallAfter) return true;
    const bool mark = l == "p2";
    std::string telegram;
    if (mark) {
      telegram = l;
    } else {
      ++n;
      std::string text = l;
      if (n == badLength) text.pop_back();
      std::string check = Check(text);
      if (n == badCheck) check = check == "00" ? "01" : "00";
      telegram = std::string("p1") + kStx + text + (n == noEtx ? "" : std::string(1, kEtx)) + check;
    }
    if (!SendTelegram(telegram)) return false;
    std::string answer;
    if (!ReadTelegram(answer, answerTimeout, error)) {
      if (cmd.Has("--expect-silence")) {
        error.clear();
        if (Options().verbose) std::cerr << "cncsim: no answer to line " << n << "\n";
        return true;
      }
      error = "maz-offer: line " + std::to_string(n) + ": " + error;
      return false;
    }
    const std::string want = mark ? "p00" : "p0A";
    if (answer != want) {
      error = "maz-offer: line " + std::to_string(n) + " answered " + StrToVisual(answer) +
              ", not " + want;
      return false;
    }
  }
  if (cmd.Has("--expect-silence")) {
    error = "maz-offer: every line was answered";
    return false;
  }
  return SendTelegram("pA");
}

bool MazatrolControl::Fetch(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long lines = cmd.Num("--lines", 0, ok);
  const int quiet = static_cast<int>(cmd.Num("--quiet", 1000, ok));
  const long junkAfter = cmd.Num("--junk-after", 0, ok);
  const long sectionEndAfter = cmd.Num("--section-end-after", 0, ok);
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  if (!ok) {
    error = "maz-fetch: the options take numbers";
    return false;
  }
  oneEot_ = cmd.Has("--one-eot");
  std::string program;
  long n = 0;
  if (!SendTelegram("p4")) return false;
  for (;;) {
    std::string telegram;
    if (!ReadTelegram(telegram, n == 0 ? timeout : quiet, error)) {
      if (n == 0) {
        error = "maz-fetch: " + error;
        return false;
      }
      break;  // the station has no more lines
    }
    if (telegram == "p2") {
      program += "p2\r\n";
    } else {
      const std::string head = std::string("p00") + kStx;
      const size_t etx = telegram.find(kEtx);
      if (telegram.compare(0, head.size(), head) != 0 || etx == std::string::npos ||
          telegram.size() != etx + 3) {
        error = "maz-fetch: not a program line: " + StrToVisual(telegram);
        return false;
      }
      const std::string text = telegram.substr(head.size(), etx - head.size());
      const std::string check = telegram.substr(etx + 1);
      if (check != Check(text)) {
        error = "maz-fetch: line " + std::to_string(n + 1) + " has check " + check + ", not " +
                Check(text);
        return false;
      }
      program += text + check + "\r\n";
      ++n;
    }
    if (lines > 0 && n >= lines) break;
    if ((n == junkAfter || n == sectionEndAfter) && telegram != "p2" && n > 0) {
      if (!SendTelegram(n == junkAfter ? "pX" : "pD")) return false;
      if (!ExpectTelegram("p00", timeout, error)) {
        error = "maz-fetch: " + error;
        return false;
      }
    }
    if (!SendTelegram("p4")) return false;
  }
  std::ofstream(cmd.args[0], std::ios::binary | std::ios::trunc) << program;
  if (Options().verbose) std::cerr << "cncsim: fetched " << n << " lines\n";
  error.clear();
  return SendTelegram("pA");
}

bool MazatrolControl::Status(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 5000, ok));
  oneEot_ = cmd.Has("--one-eot");
  if (!SendTelegram(cmd.Opt("--text", "q1"))) return false;
  if (!ExpectTelegram("q08", timeout, error)) {
    error = "maz-status: " + error;
    return false;
  }
  return SendTelegram("pA");
}

bool MazatrolControl::Graphics(const SimCommand& cmd, std::string& error) {
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!in) {
    error = "maz-graphics: cannot read " + cmd.args[0];
    return false;
  }
  std::stringstream data;
  data << in.rdbuf();
  return WriteBytes(data.str());
}

}  // namespace zova::sim
