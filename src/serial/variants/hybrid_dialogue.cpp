#include "serial/variants/hybrid_dialogue.h"

namespace zova {

namespace {

constexpr char kEot = 4;
constexpr char kBs = 8;
constexpr char kDc2 = 18;

bool KeptInPartNumber(char ch) {
  return ch == '-' || ch == '.' || ch == '\\' || (ch >= '0' && ch <= '9');
}

}  // namespace

std::string HybridMenuAnswer(char letter) {
  const char* word = "Error";
  if (letter == 'R')
    word = "Upload Part";
  else if (letter == 'S')
    word = "Download Part";
  else if (letter == 'T')
    word = "Filnavn";
  return std::string("\r\n") + word + " # " + kHybridEtx;
}

PartEntry PartNumberInput::Take(char ch) {
  switch (ch) {
    case '\r':
      return PartEntry::Ok;
    case '!':
      return PartEntry::Cancel;
    case kDc2:
      return PartEntry::Dc2;
    case kEot:
      return PartEntry::Ended;
    case kBs:
    case kHybridSub:
      if (!number_.empty()) number_.pop_back();
      return PartEntry::Going;
    default:
      break;
  }
  if (ch == '/') ch = '\\';
  if (KeptInPartNumber(ch)) number_ += ch;
  return PartEntry::Going;
}

std::string PartNumberFileName(std::string_view number, std::string_view ext) {
  std::string name = number.empty() ? std::string("0000") : std::string(number);
  if (name.find('.') == std::string::npos) name += ext;
  return name;
}

PromptedLineSplitter::Step PromptedLineSplitter::Take(char ch) {
  Step step;
  step.prompt = ch == '\n';
  if (ch == '\r' || ch == '\n') {
    // The line end of a cut line ends its last piece, even an empty one.
    if (!line_.empty() || afterCut_) {
      step.end = End::Line;
      afterCut_ = false;
    }
    return step;
  }
  line_ += ch;
  if (line_.size() == 1 && ch == kHybridSub && !afterCut_) {
    step.end = End::Sub;
  } else if (line_.size() >= kMaxLine) {
    step.end = End::Cut;
    afterCut_ = true;
  }
  return step;
}

}  // namespace zova
