#include "protocols/mazatrol/mazatrol_send_lines.h"

#include "protocols/mazatrol/mazatrol_framer.h"

namespace zova::mazatrol {

namespace {

constexpr size_t kMaxJoined = 255;

bool HasEtx(std::string_view line) {
  return line.find(kEtx) != std::string_view::npos;
}

}  // namespace

bool IsTapeMark(std::string_view line, bool tapeMark2) {
  if (line == kTapeMark || line == std::string_view(&kFormFeed, 1)) return true;
  return tapeMark2 && line.size() >= 5 && line[1] == '2';
}

std::string StoredForm(std::string_view line) {
  std::string s(line);
  for (char& ch : s) {
    if (ch == '\n') ch = kStoredLf;
    if (ch == '\r') ch = kStoredCr;
  }
  return s;
}

std::string LineForm(std::string_view stored) {
  std::string s(stored);
  for (char& ch : s) {
    if (ch == kStoredLf) ch = '\n';
    if (ch == kStoredCr) ch = '\r';
  }
  return s;
}

std::string WithCheckWhenShort(std::string_view line, int linjeLengde) {
  if (linjeLengde >= 3 && line.size() == static_cast<size_t>(linjeLengde - 2))
    return WithCheck(line);
  return std::string(line);
}

void SjekkFormatter::Emit(std::string line, std::vector<std::string>& out) const {
  std::string clean;
  for (char ch : line)
    if (ch < kStx || ch > kEot) clean += ch;
  out.push_back(WithCheckWhenShort(clean, linjeLengde_));
}

std::vector<std::string> SjekkFormatter::Feed(std::string_view line) {
  std::vector<std::string> out;
  if (line == std::string_view(&kFormFeed, 1)) return out;
  ++fileLine_;
  if (fileLine_ <= 2 && line.find_first_of(std::string{'(', kNak, kParagraph}) != line.npos)
    return out;
  const bool etx = HasEtx(line);
  if (!etxSeen_) {
    etxSeen_ = etx;
    Emit(std::string(line), out);
    return out;
  }
  if (joining_ && join_.size() + 1 + line.size() >= kMaxJoined) {
    Emit(std::move(join_), out);
    join_.clear();
    joining_ = false;
  }
  if (joining_) join_ += '\n';
  join_ += line;
  joining_ = true;
  if (etx) {
    Emit(std::move(join_), out);
    join_.clear();
    joining_ = false;
  }
  return out;
}

std::vector<std::string> SjekkFormatter::Finish() {
  std::vector<std::string> out;
  if (joining_) Emit(std::move(join_), out);
  join_.clear();
  joining_ = false;
  return out;
}

}  // namespace zova::mazatrol
