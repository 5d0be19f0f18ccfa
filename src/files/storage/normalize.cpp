#include "files/storage/normalize.h"

#include <cstring>

namespace zova {

void LineEndNormalizer::Feed(const char* data, size_t n, std::string& out) {
  out.reserve(out.size() + n + 2);
  size_t i = 0;
  while (i < n) {
    if (inRun_) {
      while (i < n && (data[i] == '\r' || data[i] == '\n')) ++i;
      if (i == n) return;
      inRun_ = false;
    }
    // Copy the stretch up to the next line-end character in one go.
    size_t j = i;
    while (j < n && data[j] != '\r' && data[j] != '\n') ++j;
    out.append(data + i, j - i);
    if (j < n) {
      out.append("\r\n", 2);
      inRun_ = true;
      ++j;
    }
    i = j;
  }
}

}  // namespace zova
