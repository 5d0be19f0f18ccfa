#pragma once
// LSV2 frames, bytes in and decisions out. A frame is DLE STX, the telegram
// text, DLE ETX (or DLE ETB when another block of the same telegram
// follows) and the block check character: the exclusive OR of the text and
// the ETX or ETB. DLE in the text is not doubled, so the receiver ends a
// block at the first ETX or ETB byte: such bytes cannot be sent as text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zova::lsv2 {

inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr char kEot = 0x04;
inline constexpr char kEnq = 0x05;
inline constexpr char kDle = 0x10;
inline constexpr char kNak = 0x15;
inline constexpr char kEtb = 0x17;
// Acknowledgements: DLE "0" (ready to receive), DLE "1" (frame accepted).
inline constexpr std::string_view kAck0 =
    "\x10"
    "0";
inline constexpr std::string_view kAck1 =
    "\x10"
    "1";
// Further blocks of a telegram repeat its first characters, the code.
inline constexpr size_t kCodeLength = 4;

uint8_t Bcc(std::string_view text, char end);

enum class FrameError { kNone, kEndByteInText, kCannotSplit };
struct Frames {
  FrameError error = FrameError::kNone;
  std::vector<std::string> frames;  // empty on an error
  bool Ok() const { return error == FrameError::kNone; }
};
// One frame; Last false closes it with ETB. A text holding ETX or ETB is
// refused whole: the control would take it as a shorter, broken block.
Frames EncodeFrame(std::string_view text, bool last = true);
// The texts of Telegram's blocks of at most MaxText characters: the first
// block is the telegram's beginning, each further one its code and the next
// MaxText - kCodeLength characters. One block when the telegram fits (or,
// with MaxText of kCodeLength or less, cannot be split).
std::vector<std::string> SplitTelegram(std::string_view telegram, size_t maxText);
// The frames of SplitTelegram, ETB between them. A telegram that has to be
// split with MaxText of kCodeLength or less is refused (kCannotSplit).
Frames EncodeTelegram(std::string_view telegram, size_t maxText);

// Collects one block as the control sends it, from its DLE STX to its BCC,
// fed in runs of any size; the decision never depends on the split.
class BlockCollector {
 public:
  // Takes bytes up to the end of the block (its BCC) or the first byte
  // that shows garbage; returns how many it used.
  size_t Feed(std::string_view run);
  // The next byte is the BCC (the driver reads it with the full timeout).
  bool NeedsBcc() const { return endSeen_ && !complete_; }
  bool Complete() const { return complete_; }
  // The first byte was no DLE, or the block ran past any sensible length
  // without an end: the rest of the burst is noise.
  bool Garbage() const { return garbage_; }
  bool Empty() const { return raw_.empty(); }
  // At least DLE STX DLE ETX|ETB and a matching BCC.
  bool Valid() const;
  // Ended with ETB: another block follows.
  bool MoreFollows() const { return Valid() && raw_.back() == kEtb; }
  // The block without DLE STX and DLE ETX|ETB (empty when too short).
  std::string Text() const;
  // The BCC the block should have had.
  uint8_t ComputedBcc() const;
  const std::string& Raw() const { return raw_; }

 private:
  static constexpr size_t kMaxBlock = 1 << 16;
  bool Take(char ch);

  std::string raw_;
  uint8_t bcc_ = 0;
  bool endSeen_ = false, complete_ = false, garbage_ = false;
};

// A telegram's text from its blocks: the first block whole, each further
// block from its fifth character on.
void AppendBlockText(std::string& telegram, std::string_view blockText, bool first);

}  // namespace zova::lsv2
