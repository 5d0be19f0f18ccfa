#pragma once
// The StoppFeil matcher: finds a stop sequence in a stream of received
// characters wherever it stands. A mismatch falls back to the longest part of
// the sequence that still matches (the breaking character is tested again),
// so "AB" is found in "AAB" and "AAB" in "AAAB".

#include <string>
#include <string_view>
#include <vector>

namespace zova {

class StopMatcher {
 public:
  void Reset(std::string_view sequence);
  // Starts over on the same sequence.
  void Restart() { matched_ = 0; }
  // True when Ch completes the sequence; the matcher then starts over.
  bool Match(char ch);
  bool Empty() const { return seq_.empty(); }
  const std::string& Sequence() const { return seq_; }

 private:
  std::string seq_;
  std::vector<size_t> fallback_;  // longest proper border of seq_[0..i]
  size_t matched_ = 0;
};

}  // namespace zova
