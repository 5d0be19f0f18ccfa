#pragma once
// The character rules applied to a program on its way to a control:
// upper-casing, replacement, dropped lines and dropped characters, and SUB as
// the end of the file. Fed one byte at a time; knows nothing of files.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/config.h"

namespace zova {

struct SendRules {
  bool storeBokstaver = false;
  std::string byttFra, byttTil;
  CharSet fjernLinje;
  CharSet fjernTegn;
  bool subOK = false;
};

class SendFilter {
 public:
  enum class Step { Accept, Skip, End };

  explicit SendFilter(const SendRules& rules);
  // The start of a new file: the first line counts as a line start.
  void Reset();
  // Out is set when the step is Accept.
  Step Feed(char in, char& out);

 private:
  enum class Skip { None, WholeLine, LineEnds, RestOfLine };
  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
  char Translate(char c) const;

  bool upper_;
  bool subOK_;
  CharSet fjernLinje_, fjernTegn_;
  bool anyFjernLinje_, anyFjernTegn_;
  char map_[256];
  Skip skip_ = Skip::None;
  char prev_ = '\n';
};

}  // namespace zova
