#include "controls/box_control.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

namespace zova::sim {

namespace {

constexpr char kStx = 2, kEtx = 3, kEnq = 5;

using Clock = std::chrono::steady_clock;

}  // namespace

BoxControl::BoxControl(SimLine& line, const SimOptions& options) : StandardControl(line, options) {
  AddCommand({"box-serve", {1, {"--word"}, {}}, true, Bind(&BoxControl::Serve)});
  AddCommand({"box-set", {1, {"--serve"}, {}}, true, Bind(&BoxControl::Set)});
  AddCommand({"box-reset", {0, {"--serve"}, {}}, true, Bind(&BoxControl::Reset)});
  AddCommand({"box-silent", {1, {}, {}}, true, Bind(&BoxControl::Silent)});
  AddCommand({"wait-file", {1, {"--timeout"}, {}}, false, Bind(&BoxControl::WaitFile)});
}

bool BoxControl::Word(const std::string& text, std::string& error) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 16);
  if (text.empty() || *end || v > 0xFFFF) {
    error = "not a 16-bit hexadecimal word: " + text;
    return false;
  }
  word_ = static_cast<uint16_t>(v);
  return true;
}

bool BoxControl::Report(std::string& error) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04X", word_);
  if (WriteBytes(std::string(1, kStx) + digits + kEtx)) return true;
  error = "the line was dropped";
  return false;
}

bool BoxControl::ServeFor(long ms, std::string& error) {
  const auto until = Clock::now() + std::chrono::milliseconds(ms);
  long reports = 0;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) break;
    uint8_t b = 0;
    const ReadStatus status = ReadByte(b, static_cast<int>(left));
    if (status == ReadStatus::kTimeout) break;
    if (status == ReadStatus::kGone) {
      error = "the line was dropped";
      return false;
    }
    if (inMask_) {
      if (b == kEtx) {
        inMask_ = false;
        std::cout << "box: mask " << mask_ << std::endl;
      } else {
        mask_ += static_cast<char>(b);
      }
    } else if (b == kStx) {
      inMask_ = true;
      mask_.clear();
    } else if (b == kEnq) {
      if (!Report(error)) return false;
      ++reports;
    }
  }
  std::cout << "box-serve: " << reports << " reports" << std::endl;
  return true;
}

bool BoxControl::Serve(const SimCommand& cmd, std::string& error) {
  if (cmd.Has("--word") && !Word(cmd.Opt("--word"), error)) return false;
  return ServeFor(std::atol(cmd.args[0].c_str()), error);
}

bool BoxControl::Set(const SimCommand& cmd, std::string& error) {
  return Word(cmd.args[0], error) && Report(error) &&
         ServeFor(std::atol(cmd.Opt("--serve", "0").c_str()), error);
}

bool BoxControl::Reset(const SimCommand& cmd, std::string& error) {
  inMask_ = false;
  if (!WriteBytes(std::string(1, kEnq))) {
    error = "the line was dropped";
    return false;
  }
  return ServeFor(std::atol(cmd.Opt("--serve", "0").c_str()), error);
}

bool BoxControl::Silent(const SimCommand& cmd, std::string& error) {
  const auto until = Clock::now() + std::chrono::milliseconds(std::atol(cmd.args[0].c_str()));
  long enq = 0;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) break;
    uint8_t b = 0;
    const ReadStatus status = ReadByte(b, static_cast<int>(left));
    if (status == ReadStatus::kTimeout) break;
    if (status == ReadStatus::kGone) {
      error = "the line was dropped";
      return false;
    }
    if (b == kEnq) ++enq;
  }
  std::cout << "box-silent: " << enq << " ENQ" << std::endl;
  return true;
}

bool BoxControl::WaitFile(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long timeout = cmd.Num("--timeout", 10000, ok);
  const auto until = Clock::now() + std::chrono::milliseconds(timeout);
  while (::access(cmd.args[0].c_str(), F_OK) != 0) {
    if (!ok || Clock::now() > until) {
      error = "wait-file: no " + cmd.args[0];
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace zova::sim
