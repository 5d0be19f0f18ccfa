#include "protocols/lsv2/lsv2_framer.h"

namespace zova::lsv2 {

uint8_t Bcc(std::string_view text, char end) {
  uint8_t bcc = static_cast<uint8_t>(end);
  for (char ch : text) bcc ^= static_cast<uint8_t>(ch);
  return bcc;
}

Frames EncodeFrame(std::string_view text, bool last) {
  Frames out;
  if (text.find_first_of(std::string_view("\x03\x17", 2)) != std::string_view::npos) {
    out.error = FrameError::kEndByteInText;
    return out;
  }
  const char end = last ? kEtx : kEtb;
  std::string frame;
  frame.reserve(text.size() + 5);
  frame += kDle;
  frame += kStx;
  frame += text;
  frame += kDle;
  frame += end;
  frame += static_cast<char>(Bcc(text, end));
  out.frames.push_back(std::move(frame));
  return out;
}

std::vector<std::string> SplitTelegram(std::string_view telegram, size_t maxText) {
  if (telegram.size() <= maxText || maxText <= kCodeLength) return {std::string(telegram)};
  std::vector<std::string> texts{std::string(telegram.substr(0, maxText))};
  const std::string_view code = telegram.substr(0, kCodeLength);
  for (size_t pos = maxText; pos < telegram.size(); pos += maxText - kCodeLength)
    texts.push_back(std::string(code) + std::string(telegram.substr(pos, maxText - kCodeLength)));
  return texts;
}

Frames EncodeTelegram(std::string_view telegram, size_t maxText) {
  Frames out;
  if (telegram.size() > maxText && maxText <= kCodeLength) {
    out.error = FrameError::kCannotSplit;
    return out;
  }
  const std::vector<std::string> texts = SplitTelegram(telegram, maxText);
  for (size_t i = 0; i < texts.size(); ++i) {
    Frames one = EncodeFrame(texts[i], i + 1 == texts.size());
    if (!one.Ok()) return one;
    out.frames.push_back(std::move(one.frames[0]));
  }
  return out;
}

bool BlockCollector::Take(char ch) {
  if (endSeen_) {
    bcc_ = static_cast<uint8_t>(ch);
    complete_ = true;
    return true;
  }
  if (raw_.empty() && ch != kDle) {
    garbage_ = true;
    return true;
  }
  raw_ += ch;
  if (ch == kEtx || ch == kEtb) {
    endSeen_ = true;
  } else if (raw_.size() >= kMaxBlock) {
    garbage_ = true;
    return true;
  }
  return false;
}

size_t BlockCollector::Feed(std::string_view run) {
  size_t used = 0;
  while (used < run.size() && !complete_ && !garbage_)
    if (Take(run[used++])) break;
  return used;
}

bool BlockCollector::Valid() const {
  const size_t n = raw_.size();
  return complete_ && n >= 4 && raw_[0] == kDle && raw_[1] == kStx && raw_[n - 2] == kDle &&
         bcc_ == ComputedBcc();
}

std::string BlockCollector::Text() const {
  return raw_.size() >= 4 ? raw_.substr(2, raw_.size() - 4) : std::string();
}

uint8_t BlockCollector::ComputedBcc() const {
  return raw_.empty() ? 0 : Bcc(Text(), raw_.back());
}

void AppendBlockText(std::string& telegram, std::string_view blockText, bool first) {
  if (first)
    telegram += blockText;
  else if (blockText.size() > kCodeLength)
    telegram += blockText.substr(kCodeLength);
}

}  // namespace zova::lsv2
