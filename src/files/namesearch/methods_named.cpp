// Methods of controls that write names in brackets, comments, fields and
// codes: parentheses codes, Okuma, Philips, Mazatrol, FAPT, Cincinatti and
// Siemens program names.

#include "files/namesearch/methods.h"

namespace zova {

void MethodParenteser(MethodContext& c, NameResult& r) {
  ParenSearch(c, r, true, c.in.bareTall);
}

void MethodOkumaParen(MethodContext& c, NameResult& r) {
  ParenSearch(c, r, false, c.in.bareTall);
  if (IsFound(r.name)) return;
  const Look lk = c.look.KeyCheckOff().FirstOnly();
  if (c.mode == smDirectory && !Holds(c.t, "%") && Holds(c.t, "$DIR")) {
    r.found = true;
    r.name = c.Search("$DIR", "$DIR", "", lk);
  } else {
    r.name = c.Search("$", "$", "", lk);
  }
  if (c.Save() != Holds(c.t, "%")) r.name = kNoName;
  ReplaceMinExt(c, r.name);
}

void MethodPhilips(MethodContext& c, NameResult& r) {
  const std::string base = Holds(c.t, "E100=") ? "E100=" : "E97=";
  std::string code;
  switch (c.mode) {
    case smFetch:
      code = base + "1";
      break;
    case smSave:
      code = "E9";
      break;
    case smDirectory:
      code = base + "2";
      break;
    case smPrint:
      code = base + "5";
      break;
    default:
      code = "#";
      break;
  }
  if (!c.Save() && !Holds(c.t, code)) {
    r.name = kNoName;
    return;
  }
  const Look lk = c.look.Numeric().FirstOnly();
  std::string dir = c.Search(code, "E99=", "", lk);
  dir = IsFound(dir) ? dir + "\\" : "";
  std::string nm = c.Search(code, "E98=", "", lk);
  if (IsFound(nm)) {
    std::string ext = c.Search(code, "E96=", "", lk);
    if (IsFound(ext)) nm += ext;
  }
  if (c.Save()) {
    const Look plain = lk.KeyCheckOff();
    if (!IsFound(nm)) nm = c.Search("%", "%", "", plain);
    if (!IsFound(nm)) nm = c.Search("PM", "PM", "", plain);
    if (!IsFound(nm)) nm = c.Search("N", "N", "", plain.FirstOnly(false));
  }
  r.name = dir + nm;
}

void MethodMazatrolLangt(MethodContext& c, NameResult& r) {
  const std::string_view key = c.Save() ? std::string_view("O") : std::string_view(c.k.key);
  r.name = MazatrolSearch(c, key, c.l);
  if (!c.Save()) return;
  // "MG3-" outside a ":" name is the header of the Mazatrol file, not its name.
  const bool inParen = MazatrolInParen(c);
  if (!IsFound(r.name) || (!inParen && r.name.starts_with("MG3-")))
    r.name = c.Search("O", "O", "", c.look.Numeric().FirstOnly());
}

void MethodMazatrolKort(MethodContext& c, NameResult& r) {
  if (c.Save()) {
    r.name = c.Search("O", "O", "", c.look.Numeric().FirstOnly());
    return;
  }
  const uint8_t maxLen = c.in.bareTall ? c.l : static_cast<uint8_t>(2 * c.l + 1);
  r.name = MazatrolSearch(c, c.k.key, maxLen);
  if (IsFound(r.name) && !Holds(r.name, "/") && !Holds(r.name, "\\")) ZeroPadLeft(r.name, c.l);
}

void MethodKommentarer(MethodContext& c, NameResult& r) {
  if (!c.Save()) {
    r.name = c.Search(c.k.key, "(", ")", c.look.FirstOnly());
    return;
  }
  r.name = c.Search("(", "(", ")");
  if (!IsFound(r.name)) r.name = c.Search(c.k.key, c.k.start1, c.k.stop1, c.look.Numeric());
  if (!IsFound(r.name)) r.name = DigitsAfterLetter(c.t);
}

void MethodFaptKommentarer(MethodContext& c, NameResult& r) {
  if (!c.Save()) {
    r.name = c.Search(c.k.key, "(", ")", c.look.FirstOnly());
    return;
  }
  r.name = c.Search("(", "(", ")", c.look.KeyCheckOff());
  if (!IsFound(r.name)) r.name = FaptBlocks(c, r);
  if (!IsFound(r.name)) r.name = c.Search(c.k.key, c.k.start1, c.k.stop1, c.look.Numeric());
  if (!IsFound(r.name)) r.name = DigitsAfterLetter(c.t);
}

void MethodCincinatti(MethodContext& c, NameResult& r) {
  const Look lk = c.look.KeyCheckOff().FirstOnly();
  if (c.Save()) {
    const std::string nameTag = "NAME=\"", pathTag = "PATH=\"";
    r.name = c.Search(nameTag, nameTag, "\"", lk);
    if (IsFound(r.name)) {
      std::string path = c.Search(pathTag, pathTag, "\"", lk);
      path = IsFound(path) && path != "PATHALL" ? path + "\\" : "";
      r.name = path + r.name;
    }
    r.found = IsFound(r.name);
    return;
  }
  const std::string tag = "NAME=\"" + c.k.key + "\"";
  r.name = c.Search(tag, "(MSG,", ")", lk);
  const size_t at = c.t.find(tag);
  r.found = at != std::string::npos;
  // Parentheses that give no name, such as "()", do not end the request: the
  // name may be in later ones.
  if (r.found && !IsFound(r.name))
    r.name = SearchName(std::string_view(c.t).substr(at), tag, "(", ")", lk.FirstOnly(false));
}

void MethodSiemensN(MethodContext& c, NameResult& r) {
  if (Holds(c.t, ")(")) {
    ParenSearch(c, r, false, false);
    return;
  }
  const Look lk = c.look.KeyCheckOff().Names();
  if (!c.Save()) {
    r.name = c.Search(c.k.key, "(", ")", lk);
    return;
  }
  const bool mainProgram = !Holds(c.t, "_SPF ");
  r.firstPair = mainProgram;
  const std::string_view stop = mainProgram ? "_MPF " : "_SPF ";
  // Each pair of blanks becomes one, left to right without rescanning.
  std::string single;
  for (size_t i = 0; i < c.t.size(); ++i) {
    single += c.t[i];
    if (c.t[i] == ' ' && i + 1 < c.t.size() && c.t[i + 1] == ' ') ++i;
  }
  c.t = std::move(single);
  if (Holds(c.t, "% O"))
    r.name = c.Search("% O", "% O", "", lk);
  else
    r.name = c.Search("%_N_", "%_N_", stop, lk);
}

}  // namespace zova
