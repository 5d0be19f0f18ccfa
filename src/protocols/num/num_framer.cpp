#include "protocols/num/num_framer.h"

namespace zova::num {

namespace {

const char kHex[] = "0123456789ABCDEF";

bool IsDigits(std::string_view s) {
  return s.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string NumCheck(std::string_view content) {
  unsigned sum = 0;
  for (char ch : content) sum += static_cast<unsigned char>(ch);
  const unsigned check = 255 - (sum % 256);
  return {kHex[check >> 4], kHex[check & 15]};
}

std::string FrameBlock(std::string_view content) {
  std::string block(1, kStx);
  block.append(content);
  block += NumCheck(content);
  block += kEtx;
  return block;
}

std::string EndBlock() {
  return FrameBlock(".");
}

std::string AckLine(int counter) {
  return {kAck, counter % 2 == 0 ? '0' : '1'};
}

bool IsStartLine(std::string_view line) {
  return line.size() == 1 && (line[0] == kStx || line[0] == kSyn);
}

std::optional<std::string> ParseNumBlock(std::string_view line) {
  if (line.size() < 4 || line.front() != kStx || line.back() != kEtx) return std::nullopt;
  const std::string_view content = line.substr(1, line.size() - 4);
  if (line.substr(line.size() - 3, 2) != NumCheck(content)) return std::nullopt;
  return std::string(content);
}

ReceiveStep NumReceiver::Feed(std::string_view line) {
  using Kind = ReceiveStep::Kind;
  const bool syn = line.size() == 1 && line[0] == kSyn;
  const bool eot = line.size() == 1 && line[0] == kEot;
  if (endSeen_) return {(syn || eot) ? Kind::Finish : Kind::Ignore, "", ""};
  if (syn) {
    counter_ = 0;
    tries_ = kTries;
    return {Kind::Restart, "", AckLine(0)};
  }
  if (line.size() == 1 && line[0] == kEnq) return {Kind::Answer, "", AckLine(counter_)};
  if (eot) return {Kind::Finish, "", ""};
  const std::optional<std::string> content = ParseNumBlock(line);
  if (!content) {
    return {--tries_ <= 0 ? Kind::GiveUp : Kind::Nak, "", std::string(1, kNak)};
  }
  tries_ = kTries;
  counter_ ^= 1;
  if (*content == ".") {
    endSeen_ = true;
    return {Kind::End, "", AckLine(counter_)};
  }
  std::string text;
  for (char ch : *content) {
    if (ch == kGs)
      text += "\r\n";
    else
      text += ch;
  }
  return {Kind::Store, text, AckLine(counter_)};
}

BlockReply JudgeReply(std::string_view line, int counter) {
  if (IsStartLine(line)) return BlockReply::Restart;
  return line == AckLine(counter) ? BlockReply::Acked : BlockReply::Wrong;
}

std::vector<std::string> MenuLines(Variant v) {
  const char* first =
      v == Variant::Num ? "--------Kvist-Zova---------" : "---------------------------";
  std::vector<std::string> lines{first};
  if (v == Variant::Num) {
    lines.insert(lines.end(), {" 1:PPNo   Hent program", " 2:       Hent tooldata",
                               " 3:PPNo   Punchback program"});
  } else {
    lines.insert(lines.end(), {" 1:PPNo   Nedlast fra arkiv", " 2:PPNo   Nedlast testprog.",
                               " 3:PPNo   Punchback program"});
  }
  lines.push_back("    Fortell (dvs. 1:0030)-->");
  for (std::string& l : lines) l.insert(0, "DNC>");
  return lines;
}

std::string ChoiceAnswer(Variant v, char choice) {
  if (v == Variant::NumNJ)
    return choice == '3' ? "PUNCHBACK> PC klar for mottak..." : "LAST> PC klar til nedlast...";
  switch (choice) {
    case '1':
      return "READ> PC klar til nedlast...";
    case '2':
      return "TOOLS> PC klar til nedlast..";
    default:
      return "PUNCH> PC klar for mottak...";
  }
}

ChoiceInput::Key ChoiceInput::Feed(char ch) {
  if (ch == kCr) return Key::Done;
  if (ch == kBs) {
    if (!text_.empty()) text_.pop_back();
    return Key::Erased;
  }
  if (ch >= '0' && ch <= ':') {
    text_ += ch;
    return Key::Taken;
  }
  return Key::Ignored;
}

std::optional<Choice> ParseChoice(Variant v, std::string_view input) {
  const size_t least = v == Variant::Num ? 2 : 3;
  if (input.size() < least || input[0] < '1' || input[0] > '3' || input[1] != ':')
    return std::nullopt;
  Choice c;
  c.choice = input[0];
  c.number = std::string(input.substr(2));
  if (!IsDigits(c.number)) return std::nullopt;
  const bool namesProgram = v == Variant::NumNJ || c.choice != '2';
  if (namesProgram && c.number.empty()) return std::nullopt;
  if (v == Variant::NumNJ && c.number.size() < 4) c.number.insert(0, 4 - c.number.size(), '0');
  return c;
}

}  // namespace zova::num
