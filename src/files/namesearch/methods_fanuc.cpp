// Methods of controls that name programs by letters and words: Fanuc program
// numbers and macro calls, cassettes, X/Y/Z and I/J/K words.

#include "files/namesearch/methods.h"

namespace zova {

namespace {

// The save-mode fallbacks of the Fanuc methods: the key's own number, then a
// ":" or "O" program number, then a sequence number.
void FanucNumberFallbacks(MethodContext& c, NameResult& r, std::string_view key) {
  const Look lk = c.look.Numeric();
  if (!IsFound(r.name)) r.name = c.Search(key, key, "", lk);
  for (std::string_view letter : {":", "O", "N"})
    if (!IsFound(r.name)) r.name = c.Search(letter, letter, "", lk.KeyCheckOff());
}

}  // namespace

void MethodFanucIJK(MethodContext& c, NameResult& r) {
  StartCodeCut(c.t);
  const std::string key = AdjustProgramLetter(c, r, c.k.key);
  r.name = IJKSearch(c, false, key);
  if (c.Save()) FanucNumberFallbacks(c, r, key);
}

void MethodFanucJK(MethodContext& c, NameResult& r) {
  StartCodeCut(c.t);
  if (c.Save()) {
    r.name = kNoName;
    FanucNumberFallbacks(c, r, c.k.key);
    return;
  }
  CutAtWord('J', 'K', false, c.t);
  const std::string key = AdjustProgramLetter(c, r, c.k.key);
  const Look lk = c.look.Numeric();
  std::string j = c.Search(key, "J", "", lk), k = c.Search(key, "K", "", lk);
  if (!IsFound(j) && IsFound(k)) j.clear();
  if (!IsFound(k)) k.clear();
  r.name = j + k;
}

void MethodFanucKasett(MethodContext& c, NameResult& r) {
  r.firstPair = true;
  if (c.Save()) StartCodeCut(c.t);
  std::string code;
  switch (c.mode) {
    case smFetch:
      code = "\x1B&H";
      break;
    case smSave:
      code = ":";
      break;
    case smDirectory:
      code = "\x1B&D";
      break;
    default:
      code = "#<>#";
      break;
  }
  r.found = Holds(c.t, code) && !Holds(c.t, code + "E");
  if (!r.found && c.Save()) {
    code = "O";
    r.found = Holds(c.t, code);
  }
  if (!r.found && c.mode == smFetch) {
    code = "(F)(";
    size_t p = c.t.find(code);
    r.found = p != std::string::npos && p == c.t.find('(');
    r.firstPair = !r.found;
  }
  r.name =
      r.found ? c.Search(code, code, "", c.look.KeyCheckOff().Numeric()) : std::string(kNoName);
}

void MethodXYZ(MethodContext& c, NameResult& r) {
  r.name = XYSearch(c, false, c.k.key);
}

void MethodSiemensXYZ(MethodContext& c, NameResult& r) {
  static constexpr std::string_view kCodes[] = {"G7", "%", "G8", "G9", "G6"};
  r.found = FindKey(true, kCodes[c.mode], c.t) > 0;
  if (!r.found) {
    r.name = kNoName;
    return;
  }
  std::string_view key = Holds(c.t, "PF") ? "PF" : Holds(c.t, "%SP") ? "L" : "%";
  if (c.Save() && !Holds(c.t, "@"))
    r.name = c.Search(key, key, "", c.look.KeyCheckOff().Numeric());
  else
    r.name = XYSearch(c, true, key);
}

void MethodSiemensIJK(MethodContext& c, NameResult& r) {
  if (c.Save() && !Holds(c.t, "@")) {
    r.name = DigitsAfterLetter(c.t);
    return;
  }
  r.name = IJKSearch(c, true, c.Save() ? std::string_view("%") : std::string_view(c.k.key));
  if (c.Save() && !IsFound(r.name)) r.name = DigitsAfterLetter(c.t);
}

void MethodIJK(MethodContext& c, NameResult& r) {
  r.name = IJKSearch(c, false, c.k.key);
}

}  // namespace zova
