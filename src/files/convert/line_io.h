#pragma once
// Line reading and writing of the conversions, over a ByteSource and a
// ByteSink. Reads past the end are not errors (they give an empty line, as a
// text file does); only a failing source or sink clears Ok.
//
// A line longer than kMaxLineLength is handed out in pieces of that length,
// each read as a line of its own: a file without line ends then costs a
// bounded buffer instead of its whole size. NC blocks are a few hundred
// characters at most, so a real program never meets the limit.

#include <string>
#include <string_view>
#include <vector>

#include "files/convert/byte_stream.h"

namespace zova {

inline constexpr size_t kMaxLineLength = size_t{2} << 20;

class LineInput {
 public:
  explicit LineInput(ByteSource& source);

  // True when no byte is left (refills the buffer to find out).
  bool Eof();
  // Plain reading: one line without its line end (LF, CR LF or CR).
  void ReadLine(std::string& s);
  // Tolerant reading: CR or LF ends a line, runs of line ends count as one,
  // bytes below 32 are dropped and empty lines are skipped. The first byte of
  // the next line is kept as look-ahead.
  void ReadLineTolerant(std::string& s);
  // More input for tolerant reading: a printable look-ahead is held, or bytes remain.
  bool MoreTolerant();
  // Starts again at the first byte of the source.
  bool Rewind();
  // Passes every remaining byte to Sink unchanged.
  bool CopyRest(ByteSink& sink);

  bool Failed() const { return source_.Failed(); }

 private:
  bool Fill();
  int Get();  // next byte, -1 at the end
  int Peek();

  ByteSource& source_;
  std::vector<char> buf_;
  size_t pos_ = 0, end_ = 0;
  bool atEnd_ = false;
  char lookAhead_ = '\r';
};

// Collects output in a buffer and passes it on in large pieces. Once a write
// has failed, Ok stays false and later writes do nothing.
class LineOutput {
 public:
  explicit LineOutput(ByteSink& sink);
  ~LineOutput();
  LineOutput(const LineOutput&) = delete;
  LineOutput& operator=(const LineOutput&) = delete;

  // Line writing: the text, then CR LF.
  void Write(std::string_view s);
  // Raw writing: the text exactly.
  void Put(std::string_view s);
  void PutNuls(size_t n);
  // Hands the buffer to the sink; false when any write failed.
  bool Flush();
  bool Ok() const { return ok_; }

 private:
  ByteSink& sink_;
  std::string buf_;
  bool ok_ = true;
};

}  // namespace zova
