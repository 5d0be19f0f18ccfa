#pragma once
// The NUM DNC dialogue, bytes in and decisions out: the menu the station
// writes to the control's screen, the operator's typed choice, the checked
// data blocks (STX, content, two check characters, ETX) with alternating
// acknowledgements both ways. Nothing here reads or writes the line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zova::num {

inline constexpr char kNul = 0x00;
inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr char kEot = 0x04;
inline constexpr char kEnq = 0x05;
inline constexpr char kAck = 0x06;
inline constexpr char kBs = 0x08;
inline constexpr char kCr = 0x0D;
inline constexpr char kNak = 0x15;
inline constexpr char kSyn = 0x16;
inline constexpr char kGs = 0x1D;

// Content of a block stays below this many characters.
inline constexpr size_t kMaxContent = 126;
// Sends of one block, and bad blocks taken in a row, before giving up.
inline constexpr int kTries = 10;

// 255 minus the sum of Content's bytes modulo 256, two upper-case hex digits.
std::string NumCheck(std::string_view content);
// STX, content, check, ETX.
std::string FrameBlock(std::string_view content);
// The end of a program: STX ".D1" ETX.
std::string EndBlock();
// ACK and the counter's digit.
std::string AckLine(int counter);
// A line that is STX or SYN alone: the control starts (or restarts) a transfer.
bool IsStartLine(std::string_view line);

// The content of a block line: at least 4 characters, STX first, ETX last,
// the two before ETX the check of what lies between. Nullopt otherwise.
std::optional<std::string> ParseNumBlock(std::string_view line);

// Cuts a program's lines into block contents: whole lines joined by GS, the
// content below kMaxContent characters (a line that would reach it starts
// the next block; a line that long alone is a block of its own).
class NumBlocker {
 public:
  // The next content from Pending and the lines Next gives (false at the end
  // of the file). Nullopt when nothing is left: a blank last line is no
  // block, but a blank line before a line too long to join it is one.
  template <typename NextLine>
  std::optional<std::string> NextBlock(NextLine&& next) {
    std::string content;
    bool have = false;
    if (pending_) {
      content = std::move(*pending_);
      pending_.reset();
      have = true;
    }
    std::string line;
    while (next(line)) {
      if (!have) {
        content = std::move(line);
        have = true;
        continue;
      }
      if (content.size() + 1 + line.size() >= kMaxContent) {
        pending_ = std::move(line);
        break;
      }
      content += kGs;
      content += line;
    }
    if (!have || (content.empty() && !pending_)) return std::nullopt;
    return content;
  }
  bool HasPending() const { return pending_.has_value(); }

 private:
  std::optional<std::string> pending_;
};

// What the station does with a line the control sends during a reception.
struct ReceiveStep {
  enum class Kind {
    Store,    // store Text (GS made CR LF) and send Reply (the new ACK)
    End,      // the end block: send Reply; read on up to EOT or SYN
    Restart,  // SYN: drop what came, start anew, send Reply (ACK "0")
    Answer,   // ENQ: send Reply (the current ACK) again
    Nak,      // a bad block: send Reply (NAK)
    GiveUp,   // the tenth bad block in a row: send Reply (NAK) and stop
    Finish,   // EOT (or, after the end block, EOT or SYN)
    Ignore,   // after the end block, anything else
  } kind = Kind::Ignore;
  std::string text;
  std::string reply;
};

class NumReceiver {
 public:
  ReceiveStep Feed(std::string_view line);
  int Counter() const { return counter_; }
  bool EndSeen() const { return endSeen_; }

 private:
  int counter_ = 0;
  int tries_ = kTries;
  bool endSeen_ = false;
};

// A reply to a block the station sent.
enum class BlockReply { Acked, Restart, Wrong };
BlockReply JudgeReply(std::string_view line, int counter);

// The two menus and the operator's choice.
enum class Variant { Num, NumNJ };

// The five menu lines after the eleven empty ones, "DNC>" before each; the
// last is the prompt, written without CR.
std::vector<std::string> MenuLines(Variant v);
// The line written after "DNC>" for a valid Choice ('1' to '3').
std::string ChoiceAnswer(Variant v, char choice);

// The operator's typing: "0" to ":" are taken, BS takes the last one back,
// CR ends it. Echoed: those three kinds.
class ChoiceInput {
 public:
  enum class Key { Ignored, Taken, Erased, Done };
  Key Feed(char ch);
  static bool Echoed(Key k) { return k != Key::Ignored; }
  const std::string& Text() const { return text_; }
  void Reset() { text_.clear(); }

 private:
  std::string text_;
};

struct Choice {
  char choice = 0;     // '1', '2' or '3'
  std::string number;  // the program number as the file is named
};
// TNum: the choice digit, ":" and the number; TNumNJ: the number padded
// with "0" to 4 digits and at least one typed. A number must be digits (a
// second ":" is no name); choices that name a program need one.
std::optional<Choice> ParseChoice(Variant v, std::string_view input);

}  // namespace zova::num
