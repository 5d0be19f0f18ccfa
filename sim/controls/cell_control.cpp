#include "controls/cell_control.h"

#include <unistd.h>

#include <iostream>

#include "core/visual.h"

namespace zova::sim {

CellControl::CellControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"second-line", {1, {}, {}}, false, Bind(&CellControl::SecondLine)});
  AddCommand({"cell-line", {1, {}, {"--second", "--bare"}}, true, Bind(&CellControl::CellLine)});
}

bool CellControl::SecondLine(const SimCommand& cmd, std::string& error) {
  if (second_.Open()) {
    error = "second-line: the second line is open already";
    return false;
  }
  if (!second_.OpenPty(error)) return false;
  second_.SetPace(Options().baud, Options().bits);
  second_.SetLinger(Options().linger);
  const std::string& link = cmd.args[0];
  ::unlink(link.c_str());
  if (::symlink(second_.StationPath().c_str(), link.c_str()) != 0) {
    error = "second-line: cannot link " + link;
    return false;
  }
  std::cout << "second-line: " << second_.StationPath() << std::endl;
  return true;
}

bool CellControl::CellLine(const SimCommand& cmd, std::string& error) {
  VisualDecoded d = DecodeVisual(cmd.args[0]);
  if (d.error) {
    error = "cell-line: bad bracket notation";
    return false;
  }
  const std::string bytes = cmd.Has("--bare") ? d.bytes : "\x02" + d.bytes + "\r";
  if (cmd.Has("--second")) {
    if (!second_.Open()) {
      error = "cell-line: there is no second line (second-line LINK)";
      return false;
    }
    if (second_.Send(bytes, false)) return true;
  } else if (WriteBytes(bytes)) {
    return true;
  }
  error = "cell-line: the line was dropped";
  return false;
}

}  // namespace zova::sim
