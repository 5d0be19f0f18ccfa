#pragma once
// The pieces of a Hybrid control's terminal dialogue that are decisions on
// characters: the menu answer to a letter, the part number the operator
// types at the control, and the lines of an upload, each of which the
// station asks for with ">". No line, no files.

#include <cstddef>
#include <string>
#include <string_view>

namespace zova {

inline constexpr char kHybridEtx = 3;
inline constexpr char kHybridSub = 26;

// The station's answer to a menu letter: CR LF, the word ("Upload Part" for
// R, "Download Part" for S, "Filnavn" for T, "Error" for anything else),
// " # " and ETX.
std::string HybridMenuAnswer(char letter);

enum class PartEntry {
  Going,   // the number goes on
  Ok,      // CR: the number is complete
  Cancel,  // "!": back to the menu
  Dc2,     // DC2: the control starts a tape transmission instead
  Ended,   // EOT: the control gave up
};

// The part number as the control types it: "/" is taken as "\", only "-",
// ".", the digits and "\" are kept, BS and SUB delete the last kept
// character; anything else is ignored.
class PartNumberInput {
 public:
  PartEntry Take(char ch);
  const std::string& Number() const { return number_; }
  void Clear() { number_.clear(); }

 private:
  std::string number_;
};

// The file name of a part number: "0000" for none, Ext appended when it has
// no ".".
std::string PartNumberFileName(std::string_view number, std::string_view ext);

// One line of an upload. The station writes ">" after every LF (the control
// waits for it before the next line); line ends are not part of the line.
class PromptedLineSplitter {
 public:
  static constexpr size_t kMaxLine = 250;

  enum class End {
    None,  // the line goes on
    Line,  // a line end after text (or after a cut line's last piece)
    Cut,   // kMaxLine characters without a line end: the line goes on in the next piece
    Sub,   // the line is SUB alone: the upload is over
  };
  struct Step {
    bool prompt = false;  // write ">" now
    End end = End::None;
  };

  Step Take(char ch);
  const std::string& Line() const { return line_; }
  // Starts the next line.
  void Clear() { line_.clear(); }

 private:
  std::string line_;
  bool afterCut_ = false;
};

}  // namespace zova
