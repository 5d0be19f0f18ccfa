#pragma once
// The framing of a reception on a BTR line (a tape reader or punch), without
// the line: the program starts only after a start sequence, its start and
// stop codes are stored or left out, and after its stop code another program
// may follow at once in the same transmission.
//
// Bytes are fed in the order they arrived, in runs of any size; feeding a
// stream in one run or byte by byte gives the same decisions and the same
// stored bytes. A run is decided up to the end of this program's reception;
// the rest of it belongs to the next one.

#include <cstddef>
#include <string>
#include <string_view>

#include "files/transfer/stop_matcher.h"

namespace zova {

struct BtrCodes {
  std::string startKode;     // the whole start sequence; its first character starts it
  std::string startKode2;    // its first character also starts it
  std::string stoppKode;     // its first character ends the program
  std::string stoppTegn;     // its first character ends the transmission
  std::string stoppFeil;     // a sequence, matched wherever it stands in the program
  char terminator = '\n';    // a line end of the start sequence besides CR and LF
  bool lagreKoder = false;   // store the start and stop codes with the program
  bool parentheses = false;  // a stop code inside "(...)" is program text
};

enum class BtrPhase {
  WaitingForStart,  // text before the start sequence (not stored)
  InStartSequence,  // the start character came; line ends and the rest of the code
  InProgram,
  AfterStop,  // the stop code came; waiting for the next start or the end
  Ended,
};

class BtrFramer {
 public:
  // AlreadyStarted: the first start character was taken by the previous
  // reception (it ended there, another program follows).
  BtrFramer(const BtrCodes& codes, bool alreadyStarted);

  // Decides Run and appends what goes into the file to Stored. Returns the
  // characters used; fewer than the run only once the reception has ended
  // (the rest is the next reception's). Nothing is decided after the end.
  size_t Feed(std::string_view run, std::string& stored);
  // A read found the line quiet (or failed): the reception ends where it is.
  void Quiet();

  BtrPhase Phase() const { return phase_; }
  bool Ended() const { return phase_ == BtrPhase::Ended; }
  // The program's first character came.
  bool Started() const { return started_; }
  // A start character came but the control broke off before the program.
  bool BrokeOffInStart() const { return startSeen_ && !started_; }
  bool SequenceMatched() const { return matched_; }
  // Reads wait as for a quiet line once the program is over or whole.
  bool IdleReads() const { return phase_ == BtrPhase::AfterStop || matched_; }
  // The program ended with its stop code (or, with no stop code, with the
  // end character).
  bool Complete() const { return complete_; }
  // The reception ended at the first start character of another program.
  bool NextFollows() const { return nextFollows_; }

 private:
  void FeedOne(char ch, std::string& stored);
  void EndAt(bool complete);

  BtrCodes codes_;
  int start_, start2_, stop_, end_;  // first characters, -1: none
  StopMatcher sequence_;
  BtrPhase phase_;
  size_t startPos_ = 0;  // characters of the start code seen
  bool startSeen_, started_ = false, complete_ = false, matched_ = false;
  bool nextFollows_ = false, inComment_ = false;
};

}  // namespace zova
