#include "protocols/heidenhain/heidenhain_framer.h"

#include "core/latin1.h"

namespace zova::heidenhain {

namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool IsTypeChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || c == '%';
}

}  // namespace

uint8_t Xor(std::string_view text) {
  uint8_t x = 0;
  for (char c : text) x ^= static_cast<uint8_t>(c);
  return x;
}

std::string CleanLine(std::string_view line) {
  std::string out(line);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32)
      c = ' ';
    else if (u > 127)
      c = 'D';
  }
  return out;
}

std::string AdjustForBcc(std::string text) {
  if ((Xor(text) ^ kStx ^ kEtb) >= 32) return text;
  if (!text.empty() && text.back() == ' ')
    text.pop_back();
  else
    text += ' ';
  return text;
}

std::string EncodeBlock(std::string_view line, bool linjeSjekk) {
  std::string text = AdjustForBcc(linjeSjekk ? CleanLine(line) : std::string(line));
  std::string frame;
  frame.reserve(text.size() + 3);
  frame += kStx;
  frame += text;
  frame += kEtb;
  frame += static_cast<char>(Xor(text) ^ kStx ^ kEtb);
  return frame;
}

std::string_view StripOneTrailingBlank(std::string_view text) {
  if (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

int MaxBlockTries(bool maaling, bool programData) {
  return maaling && programData ? 3600 : 5;
}

void BlockReader::Start(std::string_view seed) {
  state_ = State::Text;
  outcome_ = Outcome::Open;
  text_.clear();
  overlong_ = false;
  Feed(seed);
}

void BlockReader::Decide(Outcome o) {
  outcome_ = o;
  state_ = State::Done;
  if (o == Outcome::Refused || o == Outcome::TimedOut) text_.clear();
}

size_t BlockReader::Feed(std::string_view run) {
  size_t i = 0;
  while (i < run.size() && state_ != State::Done) {
    const char ch = run[i];
    if (state_ == State::Bcc) {
      ++i;
      if (!overlong_ && Xor(text_) == (static_cast<uint8_t>(ch) ^ kEtb)) {
        Decide(Outcome::Accepted);
      } else if (ch == kEot) {
        text_.assign(1, kEot);
        Decide(Outcome::GaveUp);
      } else {
        Decide(Outcome::Refused);
      }
      continue;
    }
    if (ch == kDc1 || ch == kDc3) {
      ++i;
      continue;
    }
    if (state_ == State::AfterEtx) {
      // Only EOT or SOH belongs to the end; anything else is the next input.
      if (ch == kEot || ch == kSoh) {
        ++i;
        text_.assign(1, ch);
      }
      Decide(Outcome::End);
      continue;
    }
    ++i;
    switch (ch) {
      case kEtx:
        text_.assign(1, kEtx);
        state_ = State::AfterEtx;
        break;
      case kEot:
        text_.assign(1, kEot);
        Decide(Outcome::End);
        break;
      case kSoh:
      case kStx:
        text_.assign(1, ch);
        overlong_ = false;
        break;
      case kEtb:
        state_ = State::Bcc;
        break;
      default:
        if (text_.size() < kMaxText)
          text_ += ch;
        else
          overlong_ = true;
    }
  }
  return i;
}

void BlockReader::Quiet() {
  if (state_ == State::AfterEtx)
    Decide(Outcome::End);
  else if (state_ != State::Done)
    Decide(Outcome::TimedOut);
}

Header ParseHeader(std::string_view text) {
  Header h;
  if (text.size() < 3 || text[0] != kSoh) return h;
  h.type = UpperChar(text[1]);
  const char last = text.back();
  if (!IsTypeChar(h.type) || (last != 'A' && last != 'E')) return h;
  h.kind = last == 'A' ? Header::Kind::Store : Header::Kind::Read;
  h.name = Trim(text.substr(2, text.size() - 3));
  return h;
}

bool IsCommand(std::string_view text) {
  if (text.size() < 5 || text[0] != kEsc) return false;
  if (text.find("\r\n") != text.size() - 2) return false;
  const std::string_view verb = text.substr(1, 2);
  return verb == "D " || verb == "N " || verb == "F " || verb == "P ";
}

bool IsListingRequest(std::string_view text) {
  return text == "\x1BO D\r\n" || text ==
                                      "\x1B"
                                      "0 D\r\n";
}

Command ParseCommand(std::string_view text) {
  Command c;
  if (!IsCommand(text)) return c;
  const std::string_view body = text.substr(0, text.size() - 2);
  c.letter = body[1];
  size_t from = 3;
  if (c.letter != 'F') {
    c.type = body.size() > 3 ? UpperChar(body[3]) : 0;
    from = 4;
  }
  c.argument = body.size() > from ? Trim(body.substr(from)) : std::string();
  const size_t comma = c.argument.find(',');
  if (comma != std::string::npos) {
    c.twoNames = true;
    c.oldName = Trim(std::string_view(c.argument).substr(0, comma));
    const size_t second = comma + 2;
    c.newName = second < c.argument.size() ? Trim(c.argument.substr(second)) : std::string();
  }
  return c;
}

CommandReader::Outcome CommandReader::Feed(char ch) {
  if (ch == kSoh) return Outcome::Header;
  if (ch == kDc1 || ch == kDc3) return Outcome::Open;
  if (ch == kEtx || ch == kEot || ch == kEsc)
    text_.assign(1, ch);
  else
    text_ += ch;
  if (IsCommand(text_)) return Outcome::Command;
  if (IsListingRequest(text_)) return Outcome::Listing;
  return text_.size() >= kMaxText ? Outcome::Overlong : Outcome::Open;
}

std::string ExtForType(char type, char defaultExt, std::string_view machineExt) {
  char t = UpperChar(type);
  if (t == '%') t = 'D';
  // A type that is no letter must not put a separator or a dot into a path.
  if (t == UpperChar(defaultExt) || !IsTypeChar(t)) return std::string(machineExt);
  std::string ext(machineExt);
  if (ext.empty()) return std::string(".") + t;
  if (ext.size() == 2 || ext.size() >= 4)
    ext[1] = t;
  else
    ext.insert(1, 1, t);
  return ext;
}

std::string ListingMask(char defaultExt, std::string_view machineExt) {
  if (machineExt.size() >= 2 && UpperChar(machineExt[1]) == UpperChar(defaultExt))
    return "*.?" + std::string(machineExt.substr(2));
  return "*.*" + std::string(machineExt.empty() ? machineExt : machineExt.substr(1));
}

bool HasProgramStart(std::string_view line) {
  return Contains(line, "BEGIN") || (Contains(line, "%") && Contains(line, "G7"));
}

bool IsProgramEnd(std::string_view line, bool first) {
  if (first) return false;
  return (Contains(line, "END") && (Contains(line, "PGM") || Contains(line, "TOOL"))) ||
         (Contains(line, "%") && Contains(line, "G7"));
}

}  // namespace zova::heidenhain
