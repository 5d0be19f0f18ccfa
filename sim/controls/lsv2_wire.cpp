#include "controls/lsv2_wire.h"

namespace zova::sim::lsv2wire {

uint8_t Bcc(const std::string& text, char end) {
  uint8_t bcc = 0;
  for (char ch : text) bcc = static_cast<uint8_t>(bcc ^ static_cast<uint8_t>(ch));
  return static_cast<uint8_t>(bcc ^ static_cast<uint8_t>(end));
}

std::string Frame(const std::string& text, bool last, bool corrupt) {
  const char end = last ? kEtx : kEtb;
  uint8_t bcc = Bcc(text, end);
  if (corrupt) bcc = static_cast<uint8_t>(bcc ^ 0x5A);
  return std::string{kDle, kStx} + text + std::string{kDle, end, static_cast<char>(bcc)};
}

std::vector<std::string> BlockTexts(const std::string& telegram, size_t maxText) {
  std::vector<std::string> out;
  if (telegram.size() <= maxText || maxText <= 4) return {telegram};
  out.push_back(telegram.substr(0, maxText));
  for (size_t at = maxText; at < telegram.size(); at += maxText - 4)
    out.push_back(telegram.substr(0, 4) + telegram.substr(at, maxText - 4));
  return out;
}

std::vector<std::string> ProgramBlocks(const std::string& program, size_t maxData) {
  std::vector<std::string> blocks;
  std::string block;
  size_t start = 0;
  while (start < program.size()) {
    size_t nl = program.find('\n', start);
    if (nl == std::string::npos) nl = program.size();
    std::string line = program.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line += "\r\n";
    start = nl + 1;
    if (!block.empty() && block.size() + line.size() >= maxData) {
      blocks.push_back(block);
      block.clear();
    }
    block += line;
  }
  if (!block.empty()) blocks.push_back(block);
  return blocks;
}

ParsedBlock ParseBlock(const std::string& bytes) {
  ParsedBlock p;
  const size_t n = bytes.size();
  if (n < 5 || bytes[0] != kDle || bytes[1] != kStx || bytes[n - 3] != kDle) return p;
  const char end = bytes[n - 2];
  if (end != kEtx && end != kEtb) return p;
  p.text = bytes.substr(2, n - 5);
  p.last = end == kEtx;
  p.valid = static_cast<uint8_t>(bytes[n - 1]) == Bcc(p.text, end);
  return p;
}

}  // namespace zova::sim::lsv2wire
