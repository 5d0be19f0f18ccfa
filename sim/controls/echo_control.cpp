#include "controls/echo_control.h"

#include <iostream>

namespace zova::sim {

EchoControl::EchoControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"echo-back", {0, {"--quiet"}, {}}, true, Bind(&EchoControl::EchoBack)});
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

}  // namespace zova::sim
