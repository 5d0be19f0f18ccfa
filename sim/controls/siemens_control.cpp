#include "controls/siemens_control.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "core/visual.h"

namespace zova::sim {

namespace {

using Clock = std::chrono::steady_clock;

bool Bracketed(const SimCommand& cmd, const std::string& key, std::string& out,
               std::string& error) {
  const VisualDecoded d = DecodeVisual(cmd.Opt(key));
  if (d.error) {
    error = cmd.name + ": " + key + ": bad bracket notation";
    return false;
  }
  out = d.bytes;
  return true;
}

bool WriteTimes(const std::string& path, const std::vector<double>& times) {
  std::ofstream out(path, std::ios::trunc);
  char line[32];
  for (double ms : times) {
    std::snprintf(line, sizeof line, "%.3f\n", ms);
    out << line;
  }
  return static_cast<bool>(out);
}

}  // namespace

SiemensControl::SiemensControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"siemens-receive",
              {1, {"--times", "--until", "--first", "--quiet"}, {}},
              true,
              Bind(&SiemensControl::Receive)});
  AddCommand({"siemens-send", {1, {"--leader", "--end"}, {}}, true, Bind(&SiemensControl::Send)});
}

bool SiemensControl::Receive(const SimCommand& cmd, std::string& error) {
  std::string until;
  if (!Bracketed(cmd, "--until", until, error)) return false;
  bool ok = true;
  const long first = cmd.Num("--first", 10000, ok);
  const long quiet = cmd.Num("--quiet", 2000, ok);
  if (!ok || first < 0 || quiet < 0) {
    error = "siemens-receive: --first and --quiet take milliseconds";
    return false;
  }
  std::string got;
  std::vector<double> times;
  Clock::time_point start;
  bool ended = false;
  while (!ended) {
    std::string chunk;
    const ReadStatus status = ReadSome(chunk, static_cast<int>(got.empty() ? first : quiet));
    if (status == ReadStatus::kGone) {
      error = "siemens-receive: the line was dropped";
      return false;
    }
    if (status == ReadStatus::kTimeout) break;
    const Clock::time_point now = Clock::now();
    if (got.empty()) start = now;
    const double ms = std::chrono::duration<double, std::milli>(now - start).count();
    for (char ch : chunk) {
      got += ch;
      times.push_back(ms);
      if (!until.empty() && got.size() >= until.size() &&
          got.compare(got.size() - until.size(), until.size(), until) == 0) {
        ended = true;
        break;
      }
    }
  }
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(got.data(), static_cast<std::streamsize>(got.size()));
  if (!out || (cmd.Has("--times") && !WriteTimes(cmd.Opt("--times"), times))) {
    error = "siemens-receive: cannot write " + cmd.args[0];
    return false;
  }
  if (Options().verbose) std::cerr << "cncsim: received " << got.size() << " bytes\n";
  if (got.empty()) {
    error = "siemens-receive: nothing received";
    return false;
  }
  return true;
}

bool SiemensControl::Send(const SimCommand& cmd, std::string& error) {
  std::string end;
  if (!Bracketed(cmd, "--end", end, error)) return false;
  bool ok = true;
  const long leader = cmd.Num("--leader", 0, ok);
  if (!ok || leader < 0) {
    error = "siemens-send: --leader takes a count";
    return false;
  }
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!in) {
    error = "siemens-send: cannot read " + cmd.args[0];
    return false;
  }
  std::ostringstream body;
  body << in.rdbuf();
  const std::string archive = body.str();
  if (archive.empty() || (archive[0] != '%' && archive[0] != '@')) {
    error = "siemens-send: an archive starts with % or @";
    return false;
  }
  if (!WriteBytes(std::string(static_cast<size_t>(leader), '\0') + archive + end)) {
    error = "siemens-send: the line was dropped";
    return false;
  }
  return true;
}

}  // namespace zova::sim
