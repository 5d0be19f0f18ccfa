#pragma once
// Byte sources and sinks of the conversions. A conversion never holds more
// than a buffer and one line, so a source is read in chunks and a sink takes
// pieces as they are made.

#include <cstdio>
#include <string>
#include <string_view>

namespace zova {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to N bytes into Buf; 0 at the end of the data or on a read error.
  virtual size_t Read(char* buf, size_t n) = 0;
  // True once a read has failed (as opposed to reaching the end).
  virtual bool Failed() const = 0;
  // Starts again at the first byte; false when the source cannot.
  virtual bool Rewind() = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not all be written.
  virtual bool Write(std::string_view bytes) = 0;
};

// Serves a string that outlives it. MaxChunk limits each read, so tests can
// make every refill boundary fall inside a line end.
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string_view data, size_t maxChunk = 0)
      : data_(data), maxChunk_(maxChunk) {}
  size_t Read(char* buf, size_t n) override;
  bool Failed() const override { return false; }
  bool Rewind() override {
    pos_ = 0;
    return true;
  }

 private:
  std::string_view data_;
  size_t maxChunk_;
  size_t pos_ = 0;
};

// Reads an open stdio stream it does not own.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* f) : f_(f) {}
  size_t Read(char* buf, size_t n) override;
  bool Failed() const override { return std::ferror(f_) != 0; }
  bool Rewind() override;

 private:
  std::FILE* f_;
};

class StringSink : public ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Writes to an open stdio stream it does not own.
class FileSink : public ByteSink {
 public:
  explicit FileSink(std::FILE* f) : f_(f) {}
  bool Write(std::string_view bytes) override;

 private:
  std::FILE* f_;
};

}  // namespace zova
