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
  skip_ = Skip::None;
  prev_ = '\n';
}

char SendFilter::Translate(char c) const {
  if (upper_) c = UpperChar(c);
  return map_[static_cast<uint8_t>(c)];
}

SendFilter::Step SendFilter::Feed(char in, char& out) {
  if (in == 26 && !subOK_) return Step::End;
  const char c = Translate(in);
  switch (skip_) {
    case Skip::WholeLine:
      if (IsLineEnd(c)) skip_ = Skip::LineEnds;
      return Step::Skip;
    case Skip::LineEnds:
      if (IsLineEnd(c)) return Step::Skip;
      skip_ = Skip::None;
      break;
    case Skip::RestOfLine:
      if (!IsLineEnd(c)) return Step::Skip;
      skip_ = Skip::None;
      prev_ = c;
      out = c;
      return Step::Accept;
    case Skip::None:
      break;
  }
  if (anyFjernLinje_ && fjernLinje_.test(static_cast<uint8_t>(c))) {
    if (IsLineEnd(prev_)) {
      skip_ = Skip::WholeLine;
      return Step::Skip;
    }
    if (c != '*') {
      skip_ = Skip::RestOfLine;
      return Step::Skip;
    }
  }
  if (anyFjernTegn_ && fjernTegn_.test(static_cast<uint8_t>(c))) return Step::Skip;
  prev_ = c;
  out = c;
  return Step::Accept;
}

}  // namespace zova
