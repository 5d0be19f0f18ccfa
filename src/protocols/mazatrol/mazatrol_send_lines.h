#pragma once
// The lines of a stored Mazatrol program on their way to the control: which
// are tape marks, which are skipped, and the reformatting SjekkFormat asks
// for. Lines in, lines out; no file and no line.

#include <string>
#include <string_view>
#include <vector>

namespace zova::mazatrol {

inline constexpr char kFormFeed = 12;
inline constexpr char kNak = 0x15;
inline constexpr char kParagraph = '\xA7';  // "§"
// Stored lines keep their LF and CR as these, so that a line stays a line.
inline constexpr char kStoredLf = 0x1D;
inline constexpr char kStoredCr = 0x1E;

// A tape mark: "p2", a form feed, or with TapeMark2 a line of at least five
// characters with "2" second.
bool IsTapeMark(std::string_view line, bool tapeMark2);

// File lines shorter than this are not program lines and are not sent.
inline constexpr size_t kMinSendLine = 6;

// LF and CR inside a received line as they are stored, and back.
std::string StoredForm(std::string_view line);
std::string LineForm(std::string_view stored);

// Line with its check digits appended when it is exactly two characters
// shorter than LinjeLengde (a line stored without them).
std::string WithCheckWhenShort(std::string_view line, int linjeLengde);

// SjekkFormat: lines holding only a form feed are dropped; the first two
// lines of the file are dropped when they hold "(", NAK or "§"; once a line
// with ETX has come, the following lines are joined with LF (staying below
// 255 characters) up to and with the next line with ETX; STX, ETX and EOT
// are taken out, and a line two characters short of LinjeLengde gets its
// check digits.
class SjekkFormatter {
 public:
  explicit SjekkFormatter(int linjeLengde) : linjeLengde_(linjeLengde) {}
  // One file line in; the lines it completes out (none while a join is open).
  std::vector<std::string> Feed(std::string_view line);
  // The end of the file: an open join goes out.
  std::vector<std::string> Finish();

 private:
  void Emit(std::string line, std::vector<std::string>& out) const;

  int linjeLengde_;
  int fileLine_ = 0;
  bool etxSeen_ = false;
  bool joining_ = false;
  std::string join_;
};

}  // namespace zova::mazatrol
