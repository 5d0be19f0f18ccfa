#pragma once
// The Heidenhain block protocol, bytes in and decisions out. The control
// treats the station as its external storage unit: it announces a program
// or asks for one by a header block (SOH, type letter, name, "A" or "E"),
// moves the program as data blocks (STX, text, ETB, BCC) that are answered
// with ACK or NAK, ends it with ETX and EOT (or SOH for the next header),
// and gives file commands (ESC, letter, blank, ..., CR LF). Nothing here
// reads or writes the line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zova::heidenhain {

inline constexpr char kSoh = 0x01;
inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr char kEot = 0x04;
inline constexpr char kAck = 0x06;
inline constexpr char kLf = 0x0A;
inline constexpr char kCr = 0x0D;
inline constexpr char kDc1 = 0x11;  // XON
inline constexpr char kDc3 = 0x13;  // XOFF
inline constexpr char kNak = 0x15;
inline constexpr char kEtb = 0x17;
inline constexpr char kEsc = 0x1B;

// The exclusive OR of every byte of Text.
uint8_t Xor(std::string_view text);

// LinjeSjekk: control characters become blanks and characters above 127 "D",
// which the control's character set lacks.
std::string CleanLine(std::string_view line);

// Text as it goes into a data block: when the block check of STX, Text and
// ETB would be a control character, the trailing blank is removed, or one
// is appended when there is none. One change always lifts the check above
// 31, since it flips the blank's bit.
std::string AdjustForBcc(std::string text);

// STX, the line (cleaned first with LinjeSjekk, adjusted as above), ETB and
// the block check.
std::string EncodeBlock(std::string_view line, bool linjeSjekk);

// What the receiver keeps of an accepted block's text: one trailing blank
// less, which undoes a blank the sender appended for the block check.
std::string_view StripOneTrailingBlank(std::string_view text);

// How many times a refused block is received: 5, or 3600 for the program
// data of a measuring machine (Maaling).
int MaxBlockTries(bool maaling, bool programData);

// One block the control sends, collected from runs of received bytes. XON
// is skipped everywhere and XOFF too (the flow characters may come between
// any two bytes), but not where the block check is due, which is the next
// byte after ETB whatever it is.
class BlockReader {
 public:
  enum class Outcome {
    Open,      // more bytes are needed
    Accepted,  // a good block: the station answers ACK
    Refused,   // a wrong block check (or a block too long): NAK
    End,       // ETX or EOT: the end of the program; Text is what ended it
    GaveUp,    // EOT in place of the block check: the control gave up
    TimedOut,  // the line went quiet inside a block: no answer
  };
  // A block longer than this is refused, whatever its check.
  static constexpr size_t kMaxText = 2048;

  // Starts a block; Seed (an SOH read as an answer, say) stands as if it had
  // been received first.
  void Start(std::string_view seed = {});
  // Takes bytes of Run until the block is decided; returns how many it used.
  // Once decided, it takes nothing until Start.
  size_t Feed(std::string_view run);
  // A read found nothing. Inside a block the block fails; after ETX the
  // follower is simply absent.
  void Quiet();
  Outcome Result() const { return outcome_; }
  bool Decided() const { return outcome_ != Outcome::Open; }
  // After ETX only one more byte may belong to the end (EOT or SOH): the
  // driver reads it with a single quiet period.
  bool AwaitingEndFollower() const { return state_ == State::AfterEtx; }
  // The block's text from its first byte (STX or SOH included) for
  // Accepted; the ending byte (ETX, or the EOT or SOH after it, or EOT) for
  // End and GaveUp; empty otherwise.
  const std::string& Text() const { return text_; }

 private:
  enum class State { Text, Bcc, AfterEtx, Done };
  void Decide(Outcome o);

  State state_ = State::Text;
  Outcome outcome_ = Outcome::Open;
  std::string text_;
  bool overlong_ = false;
};

// A header block's meaning (its text from the SOH on, one trailing blank
// already stripped).
struct Header {
  enum class Kind { Store, Read, Invalid };
  Kind kind = Kind::Invalid;
  char type = 0;     // the type letter, upper case
  std::string name;  // blanks around it removed; empty: every file (Read)
};
// At least SOH, a type letter and "A" (the control outputs: the station
// stores) or "E" (the control reads: the station sends).
Header ParseHeader(std::string_view text);

// ESC, a letter ("D", "N", "F" or "P"), a blank, ..., CR LF, at least 5
// characters, with CR LF nowhere else.
bool IsCommand(std::string_view text);
// ESC "O D" CR LF. Published descriptions of these controls write the
// letter as the digit zero; both are taken.
bool IsListingRequest(std::string_view text);

struct Command {
  char letter = 0;
  char type = 0;         // the type letter of "D", "N" and "P"; 0 for "F"
  std::string argument;  // without CR LF
  std::string oldName;   // "N": the two names of the argument
  std::string newName;
  bool twoNames = false;
};
// The parts of a text IsCommand accepted. The argument starts after the
// type letter ("F" has none); two names are separated by a comma and one
// further character (the new name's type letter, or a blank).
Command ParseCommand(std::string_view text);

// Collects a command from single characters after its ESC. ETX, EOT and ESC
// start the text afresh with themselves.
class CommandReader {
 public:
  enum class Outcome { Open, Command, Listing, Header, Overlong };
  static constexpr size_t kMaxText = 250;

  CommandReader() : text_(1, kEsc) {}
  Outcome Feed(char ch);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The extension of a transfer of type Type: "%" counts as "D"; the
// DefaultExt letter keeps the machine's extension; otherwise the type
// letter replaces the first letter after the dot of an extension of 2 or
// of 4 and more characters (".H" with "T": ".T") and is put after the dot
// of one of 1 or 3 characters (".NC" with "T": ".TNC").
std::string ExtForType(char type, char defaultExt, std::string_view machineExt);

// The mask of a listing the control asks for: "*.?" and the extension's
// letters after the DefaultExt letter when that stands first after the dot,
// else "*.*" and the extension without its dot.
std::string ListingMask(char defaultExt, std::string_view machineExt);

// StartSjekk: the line that names the program ("BEGIN", or "%" with "G7").
bool HasProgramStart(std::string_view line);
// EndSjekk: the program's last line ("END" with "PGM" or "TOOL", or "%" with
// "G7"); never the first line, which has the same "%" and "G7".
bool IsProgramEnd(std::string_view line, bool first);

}  // namespace zova::heidenhain
