#pragma once
// Line-end normalisation of a stored program: every run of CR and LF becomes
// one CR LF, so empty lines disappear. Streaming: a run may span chunks.

#include <cstddef>
#include <string>

namespace zova {

class LineEndNormalizer {
 public:
  // Appends the normalised form of Data to Out.
  void Feed(const char* data, size_t n, std::string& out);
  void Reset() { inRun_ = false; }

 private:
  bool inRun_ = false;
};

}  // namespace zova
