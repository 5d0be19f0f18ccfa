// Building blocks shared by several name search methods.

#include "files/namesearch/methods.h"

namespace zova {

namespace {

std::string_view ParenCode(SearchMode mode) {
  switch (mode) {
    case smFetch:
      return "(L)(";
    case smSave:
      return "(S)(";
    case smDirectory:
      return "(D)(";
    case smPrint:
      return "(P)(";
    default:
      return "(T)(";
  }
}

// ")(S)(" is the second half of another code, not a code of its own.
bool ParenCodePresent(std::string_view t, std::string_view code) {
  size_t p = t.find(code);
  return p != std::string_view::npos && !(p > 0 && t[p - 1] == ')');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

char HexPairChar(std::string_view pair) {
  if (pair.size() != 2) return '!';
  int hi = HexDigit(pair[0]), lo = HexDigit(pair[1]);
  if (hi < 0 || lo < 0) return '!';
  return static_cast<char>(hi * 16 + lo);
}

}  // namespace

void ParenSearch(MethodContext& c, NameResult& r, bool fallback, bool numeric) {
  r.firstPair = true;
  std::string code(ParenCode(c.mode));
  bool present = ParenCodePresent(c.t, code);
  r.found = present;
  if (!present && c.mode == smFetch) {
    code = "(F)(";
    present = ParenCodePresent(c.t, code);
    r.found = present;
    r.firstPair = !present;
  }
  if (!present && c.Save()) {
    code = "(E)(";
    present = ParenCodePresent(c.t, code);
    r.found = present;
    r.extended = present;
  }
  r.name = kNoName;
  if (present) {
    Look lk = c.look.KeyCheckOff();
    lk.numericOnly = numeric;
    // Room for a directory and a name; the count is 8 bits wide.
    std::string dir = c.Search(code, code, ")", lk.Max(static_cast<uint8_t>(2 * c.l)));
    if (!IsFound(dir)) dir.clear();
    const std::string key = code + dir + ")(";
    r.name = c.Search(key, key, ")", lk);
    if (!dir.empty()) {
      if (IsFound(r.name))
        r.name = dir + "\\" + r.name;
      else if (c.mode == smDirectory)
        r.name = dir + "\\";
      else
        r.name = dir;
    }
  }
  if (fallback && c.Save() && !IsFound(r.name)) r.name = DigitsAfterLetter(c.t);
}

std::string IJKSearch(MethodContext& c, bool lastLineOnly, std::string_view key) {
  if (FindKey(c.look.checkDigitKey, key, c.t) == 0) return std::string(kNoName);
  std::string t = c.t;
  CutAtWord('J', 'K', lastLineOnly, t);
  const Look lk = c.look.Numeric();
  auto word = [&](std::string_view letter) { return SearchName(t, letter, letter, "", lk); };
  std::string i = word("I"), j = word("J"), k = word("K");
  std::string f = word("F"), q = word("Q"), rr = word("R");
  i = IsFound(i) ? i + "\\" : "";
  if (!IsFound(j) && IsFound(k)) j.clear();
  for (std::string* s : {&k, &f, &q, &rr})
    if (!IsFound(*s)) s->clear();
  if (!Holds(t, "J") && !Holds(t, "K")) return std::string(kNoName);
  return i + j + k + f + q + rr;
}

std::string XYSearch(MethodContext& c, bool lastLineOnly, std::string_view key) {
  if (FindKey(c.look.checkDigitKey, key, c.t) == 0) return std::string(kNoName);
  std::string t = c.t;
  CutAtWord('X', 'Y', lastLineOnly, t);
  const Look lk = c.look.Numeric();
  auto word = [&](std::string_view letter) { return SearchName(t, letter, letter, "", lk); };
  std::string k = word("K"), z = word("Z");
  if (!IsFound(k)) k.clear();
  z = IsFound(z) ? z + k + "\\" : "";
  std::string x = word("X"), y = word("Y");
  if (!IsFound(x) && IsFound(y)) x.clear();
  if (!IsFound(y)) y.clear();
  std::string i = word("I"), j = word("J");
  if (IsFound(i)) x += i;
  if (IsFound(j)) y += j;
  std::string name = z + x + y;
  if (c.Save() && !IsFound(name)) name = SearchName(t, key, key, "", lk);
  return name;
}

std::string AdjustProgramLetter(const MethodContext& c, NameResult& r, std::string_view key) {
  std::string k(key);
  const bool colonLine = Holds(c.t, " :"), oLine = Holds(c.t, " O");
  if (colonLine && !oLine && !Holds(k, ":")) {
    size_t p = k.find('O');
    if (p != std::string::npos) k[p] = ':';
  } else if (oLine && !colonLine && !Holds(k, "O")) {
    size_t p = k.find(':');
    if (p != std::string::npos) k[p] = 'O';
  }
  r.found = !k.empty() && Holds(c.t, k);
  return k;
}

void StartCodeCut(std::string& t) {
  size_t p = t.find('\x12');
  if (p != std::string::npos) t.erase(0, p);
}

std::string TemplateSearch(const MethodContext& c, std::string_view key, std::string_view tmpl) {
  std::string_view k = Holds(key, "#") ? key.substr(0, 1) : key;
  std::string dir, namePart;
  std::string_view rest = tmpl;
  for (;;) {
    size_t hash = rest.find('#'), slash = rest.find('\\');
    if (hash == std::string_view::npos && slash == std::string_view::npos) break;
    const bool isName =
        hash != std::string_view::npos && (slash == std::string_view::npos || hash < slash);
    const size_t m = isName ? hash : slash;
    std::string_view start = rest.substr(0, m);
    rest = rest.substr(m + 1);
    std::string_view stop = rest.substr(0, rest.find_first_of("#\\"));
    std::string part = c.Search(k, start, stop);
    if (!IsFound(part)) continue;
    if (isName)
      namePart += part;
    else
      dir += part + "\\";
  }
  if (namePart.empty()) namePart = kNoName;
  return dir + namePart;
}

std::string FaptBlocks(const MethodContext& c, NameResult& r) {
  const std::string_view t2 = c.t2;
  size_t at = t2.find("N5545");
  if (at == std::string_view::npos) return std::string(kNoName);
  std::string name;
  // Offsets into T2 instead of copies keep a long run of blocks linear; the
  // first "P" is remembered until the walk passes it.
  size_t nextP = t2.find('P', at);
  for (;;) {
    if (nextP != std::string_view::npos && nextP < at) nextP = t2.find('P', at);
    const size_t before = name.size();
    const bool haveP = nextP != std::string_view::npos;
    if (haveP) {
      std::string_view hex = t2.substr(nextP + 1).substr(0, 8);
      // The pairs are written least significant first.
      for (int pair = 3; pair >= 0; --pair)
        name += HexPairChar(hex.substr(std::min<size_t>(hex.size(), 2 * pair), 2));
    }
    size_t cut = name.find_first_of(std::string_view(" !\0", 3), before);
    if (cut != std::string::npos) {
      name.resize(cut);
      break;
    }
    if (!haveP) break;
    at = std::min(at + 10, t2.size());
    std::string_view window = t2.substr(at, 49);
    size_t n = window.find('N');
    if (n == std::string_view::npos || window.substr(n, 4) != "N554") break;
    at += n;
  }
  FilterName(c.in.bareTall, &c.in.extraChars, name);
  if (name.size() > c.l) name.resize(c.l);
  if (name.empty()) name = kNoName;
  r.firstPair = !IsFound(name);
  return name;
}

void ReplaceMinExt(const MethodContext& c, std::string& name) {
  size_t p = name.find(".MIN");
  if (p != std::string::npos && c.in.programExt != ".MIN") {
    name.resize(p);
    name += c.in.programExt;
    // "$.MIN" with an empty extension would store a file without a name.
    if (name.empty()) name = kNoName;
  }
}

namespace {

// The first ":" lies between the first "(" and the first ")".
bool ColonInParen(std::string_view t) {
  size_t colon = t.find(':'), open = t.find('('), close = t.find(')');
  return colon != std::string_view::npos && open != std::string_view::npos &&
         close != std::string_view::npos && colon > open && colon < close;
}

}  // namespace

std::string MazatrolSearch(const MethodContext& c, std::string_view key, uint8_t maxLen) {
  const Look lk = c.look.FirstOnly().Max(maxLen);
  if (Holds(c.t, "O") && ColonInParen(c.t)) return c.Search(key, ":", ")", lk);
  return c.Search(key, "(", ")", lk);
}

bool MazatrolInParen(const MethodContext& c) {
  return ColonInParen(c.t);
}

}  // namespace zova
