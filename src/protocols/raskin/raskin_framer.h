#pragma once
// The Raskin control's line dialogue, bytes in and decisions out: the
// station writes a line and the control acknowledges it with DLE "7"; when
// the station fetches, the same two bytes ask the control for its next line,
// which it ends with CR, and EOT ends the program. Nothing here reads or
// writes the line.

#include <string>
#include <string_view>

namespace zova::raskin {

inline constexpr char kDle = 16;
inline constexpr char kCr = 13;
inline constexpr char kEot = 4;
// The control's acknowledgement of a line, and the station's request for one.
inline constexpr std::string_view kAck7 =
    "\x10"
    "7";

// Collects the answer to a written text. The caller reads until Matched()
// or a read fails: what the control sends after a wrong answer is taken
// too, so that none of it is left for the next reception.
class AnswerMatcher {
 public:
  explicit AnswerMatcher(std::string_view expected) : expected_(expected) {}
  // True once the answer so far is exactly the expected one.
  bool Feed(char ch) {
    answer_ += ch;
    return Matched();
  }
  bool Matched() const { return answer_ == expected_; }
  const std::string& Answer() const { return answer_; }

 private:
  std::string expected_;
  std::string answer_;
};

// How a prompted line ended.
enum class LineEnd { Open, Cr, Eot, ReadFailed };

// Collects one line the control sends after a prompt.
class LineCollector {
 public:
  // Takes one received byte; Open while the line goes on. After an end the
  // collector must be Reset before it takes more.
  LineEnd Feed(char ch);
  // The read failed before the line ended.
  void ReadFailed() { end_ = LineEnd::ReadFailed; }
  void Reset();
  const std::string& Line() const { return line_; }
  LineEnd End() const { return end_; }
  // True for a line the control ended, also an empty one: a blank program
  // line is part of the program and must not end the fetch.
  bool Ok() const { return end_ == LineEnd::Cr || end_ == LineEnd::Eot; }
  bool Eot() const { return end_ == LineEnd::Eot; }

 private:
  std::string line_;
  LineEnd end_ = LineEnd::Open;
};

// What the station writes to ask for the program named Cell: the name
// without its extension, "PC," before a positive number, CR after it.
std::string FetchRequest(std::string_view cell);

// The name a fetched program's first line gives after its first "$" (digits,
// "A".."Z", "_"), with Ext added; empty when the line names nothing.
std::string NameFromFirstLine(std::string_view line, std::string_view ext);

}  // namespace zova::raskin
