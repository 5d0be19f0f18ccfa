#pragma once
// The data blocks of a program sent to the control: whole lines, each with
// its line end (CR LF), as many as keep the block shorter than BlockSize. A line that does
// not fit waits for the next block (PendingLine).

#include <functional>
#include <string>
#include <utility>

namespace zova::lsv2 {

class BlockReader {
 public:
  // LineEnd follows every line (the Heidenhain file transfer uses the
  // machine's Terminator).
  explicit BlockReader(int blockSize, std::string lineEnd = "\r\n")
      : blockSize_(blockSize), lineEnd_(std::move(lineEnd)) {}
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
  std::string lineEnd_;
  std::string pending_;
};

}  // namespace zova::lsv2
