#include "protocols/presetter/presetter_lines.h"

namespace zova {

namespace {

// A presetter line is a few dozen characters; a line that never ends is
// noise, and it must not grow without bound.
constexpr size_t kMaxLine = 1024;

}  // namespace

bool PresetterLines::Feed(char ch) {
  if (ch == '\r' || ch == '\n') return Finish();
  if (ch == '\t') ch = ' ';
  const auto b = static_cast<unsigned char>(ch);
  if (b < 32 || b == 127) return false;
  if (line_.size() < kMaxLine) line_ += ch;
  return false;
}

bool PresetterLines::Finish() {
  if (line_.empty()) return false;
  done_.swap(line_);
  line_.clear();
  return true;
}

}  // namespace zova
