// The conversions that send only the block body of a program: NJ, NJBTR,
// NJNC and NJCINCI.
#include "files/convert/conv_text.h"
#include "files/convert/conversions.h"

namespace zova {

using conv::Begins;
using conv::Holds;

bool IsBlockLine(const std::string& s) {
  if (s.size() < 2 || !conv::IsDigit(s[1])) return false;
  return s[0] == 'N' || s[0] == 'T' || s[0] == 'H' || s[0] == '&';
}

bool ConvertNJ(LineInput& in, LineOutput& out, bool btr) {
  std::string s;
  while (!in.Eof() && !(Holds(s, "#C#") || Begins(s, 'N') || Holds(s, '%'))) in.ReadLine(s);
  if (!Begins(s, 'N')) s = "#";
  if (!btr) out.Write("\r%");
  while (out.Ok() && !in.Eof() && !Holds(s, "#C#")) {
    if (!Holds(s, '#')) out.Write(s);
    in.ReadLine(s);
    // A lone control character at the very end is a tape end mark, not a block.
    if (in.Eof() && s.size() == 1 && static_cast<unsigned char>(s[0]) < 30) s = "#";
    if (btr && Holds(s, '%')) s = "#C#";
  }
  if (Begins(s, 'N')) out.Write(s);
  if (!btr) out.Write("%");
  return out.Ok() && !in.Failed();
}

namespace {

// Reads tolerant lines until a "#C#" line or a block line, or the input ends.
void SkipToBlockTolerant(LineInput& in, std::string& s) {
  do {
    in.ReadLineTolerant(s);
  } while (in.MoreTolerant() && !Holds(s, "#C#") && !IsBlockLine(s));
}

}  // namespace

bool ConvertNJNC(LineInput& in, LineOutput& out, bool crLineEnds) {
  const std::string_view eol = crLineEnds ? "\r" : "\n";
  std::string s;
  SkipToBlockTolerant(in, s);
  while (out.Ok() && in.MoreTolerant()) {
    if (IsBlockLine(s))
      s.append(eol);
    else
      s.clear();
    out.PutNuls(19);
    out.Put(eol);
    out.Put("%");
    out.Put(eol);
    while (out.Ok() && in.MoreTolerant() && !Holds(s, "#C#") && !Begins(s, '%')) {
      out.Put(s);
      out.Put(eol);
      in.ReadLineTolerant(s);
    }
    out.Put("%");
    out.PutNuls(2);
    SkipToBlockTolerant(in, s);
  }
  return out.Ok() && !in.Failed();
}

bool ConvertNJCinci(LineInput& in, LineOutput& out, bool crLineEnds) {
  const std::string_view eol = crLineEnds ? "\r" : "\r\n";
  std::string s;
  do {
    in.ReadLine(s);
  } while (!in.Eof() && !Holds(s, "#C#") && !IsBlockLine(s));
  if (IsBlockLine(s))
    s.append(eol);
  else
    s.clear();
  s.insert(s.begin(), '\0');
  while (out.Ok() && !in.Eof() && !Holds(s, "#C#")) {
    out.Put(s);
    out.Put(eol);
    in.ReadLine(s);
  }
  out.PutNuls(10);
  return out.Ok() && !in.Failed();
}

}  // namespace zova
