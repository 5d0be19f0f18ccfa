#include "controls/echo_control.h"

#include <fstream>
#include <iostream>

#include "core/visual.h"

namespace zova::sim {

namespace {

// Another byte, still readable in a log.
uint8_t WrongEcho(uint8_t b) {
  return b == '?' ? '!' : '?';
}

bool EndsWithAfterOthers(const std::string& got, const std::string& codes) {
  return !codes.empty() && got.size() > codes.size() &&
         got.compare(got.size() - codes.size(), codes.size(), codes) == 0;
}

}  // namespace

EchoControl::EchoControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"echo-back", {0, {"--quiet"}, {}}, true, Bind(&EchoControl::EchoBack)});
  AddCommand({"echo-receive",
              {1, {"--ask", "--until", "--quiet", "--first", "--wrong-at", "--silent-at"}, {}},
              true,
              Bind(&EchoControl::ReceiveEchoing)});
  AddCommand({"echo-send",
              {1, {"--start", "--stop", "--timeout"}, {}},
              true,
              Bind(&EchoControl::SendEchoed)});
}

bool EchoControl::EchoBack(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const long quiet = cmd.Num("--quiet", 2000, ok);
  if (!ok || quiet < 0) {
    error = "echo-back: --quiet needs a number of milliseconds";
    return false;
  }
  long count = 0;
  for (;;) {
    std::string chunk;
    const ReadStatus status = ReadSome(chunk, static_cast<int>(quiet));
    if (status == ReadStatus::kTimeout) break;
    if (status == ReadStatus::kGone || !WriteBytes(chunk)) {
      error = "echo-back: the line was dropped";
      return false;
    }
    count += static_cast<long>(chunk.size());
  }
  echoed_ += count;
  if (Options().verbose)
    std::cerr << "cncsim: echoed " << count << " bytes (" << echoed_ << " in all)\n";
  if (count == 0) {
    error = "echo-back: nothing received";
    return false;
  }
  return true;
}

bool EchoControl::ReceiveEchoing(const SimCommand& cmd, std::string& error) {
  std::string ask, until;
  if (!Codes(cmd, "--ask", ask, error) || !Codes(cmd, "--until", until, error)) return false;
  bool ok = true;
  const long quiet = cmd.Num("--quiet", 2000, ok);
  const long first = cmd.Num("--first", 10000, ok);
  const long wrongAt = cmd.Num("--wrong-at", 0, ok);
  const long silentAt = cmd.Num("--silent-at", 0, ok);
  if (!ok) {
    error = "echo-receive: a number option is not a number";
    return false;
  }
  if (!ask.empty() && !WriteBytes(ask)) {
    error = "echo-receive: the line was dropped";
    return false;
  }
  std::string got;
  long came = 0;
  while (!EndsWithAfterOthers(got, until)) {
    uint8_t b = 0;
    const ReadStatus status = ReadByte(b, static_cast<int>(came == 0 ? first : quiet));
    if (status == ReadStatus::kTimeout) break;
    const bool lost = ++came == silentAt;
    if (status == ReadStatus::kGone ||
        (!lost &&
         !WriteBytes(std::string(1, static_cast<char>(came == wrongAt ? WrongEcho(b) : b))))) {
      error = "echo-receive: the line was dropped";
      return false;
    }
    if (!lost) got += static_cast<char>(b);
  }
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(got.data(), static_cast<std::streamsize>(got.size()));
  if (!out) {
    error = "cannot write " + cmd.args[0];
    return false;
  }
  echoed_ += static_cast<long>(got.size());
  std::cout << "echo-receive: " << came << " bytes came, " << got.size() << " kept" << std::endl;
  if (came == 0) {
    error = "echo-receive: nothing received";
    return false;
  }
  return true;
}

bool EchoControl::SendEchoed(const SimCommand& cmd, std::string& error) {
  std::string start, stop, data;
  if (!Codes(cmd, "--start", start, error) || !Codes(cmd, "--stop", stop, error) ||
      !ReadWholeFile(cmd.args[0], data, error))
    return false;
  bool ok = true;
  const int timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  if (!ok) {
    error = "echo-send: --timeout takes milliseconds";
    return false;
  }
  data = start + data + stop;
  for (size_t i = 0; i < data.size(); ++i) {
    const auto b = static_cast<uint8_t>(data[i]);
    uint8_t echo = 0;
    ReadStatus status = WriteBytes(data.substr(i, 1)) ? ReadByte(echo, timeout) : ReadStatus::kGone;
    const std::string which = "byte " + std::to_string(i + 1) + " (" + CharToVisual(b) + ")";
    if (status == ReadStatus::kGone) {
      error = "echo-send: the line was dropped";
      return false;
    }
    if (status == ReadStatus::kTimeout) {
      error = "echo-send: no echo for " + which;
      return false;
    }
    if (echo != b) {
      error = "echo-send: " + which + " came back as " + CharToVisual(echo);
      return false;
    }
  }
  std::cout << "echo-send: " << data.size() << " bytes echoed" << std::endl;
  return true;
}

}  // namespace zova::sim
