#include "protocols/heidenhain/linje_framer.h"

#include <utility>

namespace zova {

LinjeFramer::LinjeFramer(LinjeCodes codes, std::string carried) : codes_(std::move(codes)) {
  if (carried.empty()) return;
  ready_.push_back(std::move(carried));
  startMet_ = true;
}

LinjeFramer::Take LinjeFramer::Feed(char ch) {
  if (ended_) return Take::GiveBack;
  if (!codes_.stoppTegn.empty() && ch == codes_.stoppTegn[0]) {
    stoppTegnSeen_ = true;
    EndLine();
    // The transmission is over: a line that would begin another program
    // has nothing after it and stays with this one.
    if (!carry_.empty()) ready_.push_back(std::move(carry_));
    carry_.clear();
    if (held_) ready_.push_back(std::move(heldLine_));
    held_ = false;
    if (startMet_) endMet_ = true;
    ended_ = true;
    return Take::Used;
  }
  if (held_) {
    // Line ends and padding do not decide; any other character says more
    // comes after the start line, which then began the next program.
    if (ch == '\r' || ch == '\n' || ch == '\0') return Take::Used;
    carry_ = std::move(heldLine_);
    held_ = false;
    ended_ = true;
    return Take::GiveBack;
  }
  if (ch == '\r' || ch == '\n') {
    EndLine();
    return Take::Used;
  }
  line_ += ch;
  if (line_.size() >= kMaxLine) EndLine();
  return Take::Used;
}

void LinjeFramer::Quiet() {
  if (held_) {
    // Nothing followed the start line: it was this program's closing code.
    ready_.push_back(std::move(heldLine_));
    held_ = false;
    endMet_ = true;
  }
  EndLine();
  ended_ = true;
}

void LinjeFramer::EndLine() {
  if (line_.empty()) return;
  std::string line = std::move(line_);
  line_.clear();
  Decide(line);
}

void LinjeFramer::Decide(const std::string& line) {
  const bool startLine = Has(line, codes_.startKode);
  // Judged by what came before this line: a closing code equal to the start
  // code ends its own program rather than beginning another.
  if (startLine && (endMet_ || (startMet_ && codes_.startKode != codes_.stoppKode))) {
    if (!endMet_ && codes_.stoppKode.empty()) {
      // Without a stop code a start code may also close the program ("%"
      // ... "%"); what follows it decides.
      held_ = true;
      heldLine_ = line;
      return;
    }
    carry_ = line;
    ended_ = true;
    return;
  }
  if (!startMet_) {
    startMet_ = codes_.startKode.empty() || startLine;
  } else if (Has(line, codes_.stoppKode) || Has(line, codes_.stoppFeil)) {
    endMet_ = true;
  }
  ready_.push_back(line);
}

}  // namespace zova
