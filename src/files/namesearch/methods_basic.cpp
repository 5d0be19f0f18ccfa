// The plain key/start/stop methods and their numeric and two-set variants.

#include "core/numparse.h"
#include "files/namesearch/methods.h"

namespace zova {

void MethodStandard(MethodContext& c, NameResult& r) {
  r.name = c.Search(c.k.key, c.k.start1, c.k.stop1, c.look.FirstOnly(c.mode == smDirectory));
}

void MethodOkuma(MethodContext& c, NameResult& r) {
  r.name = c.Search(c.k.key, c.k.start1, c.k.stop1, c.look.FirstOnly(!c.Save()));
  if (!IsFound(r.name)) {
    r.name = c.Search("$", "$", "", c.look.KeyCheckOff().FirstOnly());
    // A stored Okuma program ends with "%"; a request from the keyboard has none.
    if (c.Save() != Holds(c.t, "%")) r.name = kNoName;
  }
  ReplaceMinExt(c, r.name);
}

void MethodDobbel(MethodContext& c, NameResult& r) {
  r.name = c.Search(c.k.key, c.k.start1, c.k.stop1);
  if (!IsFound(r.name)) {
    r.name = c.Search(c.k.key2, c.k.start2, c.k.stop2);
    r.firstPair = !IsFound(r.name);
  }
}

void MethodEnkelt(MethodContext& c, NameResult& r) {
  // A request is a short text; anything this long is a program.
  if (!c.Save() && c.t.size() >= static_cast<size_t>(c.l) + 20) {
    r.name = kNoName;
    return;
  }
  r.name = c.Search(c.k.key, c.k.start1, c.k.stop1, c.look.FirstOnly());
}

namespace {

std::string NumberName(const MethodContext& c, std::string_view key, std::string_view start,
                       std::string_view stop) {
  std::string name = c.Search(key, start, stop, c.look.Numeric());
  if (IsFound(name) && c.mode != smDirectory) ZeroPadLeft(name, c.l);
  return name;
}

}  // namespace

void MethodNummer(MethodContext& c, NameResult& r) {
  r.name = NumberName(c, c.k.key, c.k.start1, c.k.stop1);
}

void MethodNummer2(MethodContext& c, NameResult& r) {
  r.name = NumberName(c, c.k.key, c.k.start1, c.k.stop1);
  if (!IsFound(r.name)) {
    r.name = NumberName(c, c.k.key2, c.k.start2, c.k.stop2);
    r.firstPair = !IsFound(r.name);
  }
}

void MethodUniversal(MethodContext& c, NameResult& r) {
  r.name = TemplateSearch(c, c.k.key, c.k.start1);
}

void MethodUniversal2(MethodContext& c, NameResult& r) {
  r.name = TemplateSearch(c, c.k.key, c.k.start1);
  if (!IsFound(r.name)) {
    r.name = TemplateSearch(c, c.k.key2, c.k.start2);
    r.firstPair = !IsFound(r.name);
  }
}

void MethodSiemens3(MethodContext& c, NameResult& r) {
  const Look lk = c.look.Numeric().NoExtra().Max(4);
  if (c.Save()) {
    r.name = c.Search("%SP", "L", "", lk.KeyCheckOff());
    if (IsFound(r.name))
      r.name = "L" + r.name;
    else
      r.name = c.Search("%", "%", "", lk.KeyCheckOff());
    return;
  }
  r.name = c.Search(c.k.key, c.k.start1, "", lk);
  if (!IsFound(r.name)) {
    r.name = c.Search(c.k.key2, c.k.start1, "", lk);
    if (IsFound(r.name)) r.name = "L" + r.name;
  }
}

void MethodSiemens8(MethodContext& c, NameResult& r) {
  const Look lk = c.look.NoExtra();
  if (c.Save()) {
    r.name = c.Search("%", "%", "", lk.KeyCheckOff().Names().Max(7));
    return;
  }
  const Look num = lk.Numeric().Max(4);
  r.name = c.Search(c.k.key, c.k.start1, "", num);
  if (IsFound(r.name)) {
    r.name = "MPF" + r.name;
    return;
  }
  r.name = c.Search(c.k.key2, c.k.start1, "", num);
  if (IsFound(r.name)) r.name = "SPF" + r.name;
}

void MethodNummerSerie(MethodContext& c, NameResult& r) {
  r.found = false;
  r.name = kNoName;
  if (c.mode != smFetch && c.mode != smSave) return;
  r.name = c.Search(c.k.start1, c.k.start1, c.k.stop1, c.look.Numeric());
  // 64 bits: a negative threshold must not overflow the subtraction.
  long long n = ParseInteger(r.name).value_or(0);
  if (n <= 0) return;
  const long long threshold = c.in.seriesThreshold;
  if (c.mode == smFetch && n > threshold) {
    r.found = true;
    n -= threshold;
  } else if (c.Save() && n <= threshold) {
    r.found = true;
  }
  if (!r.found) return;
  r.name = std::to_string(n);
  ZeroPadLeft(r.name, c.l);
}

}  // namespace zova
