#pragma once
// The line-wise reception of a control that sends its programs as plain
// text lines, one program after another, each recognised by the machine's
// start and stop codes: which lines belong to the program file, where a
// program ends, and which line begins the next one. Characters go in one at
// a time; nothing here reads the line.

#include <string>
#include <string_view>
#include <vector>

namespace zova {

struct LinjeCodes {
  std::string startKode;  // a line that contains it holds the program start
  std::string stoppKode;  // a later line that contains it ends the program
  std::string stoppFeil;  // so does one that contains this
  std::string stoppTegn;  // its first character ends the line and the transfer
};

class LinjeFramer {
 public:
  // A line cut at this length goes on as the next line.
  static constexpr size_t kMaxLine = 250;

  // Carried: the line that began this file at the end of the last one (it
  // holds the program start); empty for the first file.
  LinjeFramer(LinjeCodes codes, std::string carried);

  enum class Take {
    Used,      // the character belongs to this file
    GiveBack,  // it begins the next file: the driver pushes it back
  };
  Take Feed(char ch);
  // A read found nothing: the file ends here.
  void Quiet();

  // Lines to store, in order; the driver stores them and clears the list.
  std::vector<std::string>& Ready() { return ready_; }
  bool Ended() const { return ended_; }
  // Once the program's end has been met (or a line that may end it waits
  // for what follows) a single quiet read period ends the file; before, the
  // whole character timeout.
  bool QuietEnds() const { return endMet_ || held_; }
  bool StartMet() const { return startMet_; }
  bool StoppTegnSeen() const { return stoppTegnSeen_; }
  // The end was met, or (without a stop code) the program had begun.
  bool Complete() const { return endMet_ || (codes_.stoppKode.empty() && startMet_); }
  // The line that begins the next file; empty when none does.
  const std::string& CarryOver() const { return carry_; }

 private:
  void EndLine();
  void Decide(const std::string& line);
  bool Has(const std::string& line, const std::string& code) const {
    return !code.empty() && line.find(code) != std::string::npos;
  }

  LinjeCodes codes_;
  std::vector<std::string> ready_;
  std::string line_;
  std::string carry_;
  std::string heldLine_;
  bool held_ = false;
  bool startMet_ = false, endMet_ = false;
  bool ended_ = false, stoppTegnSeen_ = false;
};

}  // namespace zova
