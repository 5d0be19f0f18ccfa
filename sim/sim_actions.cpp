#include "sim_actions.h"

#include <chrono>
#include <cstdio>
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

bool Codes(const SimCommand& cmd, const std::string& key, std::string& out, std::string& error) {
  VisualDecoded d = DecodeVisual(cmd.Opt(key));
  if (d.error) {
    error = key + ": bad bracket notation";
    return false;
  }
  out = d.bytes;
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& data, std::string& error) {
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

bool DoSend(SimContext& ctx, const SimCommand& cmd, std::string data, std::string& error) {
  std::string start, stop;
  if (!Codes(cmd, "--start", start, error) || !Codes(cmd, "--stop", stop, error)) return false;
  bool ok = true;
  long dropAfter = cmd.Num("--drop-after", -1, ok);
  if (!ok) {
    error = "--drop-after needs a number";
    return false;
  }
  data = start + data + stop;
  if (!ctx.line.Send(data, !cmd.Has("--no-xoff"), dropAfter)) {
    if (dropAfter >= 0) return true;  // the drop was the point
    error = "line gone during send";
    return false;
  }
  return true;
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

bool DoCapture(SimContext& ctx, const SimCommand& cmd, std::string& error) {
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
  if (paced && ctx.line.CharsPerSecond() <= 0) {
    error = "capture --paced needs --baud";
    return false;
  }
  // Answering with XON is the control saying it is ready to take the program.
  if (cmd.Has("--xon")) ctx.line.Send("\x11", false);
  std::string got;
  long sincePause = 0;
  bool done = false;
  while (!done && static_cast<long>(got.size()) < max) {
    size_t before = got.size();
    const int timeout = static_cast<int>(got.empty() ? first : quiet);
    if (!(paced ? ctx.line.ReadPaced(got, 4096, timeout) : ctx.line.Read(got, 4096, timeout)))
      break;
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
      ctx.line.Drop();
      break;
    }
    sincePause += static_cast<long>(got.size() - before);
    if (xoffEvery > 0 && sincePause >= xoffEvery && !done) {
      ctx.line.Send("\x13", false);
      std::this_thread::sleep_for(std::chrono::milliseconds(pause));
      ctx.line.Send("\x11", false);
      sincePause = 0;
    }
  }
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(got.data(), static_cast<std::streamsize>(got.size()));
  if (!out) {
    error = "cannot write " + cmd.args[0];
    return false;
  }
  if (ctx.verbose) std::cerr << "cncsim: captured " << got.size() << " bytes\n";
  if (paced) std::cout << LineUseText(ctx.line.PacedUse()) << std::endl;
  if (got.empty()) {
    error = "capture: nothing received";
    return false;
  }
  return true;
}

bool DoExpect(SimContext& ctx, const SimCommand& cmd, std::string& error) {
  VisualDecoded want = DecodeVisual(cmd.args[0]);
  bool ok = true;
  long timeout = cmd.Num("--timeout", 10000, ok);
  auto start = Clock::now();
  while (ctx.received.find(want.bytes) == std::string::npos) {
    long left = timeout - Elapsed(start);
    if (left <= 0 || !ctx.line.Read(ctx.received, 4096, static_cast<int>(std::min(left, 100L)))) {
      error = "expect: '" + cmd.args[0] + "' did not come";
      return false;
    }
  }
  ctx.received.erase(0, ctx.received.find(want.bytes) + want.bytes.size());
  return true;
}

bool DoWaitOpen(SimContext& ctx, const SimCommand& cmd, std::string& error) {
  bool ok = true;
  long timeout = cmd.Num("--timeout", 10000, ok);
  auto start = Clock::now();
  while (ctx.line.StationAbsent()) {
    if (Elapsed(start) > timeout) {
      error = "wait-open: the station did not open the line";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string Noise(long count, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s;
  for (long i = 0; i < count; ++i) s += static_cast<char>(gen() & 0xFF);
  return s;
}

}  // namespace

bool RunCommand(SimContext& ctx, const SimCommand& cmd, std::string& error) {
  if (ctx.verbose) std::cerr << "cncsim: " << cmd.name << "\n";
  const std::string& n = cmd.name;
  if (n.empty()) return true;
  if (n == "echo") {
    std::cout << cmd.args[0] << std::endl;
    return true;
  }
  if (n == "wait") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(cmd.args[0].c_str())));
    return true;
  }
  if (n == "wait-open") return DoWaitOpen(ctx, cmd, error);
  if (n == "drop") {
    ctx.line.Drop();
    return true;
  }
  if (!ctx.line.Open()) {
    error = n + ": the line was dropped";
    return false;
  }
  if (n == "xon" || n == "xoff") return ctx.line.Send(n == "xon" ? "\x11" : "\x13", false);
  if (n == "capture") return DoCapture(ctx, cmd, error);
  if (n == "expect") return DoExpect(ctx, cmd, error);
  if (n == "noise") {
    bool ok = true;
    long seed = cmd.Num("--seed", 1, ok);
    return ctx.line.Send(Noise(std::atol(cmd.args[0].c_str()), static_cast<unsigned>(seed)), false);
  }
  std::string data;
  if (n == "request") {
    VisualDecoded d = DecodeVisual(cmd.args[0]);
    if (d.error) {
      error = "request: bad bracket notation";
      return false;
    }
    data = d.bytes;
  } else if (!ReadWholeFile(cmd.args[0], data, error)) {
    return false;
  }
  return DoSend(ctx, cmd, data, error);
}

}  // namespace zova::sim
