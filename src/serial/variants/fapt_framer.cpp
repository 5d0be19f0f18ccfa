#include "serial/variants/fapt_framer.h"

namespace zova {

namespace {

// The tests of the data look at 7 bits: the program system may send the
// eighth as parity.
char Seven(char ch) {
  return static_cast<char>(static_cast<unsigned char>(ch) & 0x7F);
}

bool NameChar(char ch) {
  return ch == '-' || ch == '/' || (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z');
}

}  // namespace

FaptFramer::FaptFramer(std::string_view marker, bool searchName)
    : searching_(searchName && !marker.empty()) {
  // The marker is matched with the longest part that still fits kept on a
  // mismatch: a marker whose beginning repeats ("MLL>MLL=" in "MLL>MLL>MLL=")
  // is found wherever it stands.
  marker_.Reset(marker);
}

size_t FaptFramer::Feed(std::string_view run, std::string& data) {
  size_t used = 0;
  while (used < run.size() && !Ended()) {
    const char ch = run[used++];
    if (inBlock_ < fapt::kBlockBytes) {
      data += ch;
      FeedData(ch);
      if (++inBlock_ == fapt::kBlockBytes) ++blocks_;
      continue;
    }
    if (ch == fapt::kStx) {
      inBlock_ = 0;
    } else if (ch == fapt::kBs) {
      // The data ended whole: a name that runs up to the end is all there.
      if (collecting_) EndName();
      end_ = FaptEnd::Complete;
    } else {
      badByte_ = ch;
      end_ = FaptEnd::BadSeparator;
    }
  }
  return used;
}

void FaptFramer::Quiet() {
  if (!Ended()) end_ = FaptEnd::Quiet;
}

void FaptFramer::FeedData(char raw) {
  const char ch = Seven(raw);
  if (collecting_) {
    if (!NameChar(ch)) {
      EndName();
    } else {
      if (ch != '/') name_ += ch;
      if (name_.size() >= fapt::kMaxNameLength) EndName();
    }
    return;
  }
  if (searching_ && marker_.Match(ch)) collecting_ = true;
}

void FaptFramer::EndName() {
  collecting_ = false;
  if (name_.empty()) {
    // Nothing a file could be called: the marker is looked for again.
    marker_.Restart();
    return;
  }
  nameFound_ = true;
  searching_ = false;
}

std::string FaptImageBuilder::Begin() {
  return {fapt::kDc2, fapt::kSoh};
}

void FaptImageBuilder::Add(std::string_view data, std::string& out) {
  for (char ch : data) {
    if (inBlock_ == fapt::kBlockBytes) {
      out += fapt::kStx;
      inBlock_ = 0;
    }
    out += ch;
    ++inBlock_;
    any_ = true;
  }
}

std::string FaptImageBuilder::Finish() const {
  const size_t pad = any_ ? fapt::kBlockBytes - inBlock_ : fapt::kBlockBytes;
  std::string out(pad, '\0');
  out += fapt::kBs;
  out.append(fapt::kBlockBytes, '\0');
  return out;
}

std::string FaptBlockImage(std::string_view data) {
  FaptImageBuilder b;
  std::string out = FaptImageBuilder::Begin();
  b.Add(data, out);
  out += b.Finish();
  return out;
}

}  // namespace zova
