#pragma once
// The framing of a reception from a Siemens control, without the line: what
// comes before the archive's first "%" or "@" (feed holes, noise) is
// dropped; from there every character but the end character is stored. The
// reception's head, from which the station names it, starts at the first
// "%" that is not followed by "S"; from then on the end character (the first
// of StoppTegn) ends the reception, before that it is only left out.
//
// Bytes are fed in the order they arrived, in runs of any size; feeding a
// stream in one run or byte by byte gives the same decisions, the same
// stored bytes and the same head. A run is decided up to the end of the
// reception; the rest of it is not this reception's.

#include <cstddef>
#include <string>
#include <string_view>

namespace zova {

enum class SiemensPhase {
  Dropping,  // before the first "%" or "@"
  InProgram,
  Ended,
};

class SiemensFramer {
 public:
  // StoppTegn: the end-of-transmission sequence; only its first character
  // counts, and an empty one never ends a reception.
  explicit SiemensFramer(std::string_view stoppTegn);

  // Decides Run, appending what goes into the file to Stored and what goes
  // into the head to Head. Returns the characters used; fewer than the run
  // only once the reception has ended.
  size_t Feed(std::string_view run, std::string& stored, std::string& head);
  // A read found the line quiet (or failed): the reception ends where it is.
  void Quiet();

  SiemensPhase Phase() const { return phase_; }
  bool Ended() const { return phase_ == SiemensPhase::Ended; }
  // The program's first character ("%" or "@") came.
  bool Started() const { return started_; }
  bool HeadStarted() const { return headStarted_; }
  // The line is read as a quiet one (a single read period ends it) while
  // waiting for the program and once its head has started.
  bool IdleReads() const { return !started_ || headStarted_; }
  // The reception ended with the end character, or its last character was a
  // line end or NUL (the control stopped after a whole line), or no end
  // character is configured.
  bool Complete() const { return complete_; }

 private:
  void FeedOne(char ch, std::string& stored, std::string& head);
  void InProgram(char ch, std::string& stored, std::string& head);
  bool IsEnd(char ch) const { return end_ >= 0 && static_cast<unsigned char>(ch) == end_; }

  int end_;  // first character of StoppTegn; -1: none
  SiemensPhase phase_ = SiemensPhase::Dropping;
  bool started_ = false, headStarted_ = false, percentPending_ = false;
  bool complete_ = false;
  bool anyChar_ = false;
  char last_ = 0;
};

}  // namespace zova
