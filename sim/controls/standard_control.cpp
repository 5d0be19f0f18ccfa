#include "controls/standard_control.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>

#include "core/visual.h"

namespace zova::sim {

namespace {

using Clock = std::chrono::steady_clock;

long Elapsed(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// How busy the station kept the line, for someone tuning a send.
std::string LineUseText(const SimLine::LineUse& u) {
  const double total = u.wireSeconds + u.idleSeconds;
  char text[160];
  std::snprintf(text, sizeof text,
                "capture: %zu bytes, line busy %.2f%% (wire %.3f s, idle %.3f s in %d gaps)",
                u.bytes, total > 0 ? 100.0 * u.wireSeconds / total : 0.0, u.wireSeconds,
                u.idleSeconds, u.gaps);
  return text;
}

std::string NoiseBytes(long count, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s;
  for (long i = 0; i < count; ++i) s += static_cast<char>(gen() & 0xFF);
  return s;
}

const CommandShape kSendShape{1, {"--start", "--stop", "--drop-after"}, {"--no-xoff"}};
const CommandShape kCaptureShape{
    1,
    {"--until", "--quiet", "--first", "--xoff-every", "--pause", "--drop-after", "--max"},
    {"--xon", "--paced"}};

}  // namespace

bool StandardControl::Codes(const SimCommand& cmd, const std::string& key, std::string& out,
                            std::string& error) {
  VisualDecoded d = DecodeVisual(cmd.Opt(key));
  if (d.error) {
    error = key + ": bad bracket notation";
    return false;
  }
  out = d.bytes;
  return true;
}

bool StandardControl::ReadWholeFile(const std::string& path, std::string& data,
                                    std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::ostringstream s;
  s << in.rdbuf();
  data = s.str();
  return true;
}

StandardControl::StandardControl(SimLine& line, const SimOptions& options)
    : SimControl(line, options) {
  AddCommand({"wait-open", {0, {"--timeout"}, {}}, false, Bind(&StandardControl::WaitOpen)});
  AddCommand({"wait", {1, {}, {}}, false, Bind(&StandardControl::Wait)});
  AddCommand({"echo", {1, {}, {}}, false, Bind(&StandardControl::Echo)});
  AddCommand({"drop", {0, {}, {}}, false, Bind(&StandardControl::Drop)});
  AddCommand({"xon", {0, {}, {}}, true, Bind(&StandardControl::Xon)});
  AddCommand({"xoff", {0, {}, {}}, true, Bind(&StandardControl::Xoff)});
  AddCommand({"noise", {1, {"--seed"}, {}}, true, Bind(&StandardControl::Noise)});
  AddCommand({"request", kSendShape, true, Bind(&StandardControl::Request)});
  AddCommand({"send", kSendShape, true, Bind(&StandardControl::SendFile)});
  AddCommand({"capture", kCaptureShape, true, Bind(&StandardControl::Capture)});
  AddCommand({"expect", {1, {"--timeout"}, {}}, true, Bind(&StandardControl::Expect)});
}

bool StandardControl::WaitOpen(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  long timeout = cmd.Num("--timeout", 10000, ok);
  auto start = Clock::now();
  while (Line().StationAbsent()) {
    if (Elapsed(start) > timeout) {
      error = "wait-open: the station did not open the line";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool StandardControl::Wait(const SimCommand& cmd, std::string&) {
  std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(cmd.args[0].c_str())));
  return true;
}

bool StandardControl::Echo(const SimCommand& cmd, std::string&) {
  std::cout << cmd.args[0] << std::endl;
  return true;
}

bool StandardControl::Drop(const SimCommand&, std::string&) {
  Line().Drop();
  return true;
}

bool StandardControl::Xon(const SimCommand&, std::string&) {
  return Line().Send("\x11", false);
}

bool StandardControl::Xoff(const SimCommand&, std::string&) {
  return Line().Send("\x13", false);
}

bool StandardControl::Noise(const SimCommand& cmd, std::string&) {
  bool ok = true;
  long seed = cmd.Num("--seed", 1, ok);
  return Line().Send(NoiseBytes(std::atol(cmd.args[0].c_str()), static_cast<unsigned>(seed)),
                     false);
}

bool StandardControl::Request(const SimCommand& cmd, std::string& error) {
  VisualDecoded d = DecodeVisual(cmd.args[0]);
  if (d.error) {
    error = "request: bad bracket notation";
    return false;
  }
  return Send(cmd, d.bytes, error);
}

bool StandardControl::SendFile(const SimCommand& cmd, std::string& error) {
  std::string data;
  return ReadWholeFile(cmd.args[0], data, error) && Send(cmd, data, error);
}

bool StandardControl::Send(const SimCommand& cmd, std::string data, std::string& error) {
  std::string start, stop;
  if (!Codes(cmd, "--start", start, error) || !Codes(cmd, "--stop", stop, error)) return false;
  bool ok = true;
  long dropAfter = cmd.Num("--drop-after", -1, ok);
  if (!ok) {
    error = "--drop-after needs a number";
    return false;
  }
  data = start + data + stop;
  if (!Line().Send(data, !cmd.Has("--no-xoff"), dropAfter)) {
    if (dropAfter >= 0) return true;  // the drop was the point
    error = "line gone during send";
    return false;
  }
  return true;
}

bool StandardControl::Capture(const SimCommand& cmd, std::string& error) {
  std::string until;
  if (!Codes(cmd, "--until", until, error)) return false;
  bool ok = true;
  long quiet = cmd.Num("--quiet", 2000, ok);
  long first = cmd.Num("--first", 10000, ok);
  long xoffEvery = cmd.Num("--xoff-every", 0, ok);
  long pause = cmd.Num("--pause", 100, ok);
  long dropAfter = cmd.Num("--drop-after", -1, ok);
  long max = cmd.Num("--max", 64L << 20, ok);
  if (!ok) {
    error = "capture: a number option is not a number";
    return false;
  }
  const bool paced = cmd.Has("--paced");
  if (paced && Line().CharsPerSecond() <= 0) {
    error = "capture --paced needs --baud";
    return false;
  }
  // Answering with XON is the control saying it is ready to take the program.
  if (cmd.Has("--xon")) Line().Send("\x11", false);
  std::string got;
  long sincePause = 0;
  bool done = false;
  while (!done && static_cast<long>(got.size()) < max) {
    size_t before = got.size();
    const int timeout = static_cast<int>(got.empty() ? first : quiet);
    if (!(paced ? Line().ReadPaced(got, 4096, timeout) : Line().Read(got, 4096, timeout))) break;
    if (got.size() == before) break;  // quiet time passed
    if (!until.empty()) {
      size_t from = before >= until.size() ? before - until.size() + 1 : 0;
      size_t at = got.find(until, from);
      if (at != std::string::npos) {
        got.resize(at + until.size());
        done = true;
      }
    }
    if (dropAfter >= 0 && static_cast<long>(got.size()) >= dropAfter) {
      Line().Drop();
      break;
    }
    sincePause += static_cast<long>(got.size() - before);
    if (xoffEvery > 0 && sincePause >= xoffEvery && !done) {
      Line().Send("\x13", false);
      std::this_thread::sleep_for(std::chrono::milliseconds(pause));
      Line().Send("\x11", false);
      sincePause = 0;
    }
  }
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(got.data(), static_cast<std::streamsize>(got.size()));
  if (!out) {
    error = "cannot write " + cmd.args[0];
    return false;
  }
  if (Options().verbose) std::cerr << "cncsim: captured " << got.size() << " bytes\n";
  if (paced) std::cout << LineUseText(Line().PacedUse()) << std::endl;
  if (got.empty()) {
    error = "capture: nothing received";
    return false;
  }
  return true;
}

bool StandardControl::Expect(const SimCommand& cmd, std::string& error) {
  VisualDecoded want = DecodeVisual(cmd.args[0]);
  bool ok = true;
  long timeout = cmd.Num("--timeout", 10000, ok);
  auto start = Clock::now();
  std::string& received = Received();
  while (received.find(want.bytes) == std::string::npos) {
    long left = timeout - Elapsed(start);
    if (left <= 0 || !Line().Read(received, 4096, static_cast<int>(std::min(left, 100L)))) {
      error = "expect: '" + cmd.args[0] + "' did not come";
      return false;
    }
  }
  received.erase(0, received.find(want.bytes) + want.bytes.size());
  return true;
}

}  // namespace zova::sim
