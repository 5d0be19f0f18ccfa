#include "controls/heidenhain_control.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "core/visual.h"

namespace zova::sim {

namespace {

constexpr char kSoh = 0x01, kStx = 0x02, kEtx = 0x03, kEot = 0x04, kAck = 0x06, kCr = 0x0D,
               kLf = 0x0A, kXon = 0x11, kXoff = 0x13, kNak = 0x15, kEtb = 0x17, kEsc = 0x1B;
// A control repeats a refused block this often, as the station does.
constexpr int kTries = 5;
constexpr size_t kMaxBlock = 4096;

// The check runs over every byte from the leading STX or SOH to ETB.
uint8_t Check(std::string_view bytes) {
  uint8_t x = 0;
  for (char c : bytes) x = static_cast<uint8_t>(x ^ static_cast<uint8_t>(c));
  return x;
}

std::string MakeBlock(char lead, std::string text) {
  auto framed = [&] { return std::string(1, lead) + text + kEtb; };
  if (Check(framed()) < 32) {
    if (!text.empty() && text.back() == ' ')
      text.pop_back();
    else
      text.push_back(' ');
  }
  const std::string f = framed();
  return f + static_cast<char>(Check(f));
}

std::vector<std::string> FileLines(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::vector<std::string> lines;
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == kCr) l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& l : lines) out << l << "\r\n";
  return static_cast<bool>(out);
}

std::string TypeOf(const SimCommand& cmd) {
  const std::string t = cmd.Opt("--type", "H");
  return t.empty() ? "H" : t.substr(0, 1);
}

const CommandShape kSaveShape{
    1,
    {"--name", "--type", "--bad-check", "--bad-times", "--cut", "--answer-melding", "--timeout"},
    {"--no-end", "--melding"}};
const CommandShape kLoadShape{
    1, {"--name", "--type", "--nak", "--hold-after", "--hold", "--timeout"}, {"--missing"}};

}  // namespace

HeidenhainControl::HeidenhainControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"hh-save", kSaveShape, true, Bind(&HeidenhainControl::Save)});
  AddCommand({"hh-load", kLoadShape, true, Bind(&HeidenhainControl::Load)});
  AddCommand({"hh-load-all",
              {1, {"--type", "--first-blocks", "--timeout"}, {}},
              true,
              Bind(&HeidenhainControl::LoadAll)});
  AddCommand({"hh-command", {1, {"--timeout"}, {}}, true, Bind(&HeidenhainControl::Command)});
  AddCommand(
      {"hh-list", {1, {"--quiet", "--timeout"}, {"--zero"}}, true, Bind(&HeidenhainControl::List)});
  AddCommand({"hh-header", {1, {"--timeout"}, {}}, true, Bind(&HeidenhainControl::RawHeader)});
}

bool HeidenhainControl::AwaitAck(int timeoutMs, std::string& error) {
  // What is left of a block the station broke off is passed over.
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
      error = "no ACK within " + std::to_string(timeoutMs) + " ms";
      return false;
    }
    if (b == kAck) return true;
    if (b == kNak) {
      error = "NAK";
      return false;
    }
  }
}

bool HeidenhainControl::SendBlock(const std::string& block, int timeoutMs, int tries,
                                  std::string& error) {
  for (int t = 0; t < tries; ++t) {
    if (!WriteBytes(block)) {
      error = "the line was dropped";
      return false;
    }
    if (AwaitAck(timeoutMs, error)) return true;
    if (error != "NAK") return false;
  }
  error = "refused " + std::to_string(tries) + " times: " + StrToVisual(block);
  return false;
}

bool HeidenhainControl::ReadBlock(std::string& line, bool& end, bool& checkOk, int timeoutMs,
                                  std::string& error) {
  line.clear();
  end = false;
  checkOk = false;
  uint8_t b = 0;
  do {
    if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
      error = "no block within " + std::to_string(timeoutMs) + " ms";
      return false;
    }
  } while (b != kStx && b != kEtx);
  if (b == kEtx) {
    end = true;
    return true;
  }
  std::string framed(1, kStx);
  while (framed.size() < kMaxBlock) {
    if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
      error = "a block was cut: " + StrToVisual(framed);
      return false;
    }
    framed += static_cast<char>(b);
    if (b == kEtb) break;
  }
  if (ReadByte(b, timeoutMs) != ReadStatus::kData) {
    error = "no check after " + StrToVisual(framed);
    return false;
  }
  // A check below 32 is a wire fault too: it would read as a control code.
  checkOk = b == Check(framed) && b >= 32;
  line = framed.substr(1, framed.size() - 2);
  if (!line.empty() && line.back() == ' ') line.pop_back();
  return true;
}

bool HeidenhainControl::ReceiveProgram(std::vector<std::string>& lines, long nakAt, long holdAfter,
                                       int holdMs, long takeBlocks, int timeoutMs,
                                       std::string& error) {
  long count = 0;
  bool nakDone = false;
  for (;;) {
    std::string line;
    bool end = false, checkOk = false;
    if (!ReadBlock(line, end, checkOk, timeoutMs, error)) return false;
    if (end) return true;
    if (!checkOk) {
      error = "block " + std::to_string(count + 1) + " has a wrong check: " + StrToVisual(line);
      return false;
    }
    if (count + 1 == nakAt && !nakDone) {
      nakDone = true;
      WriteBytes(std::string(1, kNak));
      continue;
    }
    ++count;
    lines.push_back(line);
    if (count == takeBlocks) return true;
    if (count == holdAfter) {
      // The station must wait, whether it sees the XOFF or its line does.
      WriteBytes(std::string(1, kXoff));
      std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
      WriteBytes(std::string(1, kXon));
    }
    WriteBytes(std::string(1, kAck));
  }
}

bool HeidenhainControl::Save(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  const long badCheck = cmd.Num("--bad-check", 0, ok);
  const long badTimes = cmd.Num("--bad-times", 1, ok);
  const long cut = cmd.Num("--cut", -1, ok);
  bool read = true;
  const std::vector<std::string> lines = FileLines(cmd.args[0], read);
  if (!ok || !read || !cmd.Has("--name")) {
    error = "hh-save: needs a readable FILE, --name, and numbers for its options";
    return false;
  }
  if (!SendBlock(MakeBlock(kSoh, TypeOf(cmd) + cmd.Opt("--name") + "A"), timeout, kTries, error)) {
    error = "hh-save: header: " + error;
    return false;
  }
  long naks = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const long n = static_cast<long>(i) + 1;
    const std::string block = MakeBlock(kStx, lines[i]);
    if (n == cut + 1) {
      // Half a block, and then nothing: the station's wait must end it.
      WriteBytes(block.substr(0, block.size() / 2));
      std::cout << "hh-save: cut in block " << n << std::endl;
      return true;
    }
    for (long k = 0; n == badCheck && k < badTimes; ++k) {
      std::string bad = block;
      bad.back() = static_cast<char>(bad.back() ^ 0x40);
      WriteBytes(bad);
      if (!AwaitAck(timeout, error) && error == "NAK") {
        ++naks;
        continue;
      }
      error = "hh-save: a wrong check was not refused (" + error + ")";
      return false;
    }
    if (n == badCheck && badTimes >= kTries) {
      std::cout << "hh-save: gave up after " << naks << " NAK" << std::endl;
      return true;
    }
    if (!SendBlock(block, timeout, kTries, error)) {
      error = "hh-save: block " + std::to_string(n) + ": " + error;
      return false;
    }
  }
  if (!cmd.Has("--no-end")) WriteBytes(std::string{kEtx, kEot});
  if (cmd.Has("--melding")) {
    std::string line;
    bool end = false, checkOk = false;
    if (!ReadBlock(line, end, checkOk, timeout, error) || end || !checkOk) {
      error = "hh-save: no message block: " + error;
      return false;
    }
    std::cout << "melding: " << line << std::endl;
    std::string answer(1, kAck);
    if (cmd.Has("--answer-melding")) answer = DecodeVisual(cmd.Opt("--answer-melding")).bytes;
    WriteBytes(answer);
  }
  std::cout << "hh-save: " << lines.size() << " blocks, " << naks << " NAK" << std::endl;
  return true;
}

bool HeidenhainControl::Load(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  const long nakAt = cmd.Num("--nak", 0, ok);
  const long holdAfter = cmd.Num("--hold-after", 0, ok);
  const int hold = static_cast<int>(cmd.Num("--hold", 1000, ok));
  if (!ok || !cmd.Has("--name")) {
    error = "hh-load: needs --name, and numbers for its options";
    return false;
  }
  if (!SendBlock(MakeBlock(kSoh, TypeOf(cmd) + cmd.Opt("--name") + "E"), timeout, kTries, error)) {
    error = "hh-load: header: " + error;
    return false;
  }
  std::vector<std::string> lines;
  if (!ReceiveProgram(lines, nakAt, holdAfter, hold, -1, timeout, error)) {
    error = "hh-load: " + error;
    return false;
  }
  WriteBytes(std::string(1, kEot));
  if (cmd.Has("--missing") != lines.empty()) {
    error = "hh-load: " + std::to_string(lines.size()) + " lines came";
    return false;
  }
  if (!cmd.Has("--missing")) WriteLines(cmd.args[0], lines);
  std::cout << "hh-load: " << lines.size() << " lines" << std::endl;
  return true;
}

bool HeidenhainControl::LoadAll(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  const long firstBlocks = cmd.Num("--first-blocks", -1, ok);
  if (!ok) {
    error = "hh-load-all: --first-blocks and --timeout take numbers";
    return false;
  }
  // An empty name asks for every file; the same header asks for the next.
  const std::string next = MakeBlock(kSoh, TypeOf(cmd) + "E");
  if (!SendBlock(next, timeout, kTries, error)) {
    error = "hh-load-all: header: " + error;
    return false;
  }
  int files = 0;
  for (;;) {
    std::vector<std::string> lines;
    if (!ReceiveProgram(lines, 0, 0, 0, firstBlocks, timeout, error)) {
      error = "hh-load-all: file " + std::to_string(files + 1) + ": " + error;
      return false;
    }
    if (lines.empty()) break;
    ++files;
    WriteLines(cmd.args[0] + "/" + std::to_string(files) + ".txt", lines);
    if (!SendBlock(next, timeout, kTries, error)) {
      error = "hh-load-all: next header: " + error;
      return false;
    }
  }
  WriteBytes(std::string(1, kEot));
  std::cout << "hh-load-all: " << files << " files" << std::endl;
  return true;
}

bool HeidenhainControl::Command(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  const VisualDecoded text = DecodeVisual(cmd.args[0]);
  if (!ok || text.error) {
    error = "hh-command: bad TEXT or --timeout";
    return false;
  }
  WriteBytes(std::string(1, kEsc) + text.bytes + kCr + kLf);
  if (!ExpectByte(kEtx, timeout, error)) {
    error = "hh-command: " + error;
    return false;
  }
  return true;
}

bool HeidenhainControl::List(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  const int quiet = static_cast<int>(cmd.Num("--quiet", 1500, ok));
  if (!ok) {
    error = "hh-list: --quiet and --timeout take numbers";
    return false;
  }
  WriteBytes(std::string(1, kEsc) + (cmd.Has("--zero") ? "0" : "O") + " D" + kCr + kLf);
  std::string listing;
  if (ReadSome(listing, timeout) != ReadStatus::kData) {
    error = "hh-list: no listing came";
    return false;
  }
  while (ReadSome(listing, quiet) == ReadStatus::kData) {
  }
  std::ofstream(cmd.args[0], std::ios::binary | std::ios::trunc) << listing;
  return true;
}

bool HeidenhainControl::RawHeader(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  const VisualDecoded text = DecodeVisual(cmd.args[0]);
  if (!ok || text.error) {
    error = "hh-header: bad TEXT or --timeout";
    return false;
  }
  if (SendBlock(MakeBlock(kSoh, text.bytes), timeout, kTries, error)) return true;
  error = "hh-header: " + error;
  return false;
}

}  // namespace zova::sim
