#include "files/transfer/send_filter.h"

#include "core/latin1.h"

namespace zova {

SendFilter::SendFilter(const SendRules& rules)
    : upper_(rules.storeBokstaver),
      subOK_(rules.subOK),
      fjernLinje_(rules.fjernLinje),
      fjernTegn_(rules.fjernTegn),
      anyFjernLinje_(rules.fjernLinje.any()),
      anyFjernTegn_(rules.fjernTegn.any()) {
  for (int b = 0; b < 256; ++b) map_[b] = static_cast<char>(b);
  // Replacement only makes sense pairwise; unequal lists are a configuration
  // slip, and guessing a pairing would change programs silently.
  if (!rules.byttFra.empty() && rules.byttFra.size() == rules.byttTil.size()) {
    std::string from = upper_ ? UpperCase(rules.byttFra) : rules.byttFra;
    std::string to = upper_ ? UpperCase(rules.byttTil) : rules.byttTil;
    for (size_t i = from.size(); i-- > 0;) map_[static_cast<uint8_t>(from[i])] = to[i];
  }
}

void SendFilter::Reset() {
  skip_ = Skip::kNone;
  prev_ = '\n';
}

char SendFilter::Translate(char c) const {
  if (upper_) c = UpperChar(c);
  return map_[static_cast<uint8_t>(c)];
}

SendFilter::Step SendFilter::Feed(char in, char& out) {
  if (in == 26 && !subOK_) return Step::kEnd;
  const char c = Translate(in);
  switch (skip_) {
    case Skip::kWholeLine:
      if (IsLineEnd(c)) skip_ = Skip::kLineEnds;
      return Step::kSkip;
    case Skip::kLineEnds:
      if (IsLineEnd(c)) return Step::kSkip;
      skip_ = Skip::kNone;
      break;
    case Skip::kRestOfLine:
      if (!IsLineEnd(c)) return Step::kSkip;
      skip_ = Skip::kNone;
      prev_ = c;
      out = c;
      return Step::kAccept;
    case Skip::kNone:
      break;
  }
  if (anyFjernLinje_ && fjernLinje_.test(static_cast<uint8_t>(c))) {
    if (IsLineEnd(prev_)) {
      skip_ = Skip::kWholeLine;
      return Step::kSkip;
    }
    if (c != '*') {
      skip_ = Skip::kRestOfLine;
      return Step::kSkip;
    }
  }
  if (anyFjernTegn_ && fjernTegn_.test(static_cast<uint8_t>(c))) return Step::kSkip;
  prev_ = c;
  out = c;
  return Step::kAccept;
}

}  // namespace zova
