#pragma once
// The data blocks of a program sent to the control: whole lines, each with
// CR LF, as many as keep the block shorter than BlockSize. A line that does
// not fit waits for the next block (PendingLine).

#include <functional>
#include <string>

namespace zova::lsv2 {

class BlockReader {
 public:
  explicit BlockReader(int blockSize) : blockSize_(blockSize) {}
  // The next file line without its line end; false at the end of the file.
  using NextLine = std::function<bool(std::string& line)>;
  struct Result {
    bool ok = false;    // false for an empty block: nothing to send
    bool more = false;  // false only at the end of the file with nothing pending
    std::string block;
  };
  // ReadBlock. A first line of BlockSize characters or more (with its
  // CR LF) fails; met later, such a line goes alone in a block of its own.
  Result Read(const NextLine& next);
  const std::string& PendingLine() const { return pending_; }
  // A new send: PendingLine emptied.
  void Reset() { pending_.clear(); }

 private:
  int blockSize_;
  std::string pending_;
};

}  // namespace zova::lsv2
