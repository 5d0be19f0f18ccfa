#pragma once
// The 3964R block, bytes in and decisions out. A telegram is its payload
// followed by the end mark DLE ETX; on the wire every DLE of the payload is
// doubled and the block check character follows the end mark. Nothing here
// reads or writes the line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zova::r3964 {

inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr char kDle = 0x10;
inline constexpr char kNak = 0x15;

// The partner indexes a block with an 8-bit counter: doubled payload, DLE ETX
// and BCC together never pass this.
inline constexpr size_t kMaxBlock = 255;

// Payload + DLE ETX.
std::string Telegram(std::string_view payload);
// True when Telegram ends with DLE ETX.
bool HasEndMark(std::string_view telegram);

// Every DLE of the telegram but the closing DLE ETX doubled.
std::string DoubleDle(std::string_view telegram);
// Each DLE DLE pair made one DLE; the closing DLE ETX stays.
std::string UndoubleDle(std::string_view block);
// Exclusive OR of every byte from 0: over the doubled telegram with its DLE
// ETX, never over STX.
uint8_t BlockCheck(std::string_view doubled);

enum class BlockError { kNone, kNoEndMark, kTooLong };
struct Block {
  BlockError error = BlockError::kNone;
  std::string bytes;  // doubled telegram + BCC; empty on an error
  bool Ok() const { return error == BlockError::kNone; }
};
// What the sender writes after the partner's DLE. A telegram without its
// DLE ETX, or one whose block would pass kMaxBlock, is refused whole: a
// truncated block would reach the partner as a different telegram.
Block BuildBlock(std::string_view telegram);

// How a received block ended.
enum class BlockEnd {
  kOpen,      // more bytes wanted
  kAccepted,  // end mark and a matching BCC: answer DLE
  kBadBcc,    // answer NAK
  kTooLong,   // passed kMaxBlock: answer NAK
  kTimedOut,  // a read timed out inside the block: answer NAK
};

// Collects one block after the receiver's DLE, as the bytes come in runs of
// any size; the decision never depends on how the bytes were split. An
// overlong block is not stored past kMaxBlock: its bytes are skipped up to
// its end mark and BCC, so that the NAK comes when the partner waits for it.
class BlockCollector {
 public:
  // Takes bytes of Run up to the end of the block and returns how many it
  // used; the rest belong to whatever follows the block.
  size_t Feed(std::string_view run);
  // A read timed out before the block ended.
  void TimedOut();
  BlockEnd End() const { return end_; }
  // The telegram undoubled with its DLE ETX, once kAccepted.
  std::string Telegram() const;
  // The block as received (doubled, with its end mark, without the BCC).
  const std::string& Raw() const { return raw_; }

 private:
  // A partner that streams without an end mark is cut off here.
  static constexpr size_t kMaxSkipped = 1 << 16;
  void Take(char ch);

  std::string raw_;
  size_t length_ = 0;  // bytes of the block so far, stored or skipped
  uint8_t bcc_ = 0;
  bool oddDle_ = false;    // the last byte was a DLE not yet paired
  bool endMark_ = false;   // DLE ETX seen: the next byte is the BCC
  bool overlong_ = false;  // bytes are only counted, no longer stored
  BlockEnd end_ = BlockEnd::kOpen;
};

}  // namespace zova::r3964
