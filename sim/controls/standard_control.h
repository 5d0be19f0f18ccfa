#pragma once
// The standard control: a control that punches and reads programs as plain
// text with start and stop codes, asks for programs with a request text and
// follows XON/XOFF. Its commands are the ones docs/cncsim.md lists; other
// controls derive from it to keep them.

#include "sim_control.h"

namespace zova::sim {

class StandardControl : public SimControl {
 public:
  StandardControl(SimLine& line, const SimOptions& options);

 protected:
  // The bytes option Key names in the bracket notation (none when absent);
  // false with Error set when it does not parse.
  static bool Codes(const SimCommand& cmd, const std::string& key, std::string& out,
                    std::string& error);
  static bool ReadWholeFile(const std::string& path, std::string& data, std::string& error);

 private:
  bool WaitOpen(const SimCommand& cmd, std::string& error);
  bool Wait(const SimCommand& cmd, std::string& error);
  bool Echo(const SimCommand& cmd, std::string& error);
  bool Drop(const SimCommand& cmd, std::string& error);
  bool Xon(const SimCommand& cmd, std::string& error);
  bool Xoff(const SimCommand& cmd, std::string& error);
  bool Noise(const SimCommand& cmd, std::string& error);
  bool Request(const SimCommand& cmd, std::string& error);
  bool SendFile(const SimCommand& cmd, std::string& error);
  bool Capture(const SimCommand& cmd, std::string& error);
  bool Expect(const SimCommand& cmd, std::string& error);

  bool Send(const SimCommand& cmd, std::string data, std::string& error);
};

}  // namespace zova::sim
