#include "files/namesearch/primitives.h"

#include <algorithm>
#include <atomic>

#include "core/latin1.h"
#include "core/uihost.h"

namespace zova {

namespace {

std::atomic<bool> debugSwitch{false};

// Longer pads are never meaningful for a name and would let a bad TallLengde
// allocate without bound.
constexpr int kMaxPad = 255;

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

inline bool IsNameChar(char c) {
  if (IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case '-':
    case '.':
    case '/':
    case ':':
    case '\\':
    case '_':
      return true;
    default:
      return false;
  }
}

inline bool InSet(const CharSet* set, char c) {
  return set && set->test(static_cast<unsigned char>(c));
}

// Walks the occurrences of a pattern the way the station's search does: an
// occurrence that was looked at gets its first character overwritten with
// kUsedMark in a private copy, and the search starts again. Without a mark in
// the pattern no earlier occurrence can reappear, so the walk goes on after the
// last one and the copy is never made. A pattern that itself begins with the
// mark cannot be overwritten away; that occurrence is passed over instead of
// being found again for ever.
class MarkedSearch {
 public:
  MarkedSearch(std::string_view text, std::string_view pattern)
      : text_(text),
        pattern_(pattern),
        patternHasMark_(pattern.find(kUsedMark) != std::string_view::npos) {}

  size_t Next() const { return text_.find(pattern_, from_); }

  void Mark(size_t p) {
    if (text_[p] == kUsedMark) {
      from_ = p + 1;
      return;
    }
    if (!patternHasMark_) {
      from_ = p + 1;
      return;
    }
    if (copy_.empty()) {
      copy_.assign(text_);
      text_ = copy_;
    }
    copy_[p] = kUsedMark;
    text_ = copy_;
    // A new occurrence can only overlap the character just overwritten.
    from_ = p + 1 >= pattern_.size() ? p + 1 - pattern_.size() : 0;
  }

  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  std::string_view pattern_;
  bool patternHasMark_;
  std::string copy_;
  size_t from_ = 0;
};

void DebugNotice(std::string_view caption, std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& l : lines) {
    if (!text.empty()) text += "\r\n";
    text += l;
  }
  ShowNotice(L1(caption), text);
}

std::string Bracketed(std::string_view label, std::string_view value) {
  return L1(label) + "[" + std::string(value) + "]";
}

}  // namespace

bool NameSearchDebug() {
  return debugSwitch.load(std::memory_order_relaxed);
}
void SetNameSearchDebug(bool on) {
  debugSwitch.store(on, std::memory_order_relaxed);
}

int FindKey(bool checkDigitKey, std::string_view key, std::string_view text) {
  if (key.empty()) return 0;
  const bool check = checkDigitKey && IsDigit(key.back());
  MarkedSearch occurrences(text, key);
  for (;;) {
    size_t p = occurrences.Next();
    if (p == std::string_view::npos) return 0;
    std::string_view t = occurrences.Text();
    size_t after = p + key.size();
    if (!check || after >= t.size() || !IsDigit(t[after])) return static_cast<int>(p + 1);
    occurrences.Mark(p);
  }
}

void FilterName(bool numericOnly, const CharSet* extra, std::string& name) {
  if (!numericOnly) {
    size_t n = 0;
    while (n < name.size() && (IsNameChar(name[n]) || InSet(extra, name[n]))) ++n;
    name.resize(n);
    return;
  }
  size_t out = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (IsDigit(c) || InSet(extra, c)) {
      name[out++] = c;
    } else if (c != '+' && c != ',' && c != '.') {
      break;
    }
  }
  name.resize(out);
}

std::string SearchName(std::string_view text, std::string_view key, std::string_view startDelim,
                       std::string_view stopDelim, const Look& look) {
  const bool debug = NameSearchDebug();
  if (debug) {
    DebugNotice("Søker etter filnavn",
                {Bracketed("Søker: ", key), Bracketed("Start:  ", startDelim),
                 Bracketed("Slutt:  ", stopDelim), Bracketed("String: ", text)});
  }
  std::string name(kNoName);
  if (key.empty() || FindKey(look.checkDigitKey, key, text) == 0) return name;

  const bool markIsDelim = startDelim.size() == 1 && startDelim[0] == kUsedMark;
  MarkedSearch occurrences(text, startDelim);
  for (;;) {
    size_t p = startDelim.empty() ? std::string_view::npos : occurrences.Next();
    if (p == std::string_view::npos) {
      name = kNoName;
      break;
    }
    std::string_view rest = occurrences.Text().substr(p + startDelim.size());
    size_t q = std::string_view::npos;
    // A stop beyond the longest name is the same as no stop, so only the
    // window that can hold one is searched: long texts stay linear.
    if (!stopDelim.empty()) q = rest.substr(0, look.maxLen + stopDelim.size() - 1).find(stopDelim);
    name.assign(rest.substr(0, q < look.maxLen ? q : look.maxLen));
    occurrences.Mark(p);
    FilterName(look.numericOnly, look.extra, name);
    if (name.empty()) name = kNoName;
    if (name != kNoName || markIsDelim || look.firstOnly) break;
  }

  if (debug) {
    DebugNotice("Filnavn funnet",
                {Bracketed("Kommando: ", key), Bracketed("Start:  ", startDelim),
                 Bracketed("Slutt:  ", stopDelim), Bracketed("String: ", occurrences.Text()),
                 Bracketed("FilNavn: ", name)});
  }
  return name;
}

void CutLines(int firstLine, int lastLine, std::string& text) {
  const size_t n = text.size();
  int count = 0;
  size_t start = firstLine <= 1 ? 1 : 0;  // 1-based; 0 = line FirstLine never began
  size_t i = 1;
  while (i <= n && count < lastLine) {
    if (text[i - 1] == ' ' && (i == 1 || text[i - 2] != ' ')) {
      ++count;
      if (count == firstLine - 1) start = i;
    }
    ++i;
  }
  // Fewer lines than FirstLine: none of the wanted lines exists.
  if (start == 0) {
    text.clear();
    return;
  }
  text = text.substr(start - 1, i - start);
}

void CutAtWord(char letter1, char letter2, bool lastLineOnly, std::string& text) {
  size_t p = text.find(letter1);
  if (p == std::string::npos) p = text.find(letter2);
  if (p == std::string::npos) return;
  while (p + 1 < text.size() && text[p] != ' ') ++p;
  text.resize(p + 1);
  if (!lastLineOnly) return;
  for (ptrdiff_t s = static_cast<ptrdiff_t>(text.size()) - 3; s >= 0; --s) {
    if (text[s] == ' ') {
      text.erase(0, s);
      return;
    }
  }
}

std::string DigitsAfterLetter(std::string_view text) {
  if (text.size() < 2) return std::string(kNoName);
  const size_t limit = text.size() - 1;
  size_t i = 0;
  while (i < limit && !IsDigit(text[i])) ++i;
  if (i >= limit || i == 0) return std::string(kNoName);
  size_t j = i;
  while (j < limit && IsDigit(text[j])) ++j;
  static constexpr std::string_view kLetters = "$%:FMNO";
  if (kLetters.find(text[i - 1]) == std::string_view::npos) return std::string(kNoName);
  return std::string(text.substr(i, j - i));
}

void PadNumber(SearchMode mode, int tallLengde, std::string& name) {
  if (tallLengde <= 0 || name == kNoName || mode == smDirectory) return;
  size_t a = 0;
  while (a < name.size() && !IsDigit(name[a])) ++a;
  size_t b = a;
  while (b < name.size() && IsDigit(name[b])) ++b;
  const size_t want = static_cast<size_t>(std::min(tallLengde, kMaxPad));
  if (b > a && b - a < want) name.insert(a, want - (b - a), '0');
}

void ZeroPadLeft(std::string& name, int len) {
  if (len > 0 && name.size() < static_cast<size_t>(len))
    name.insert(0, static_cast<size_t>(len) - name.size(), '0');
}

}  // namespace zova
