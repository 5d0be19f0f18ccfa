#include "files/convert/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace zova {

size_t StringSource::Read(char* buf, size_t n) {
  size_t take = std::min(n, data_.size() - pos_);
  if (maxChunk_ > 0) take = std::min(take, maxChunk_);
  if (take > 0) std::memcpy(buf, data_.data() + pos_, take);
  pos_ += take;
  return take;
}

size_t FileSource::Read(char* buf, size_t n) {
  return std::fread(buf, 1, n, f_);
}

bool FileSource::Rewind() {
  std::clearerr(f_);
  return std::fseek(f_, 0, SEEK_SET) == 0;
}

bool FileSink::Write(std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f_) == bytes.size();
}

}  // namespace zova
