#include "files/transfer/stop_matcher.h"

namespace zova {

void StopMatcher::Reset(std::string_view sequence) {
  seq_.assign(sequence);
  matched_ = 0;
  fallback_.assign(seq_.size(), 0);
  size_t k = 0;
  for (size_t i = 1; i < seq_.size(); ++i) {
    while (k > 0 && seq_[i] != seq_[k]) k = fallback_[k - 1];
    if (seq_[i] == seq_[k]) ++k;
    fallback_[i] = k;
  }
}

bool StopMatcher::Match(char ch) {
  if (seq_.empty()) return false;
  while (matched_ > 0 && seq_[matched_] != ch) matched_ = fallback_[matched_ - 1];
  if (seq_[matched_] == ch) ++matched_;
  if (matched_ < seq_.size()) return false;
  matched_ = 0;
  return true;
}

}  // namespace zova
