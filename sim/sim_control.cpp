#include "sim_control.h"

#include <algorithm>
#include <chrono>
#include <iostream>

#include "core/visual.h"

namespace zova::sim {

bool SimControl::Parse(const std::string& text, int lineNo, SimCommand& cmd,
                       std::string& error) const {
  cmd = SimCommand{};
  cmd.line = lineNo;
  std::vector<std::string> words = SplitWords(text, error);
  if (!error.empty()) return false;
  if (words.empty()) return true;
  cmd.name = words[0];
  auto it = commands_.find(cmd.name);
  if (it == commands_.end()) {
    error = "unknown command '" + cmd.name + "'";
    return false;
  }
  return ParseWords(words, it->second.shape, cmd, error);
}

bool SimControl::Run(const SimCommand& cmd, std::string& error) {
  if (options_.verbose) std::cerr << "cncsim: " << cmd.name << "\n";
  if (cmd.name.empty()) return true;
  auto it = commands_.find(cmd.name);
  if (it == commands_.end()) {
    error = "unknown command '" + cmd.name + "'";
    return false;
  }
  if (it->second.needsLine && !line_.Open()) {
    error = cmd.name + ": the line was dropped";
    return false;
  }
  return it->second.run(cmd, error);
}

std::vector<std::string> SimControl::CommandNames() const {
  std::vector<std::string> names;
  for (const auto& [name, command] : commands_) names.push_back(name);
  return names;
}

void SimControl::AddCommand(Command command) {
  std::string name = command.name;
  commands_[name] = std::move(command);
}

SimControl::ReadStatus SimControl::Fill(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (received_.empty()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return ReadStatus::kTimeout;
    // SimLine::Read returns early when the station closes its end; the
    // loop keeps the caller's timeout.
    if (!line_.Read(received_, 4096, static_cast<int>(std::min<long>(left, 100))))
      return ReadStatus::kGone;
  }
  return ReadStatus::kData;
}

SimControl::ReadStatus SimControl::ReadByte(uint8_t& byte, int timeoutMs) {
  ReadStatus status = Fill(timeoutMs);
  if (status != ReadStatus::kData) return status;
  byte = static_cast<uint8_t>(received_[0]);
  received_.erase(0, 1);
  return status;
}

SimControl::ReadStatus SimControl::ReadSome(std::string& out, int timeoutMs) {
  ReadStatus status = Fill(timeoutMs);
  if (status != ReadStatus::kData) return status;
  out += received_;
  received_.clear();
  return status;
}

bool SimControl::ExpectByte(uint8_t want, int timeoutMs, std::string& error) {
  uint8_t got = 0;
  switch (ReadByte(got, timeoutMs)) {
    case ReadStatus::kData:
      if (got == want) return true;
      error = "expected " + CharToVisual(want) + ", got " + CharToVisual(got);
      return false;
    case ReadStatus::kTimeout:
      error = "expected " + CharToVisual(want) + ", nothing came";
      return false;
    case ReadStatus::kGone:
      break;
  }
  error = "expected " + CharToVisual(want) + ", the line was dropped";
  return false;
}

bool SimControl::WriteBytes(const std::string& bytes) {
  return line_.Send(bytes, false);
}

}  // namespace zova::sim
