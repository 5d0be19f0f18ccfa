#pragma once
// The block form in which a conversational programming system sends and
// takes its data, without the line: after SOH the data come in blocks of 63
// bytes, each followed by STX when another block follows or by BS after the
// last; the last block is padded with NULs. The program's name stands in the
// data after a marker ("MLL>MLL=" by default).
//
// FaptFramer decides a reception from the byte after the SOH on. Bytes are
// fed in the order they arrived, in runs of any size; one run or byte by
// byte gives the same decisions, data and name. FaptBlockImage builds what
// the station sends, from the DC2 on.

#include <cstddef>
#include <string>
#include <string_view>

#include "files/transfer/stop_matcher.h"

namespace zova {

namespace fapt {
inline constexpr char kSoh = 1;
inline constexpr char kStx = 2;
inline constexpr char kBs = 8;
inline constexpr char kDc2 = 18;
inline constexpr size_t kBlockBytes = 63;
// A name longer than any file name a program system gives ends here: the
// rest of a run of name characters is data, not a name for the disc.
inline constexpr size_t kMaxNameLength = 64;
}  // namespace fapt

enum class FaptEnd {
  None,          // still receiving
  Complete,      // BS after a block: the data are whole
  BadSeparator,  // a block was followed by neither BS nor STX
  Quiet,         // the line went quiet (or a read failed) before the end
};

class FaptFramer {
 public:
  // SearchName false (or an empty Marker): no name is looked for.
  FaptFramer(std::string_view marker, bool searchName);

  // Decides Run and appends the data bytes (exactly as they came) to Data.
  // Returns the bytes used: fewer than the run only once the reception has
  // ended; the rest is not part of it. Nothing is decided after the end.
  size_t Feed(std::string_view run, std::string& data);
  // A read found the line quiet (or failed): the reception ends where it is.
  void Quiet();

  bool Ended() const { return end_ != FaptEnd::None; }
  FaptEnd End() const { return end_; }
  // The next byte is a block's separator (read as a single timed read).
  bool AtSeparator() const { return inBlock_ == fapt::kBlockBytes && !Ended(); }
  // Whole blocks received.
  size_t Blocks() const { return blocks_; }
  // The byte that stood where a separator belonged (BadSeparator).
  char BadByte() const { return badByte_; }

  // The name after the marker, once a character that cannot belong to it
  // ended it (or the data ended whole behind it). A name the data broke off
  // in is no name: it could be the start of another program's.
  bool NameFound() const { return nameFound_; }
  const std::string& Name() const { return name_; }

 private:
  void FeedData(char ch);
  void EndName();

  StopMatcher marker_;
  bool searching_;
  bool collecting_ = false, nameFound_ = false;
  std::string name_;
  size_t inBlock_ = 0, blocks_ = 0;
  FaptEnd end_ = FaptEnd::None;
  char badByte_ = 0;
};

// What the station sends for Data: DC2, SOH, the data in blocks of 63 with
// STX between them, the last padded with NULs, BS and a block of NULs. Empty
// data still make one (all NUL) block, so the image is always framed.
std::string FaptBlockImage(std::string_view data);

// The same built piece by piece, for a file read in blocks.
class FaptImageBuilder {
 public:
  // DC2 and SOH.
  static std::string Begin();
  // Data with the STX between blocks, appended to Out.
  void Add(std::string_view data, std::string& out);
  // The padding of the last block, BS and the trailing NUL block.
  std::string Finish() const;

 private:
  size_t inBlock_ = 0;
  bool any_ = false;
};

}  // namespace zova
