#include "files/convert/line_io.h"

#include <cstring>

namespace zova {

namespace {
constexpr size_t kChunk = 64 * 1024;
}  // namespace

LineInput::LineInput(ByteSource& source) : source_(source), buf_(kChunk) {}

bool LineInput::Fill() {
  if (pos_ < end_) return true;
  if (atEnd_) return false;
  pos_ = 0;
  end_ = source_.Read(buf_.data(), buf_.size());
  if (end_ == 0) atEnd_ = true;
  return end_ > 0;
}

int LineInput::Get() {
  return Fill() ? static_cast<unsigned char>(buf_[pos_++]) : -1;
}

int LineInput::Peek() {
  return Fill() ? static_cast<unsigned char>(buf_[pos_]) : -1;
}

bool LineInput::Eof() {
  return !Fill();
}

void LineInput::ReadLine(std::string& s) {
  s.clear();
  while (Fill()) {
    const char* start = buf_.data() + pos_;
    size_t avail = end_ - pos_;
    size_t room = kMaxLineLength - s.size();
    size_t scan = avail < room ? avail : room;
    const void* lf = std::memchr(start, '\n', scan);
    const void* cr = std::memchr(start, '\r', lf ? static_cast<const char*>(lf) - start : scan);
    const char* stop = static_cast<const char*>(cr ? cr : lf);
    if (!stop) {
      s.append(start, scan);
      pos_ += scan;
      if (s.size() < kMaxLineLength) continue;
      // A line end right at the limit belongs to this piece, not to an empty line.
      int next = Peek();
      if (next == '\r' || next == '\n') ++pos_;
      if (next == '\r' && Peek() == '\n') ++pos_;
      return;
    }
    s.append(start, stop - start);
    pos_ += stop - start + 1;
    if (*stop == '\r' && Peek() == '\n') ++pos_;
    return;
  }
}

void LineInput::ReadLineTolerant(std::string& s) {
  s.clear();
  if (static_cast<unsigned char>(lookAhead_) >= 32) s.push_back(lookAhead_);
  bool ended = false;
  while (!ended && s.size() < kMaxLineLength && Fill()) {
    // Scan the buffer in place: this loop sees every byte of the program.
    const char* p = buf_.data() + pos_;
    const char* stop = buf_.data() + end_;
    for (; p < stop && s.size() < kMaxLineLength; ++p) {
      auto b = static_cast<unsigned char>(*p);
      if (b >= 32) {
        s.push_back(static_cast<char>(b));
      } else if ((b == '\r' || b == '\n') && !s.empty()) {
        ended = true;
        break;
      }
    }
    pos_ = static_cast<size_t>(p - buf_.data());
  }
  int b = Get();
  while (b == '\r' || b == '\n') b = Get();
  lookAhead_ = b < 0 ? '\r' : static_cast<char>(b);
}

bool LineInput::MoreTolerant() {
  return static_cast<unsigned char>(lookAhead_) >= 32 || !Eof();
}

bool LineInput::Rewind() {
  if (!source_.Rewind()) return false;
  pos_ = end_ = 0;
  atEnd_ = false;
  lookAhead_ = '\r';
  return true;
}

bool LineInput::CopyRest(ByteSink& sink) {
  while (Fill()) {
    if (!sink.Write(std::string_view(buf_.data() + pos_, end_ - pos_))) return false;
    pos_ = end_;
  }
  return !Failed();
}

LineOutput::LineOutput(ByteSink& sink) : sink_(sink) {
  buf_.reserve(kChunk);
}

LineOutput::~LineOutput() {
  Flush();
}

void LineOutput::Put(std::string_view s) {
  if (!ok_) return;
  if (buf_.size() + s.size() > kChunk) {
    Flush();
    if (!ok_) return;
    if (s.size() > kChunk) {
      ok_ = sink_.Write(s);
      return;
    }
  }
  buf_.append(s);
}

void LineOutput::Write(std::string_view s) {
  Put(s);
  Put("\r\n");
}

void LineOutput::PutNuls(size_t n) {
  Put(std::string(n, '\0'));
}

bool LineOutput::Flush() {
  if (ok_ && !buf_.empty()) ok_ = sink_.Write(buf_);
  buf_.clear();
  return ok_;
}

}  // namespace zova
