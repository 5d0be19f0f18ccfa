#include "protocols/t3964r/r3964_framer.h"

namespace zova::r3964 {

std::string Telegram(std::string_view payload) {
  std::string t(payload);
  t += kDle;
  t += kEtx;
  return t;
}

bool HasEndMark(std::string_view telegram) {
  return telegram.size() >= 2 && telegram[telegram.size() - 2] == kDle && telegram.back() == kEtx;
}

std::string DoubleDle(std::string_view telegram) {
  const size_t body = telegram.size() >= 2 ? telegram.size() - 2 : 0;
  std::string out;
  out.reserve(telegram.size() + 8);
  for (size_t i = 0; i < telegram.size(); ++i) {
    out += telegram[i];
    if (i < body && telegram[i] == kDle) out += kDle;
  }
  return out;
}

std::string UndoubleDle(std::string_view block) {
  std::string out;
  out.reserve(block.size());
  for (size_t i = 0; i < block.size(); ++i) {
    out += block[i];
    if (block[i] == kDle && i + 1 < block.size() && block[i + 1] == kDle) ++i;
  }
  return out;
}

uint8_t BlockCheck(std::string_view doubled) {
  uint8_t bcc = 0;
  for (char ch : doubled) bcc ^= static_cast<uint8_t>(ch);
  return bcc;
}

Block BuildBlock(std::string_view telegram) {
  Block block;
  if (!HasEndMark(telegram)) {
    block.error = BlockError::kNoEndMark;
    return block;
  }
  std::string doubled = DoubleDle(telegram);
  if (doubled.size() + 1 > kMaxBlock) {
    block.error = BlockError::kTooLong;
    return block;
  }
  doubled += static_cast<char>(BlockCheck(doubled));
  block.bytes = std::move(doubled);
  return block;
}

void BlockCollector::Take(char ch) {
  if (endMark_) {
    if (overlong_)
      end_ = BlockEnd::kTooLong;
    else
      end_ = static_cast<uint8_t>(ch) == bcc_ ? BlockEnd::kAccepted : BlockEnd::kBadBcc;
    return;
  }
  ++length_;
  // The BCC still has to fit behind this byte.
  if (length_ + 1 > kMaxBlock) overlong_ = true;
  if (length_ > kMaxSkipped) {
    end_ = BlockEnd::kTooLong;
    return;
  }
  if (!overlong_) {
    raw_ += ch;
    bcc_ ^= static_cast<uint8_t>(ch);
  }
  if (ch == kDle) {
    oddDle_ = !oddDle_;
    return;
  }
  endMark_ = ch == kEtx && oddDle_;
  oddDle_ = false;
}

size_t BlockCollector::Feed(std::string_view run) {
  size_t used = 0;
  while (used < run.size() && end_ == BlockEnd::kOpen) Take(run[used++]);
  return used;
}

void BlockCollector::TimedOut() {
  if (end_ == BlockEnd::kOpen) end_ = BlockEnd::kTimedOut;
}

std::string BlockCollector::Telegram() const {
  return end_ == BlockEnd::kAccepted ? UndoubleDle(raw_) : std::string();
}

}  // namespace zova::r3964
