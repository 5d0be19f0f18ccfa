#pragma once
// The Mazatrol line: every telegram ends with EOT; program lines travel as
// hexadecimal text whose last two characters are a sum check. Bytes in,
// decisions out: nothing here reads or writes the line.

#include <optional>
#include <string>
#include <string_view>

namespace zova::mazatrol {

inline constexpr char kStx = 2;
inline constexpr char kEtx = 3;
inline constexpr char kEot = 4;
inline constexpr char kCan = 0x18;
inline constexpr char kEsc = 27;

// The station's answers.
inline constexpr std::string_view kAnswerRepeat = "p00";
inline constexpr std::string_view kAnswerLine = "p0A";
inline constexpr std::string_view kAnswerStatus = "q08";
// What the control's replies start with.
inline constexpr std::string_view kProgramLine =
    "p1"
    "\x02";
inline constexpr std::string_view kTapeMark = "p2";
inline constexpr std::string_view kRequest = "p4";
inline constexpr std::string_view kSectionEnd = "pD";
inline constexpr std::string_view kEnd = "pA";

// The two upper-case hexadecimal digits of the sum of (code - 48) over Text,
// modulo 256.
std::string LineCheck(std::string_view text);

// What a reply of the control asks for.
enum class ReplyKind { Empty, ProgramLine, TapeMark, Request, SectionEnd, End, Status, Other };
ReplyKind KindOf(std::string_view reply);

// Collects one reply: the characters before EOT.
class ReplyCollector {
 public:
  // True when Ch was the EOT that ends the reply.
  bool Feed(char ch);
  const std::string& Reply() const { return reply_; }
  void Reset() { reply_.clear(); }

 private:
  std::string reply_;
};

// A short telegram: Text and EOT.
std::string ShortTelegram(std::string_view text);
// A program line as the station sends it: "p00", STX, the line without its
// last two characters, ETX, those two (the check digits), EOT. A line
// shorter than two characters goes out whole before the ETX.
std::string LineTelegram(std::string_view line);

// The program line a "p1" telegram carries: the text after its first three
// characters with the ETX taken out, the check digits kept. Nullopt when
// there is no ETX (a protocol error).
std::optional<std::string> ExtractLine(std::string_view reply);

// Empty when Line is valid: at least 10 characters, an even length, equal
// to LinjeLengde when that is at least 1 (else "Lengde=" and the length),
// and the check digits right (else "BCC=" and the computed digits).
std::string CheckLine(std::string_view line, int linjeLengde);

// Line with its check digits, as a control makes it.
inline std::string WithCheck(std::string_view text) {
  return std::string(text) + LineCheck(text);
}

}  // namespace zova::mazatrol
