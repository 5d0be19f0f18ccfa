#pragma once
// Runs a program with its standard output read line by line, for the
// end-to-end tests of the station binary.

#include <sys/types.h>

#include <string>
#include <vector>

namespace zova::test {

class Process {
 public:
  Process(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
  ~Process();
  // Waits up to TimeoutMs for a line of standard output containing Text;
  // returns it, or "" on timeout or end of output.
  std::string WaitForLine(const std::string& text, int timeoutMs = 10000);
  const std::vector<std::string>& Lines() const { return lines_; }
  void Signal(int sig);
  // Exit code, or -1 when it did not end within TimeoutMs (it is then killed).
  int Wait(int timeoutMs = 10000);
  std::string Stderr();

 private:
  bool ReadSome(int timeoutMs);
  pid_t pid_ = -1;
  int out_ = -1;
  std::string errPath_;
  std::string partial_;
  std::vector<std::string> lines_;
  size_t scanned_ = 0;
};

}  // namespace zova::test
