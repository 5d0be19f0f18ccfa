#pragma once
// The control's side of the LSV2 framing, written from the control's wire
// description: DLE STX, text, DLE ETX (DLE ETB when another block of the
// telegram follows), and the exclusive OR of the text and the ETX or ETB.
// The station's framer is deliberately not used: two ends built from one
// piece of code agree even where both are wrong.

#include <cstdint>
#include <string>
#include <vector>

namespace zova::sim::lsv2wire {

constexpr char kStx = 0x02, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kDle = 0x10, kNak = 0x15,
               kEtb = 0x17;

uint8_t Bcc(const std::string& text, char end);
// One block; Corrupt gives it a wrong block check.
std::string Frame(const std::string& text, bool last, bool corrupt = false);
// The texts of a telegram sent as blocks of at most MaxText characters:
// every block after the first repeats the telegram's first four.
std::vector<std::string> BlockTexts(const std::string& telegram, size_t maxText);
// A program as the control sends it: blocks of whole lines, each line
// closed with CR LF, every block's data shorter than MaxData.
std::vector<std::string> ProgramBlocks(const std::string& program, size_t maxData);

// A received block: the bytes from its DLE STX through its ETX or ETB and
// its BCC, checked.
struct ParsedBlock {
  bool valid = false;
  bool last = false;
  std::string text;
};
ParsedBlock ParseBlock(const std::string& bytes);

}  // namespace zova::sim::lsv2wire
