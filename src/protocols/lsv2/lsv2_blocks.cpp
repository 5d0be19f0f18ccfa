#include "protocols/lsv2/lsv2_blocks.h"

namespace zova::lsv2 {

BlockReader::Result BlockReader::Read(const NextLine& next) {
  Result r;
  r.block = std::move(pending_);
  pending_.clear();
  bool atEnd = false;
  std::string line;
  for (;;) {
    if (!next(line)) {
      atEnd = true;
      break;
    }
    line += lineEnd_;
    if (static_cast<long>(r.block.size() + line.size()) >= blockSize_) {
      pending_ = std::move(line);
      break;
    }
    r.block += line;
  }
  r.more = !(atEnd && pending_.empty());
  r.ok = !r.block.empty();
  return r;
}

}  // namespace zova::lsv2
