#include "controls/okuma_control.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

#include "core/visual.h"

namespace zova::sim {

namespace {

using Clock = std::chrono::steady_clock;

// Once the header has begun its bytes follow one another at once.
constexpr long kHeaderByteMs = 5000;

long MsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

OkumaControl::OkumaControl(SimLine& line, const SimOptions& options) : BtrControl(line, options) {
  AddCommand({"okuma-receive",
              {1, {"--name", "--padding", "--timeout", "--until", "--quiet"}, {}},
              true,
              Bind(&OkumaControl::Receive)});
  AddCommand({"okuma-print", {1, {}, {"--no-ff"}}, true, Bind(&OkumaControl::Print)});
}

std::string OkumaControl::Header(const std::string& name, const std::string& padding) {
  const std::string nuls(3, '\0');
  if (padding == "blanks") return "$" + name + "    ";
  if (padding == "nuls") return "$" + name + nuls;
  if (padding == "leader") return nuls + "$" + name;
  return {};
}

bool OkumaControl::TakeHeader(const std::string& want, long timeout, std::string& error) {
  std::string got;
  const auto start = Clock::now();
  while (got.size() < want.size()) {
    const long left = got.empty() ? timeout - MsSince(start) : std::min(timeout, kHeaderByteMs);
    uint8_t b = 0;
    const ReadStatus status = left > 0 ? ReadByte(b, static_cast<int>(left)) : ReadStatus::kTimeout;
    if (status == ReadStatus::kGone) {
      error = "okuma-receive: the line was dropped";
      return false;
    }
    if (status == ReadStatus::kTimeout) break;
    got += static_cast<char>(b);
  }
  if (got == want) return true;
  error = got.empty() ? "okuma-receive: no header came"
                      : "okuma-receive: header '" + StrToVisual(got) + "' instead of '" +
                            StrToVisual(want) + "'";
  return false;
}

bool OkumaControl::TakeProgram(const std::string& until, long quiet, std::string& program) {
  for (;;) {
    std::string chunk;
    const ReadStatus status = ReadSome(chunk, static_cast<int>(quiet));
    if (status == ReadStatus::kGone) return false;
    if (status == ReadStatus::kTimeout) return true;
    const size_t from = program.size() >= until.size() ? program.size() - until.size() + 1 : 0;
    program += chunk;
    if (until.empty()) continue;
    const size_t at = program.find(until, from);
    if (at == std::string::npos) continue;
    // What came after the end is the control's next business.
    Received().insert(0, program.substr(at + until.size()));
    program.resize(at + until.size());
    return true;
  }
}

bool OkumaControl::Receive(const SimCommand& cmd, std::string& error) {
  const std::string want = Header(cmd.Opt("--name"), cmd.Opt("--padding", "blanks"));
  if (!cmd.Has("--name") || want.empty()) {
    error = "okuma-receive: needs --name and a --padding of blanks, nuls or leader";
    return false;
  }
  const VisualDecoded until = DecodeVisual(cmd.Opt("--until"));
  bool ok = true;
  const long timeout = cmd.Num("--timeout", 10000, ok);
  const long quiet = cmd.Num("--quiet", 2000, ok);
  if (!ok || until.error) {
    error = "okuma-receive: bad --timeout, --quiet or --until";
    return false;
  }
  if (!TakeHeader(want, timeout, error)) return false;
  std::string program;
  if (!TakeProgram(until.bytes, quiet, program)) {
    error = "okuma-receive: the line was dropped";
    return false;
  }
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(program.data(), static_cast<std::streamsize>(program.size()));
  if (!out) {
    error = "okuma-receive: cannot write " + cmd.args[0];
    return false;
  }
  if (Options().verbose)
    std::cerr << "cncsim: header " << StrToVisual(want) << ", " << program.size() << " bytes\n";
  if (program.empty()) {
    error = "okuma-receive: no program followed the header";
    return false;
  }
  return true;
}

bool OkumaControl::Print(const SimCommand& cmd, std::string& error) {
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!in) {
    error = "okuma-print: cannot read " + cmd.args[0];
    return false;
  }
  std::ostringstream body;
  body << in.rdbuf();
  std::string print = "\x1B@" + body.str();
  if (!cmd.Has("--no-ff")) print += '\f';
  if (!WriteBytes(print)) {
    error = "okuma-print: the line was dropped";
    return false;
  }
  return true;
}

}  // namespace zova::sim
