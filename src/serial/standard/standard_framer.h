#pragma once
// The framing of a reception on the standard driver, without the line: which
// received characters belong to the program file and where the reception
// ends. A control sends its program between a start code and a stop code and
// may close the transmission with an end character (StoppTegn); a StoppFeil
// sequence anywhere marks the program as whole, too.
//
// Bytes are fed in the order they arrived, in runs of any size; a run is
// decided up to the end character and the rest of it is left to the caller
// (it is the next reception). Feeding a stream in one run or byte by byte
// gives the same decisions.

#include <cstddef>
#include <string>
#include <string_view>

#include "files/transfer/stop_matcher.h"

namespace zova {

struct StandardCodes {
  std::string startKode;  // only its first character is tested
  std::string stoppKode;  // likewise
  std::string stoppTegn;  // its first character ends the reception
  std::string stoppFeil;  // a sequence, matched wherever it stands
};

class StandardFramer {
 public:
  explicit StandardFramer(const StandardCodes& codes);

  struct Step {
    size_t used = 0;    // characters taken from the run, the end character included
    size_t stored = 0;  // the first characters of the run that go into the file
  };
  // Decides Run. Stops after the end character; Used is N otherwise. Nothing
  // is decided once the reception has ended.
  Step Feed(std::string_view run);

  bool Started() const { return started_; }
  bool StopSeen() const { return stopSeen_; }
  bool Ended() const { return ended_; }
  bool SequenceMatched() const { return matched_; }
  // Outside the program a single quiet read period ends the reception.
  bool QuietEnds() const { return stopSeen_ || !started_; }
  // The reception ended with its stop code, its StoppFeil sequence, or (with
  // no stop code configured) anything after the start code.
  bool Complete() const;
  // How many more characters of a longer end sequence the control sends
  // after its first; the driver reads and drops them.
  size_t EndSequenceRest() const { return ended_ && endLength_ > 1 ? endLength_ - 1 : 0; }

 private:
  int startCode_, stopCode_, endCode_;  // -1: none
  size_t endLength_;
  StopMatcher sequence_;
  bool started_, stopSeen_ = false, ended_ = false, matched_ = false;
};

}  // namespace zova
