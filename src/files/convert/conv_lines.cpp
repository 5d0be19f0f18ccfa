// The conversions that filter or touch up single lines.
#include "files/convert/conv_text.h"
#include "files/convert/conversions.h"

namespace zova {

using conv::Begins;
using conv::Holds;

bool ConvertProsent(LineInput& in, LineOutput& out) {
  std::string s;
  do {
    in.ReadLine(s);
  } while (!in.Eof() && !Holds(s, '%'));
  out.Write(s);
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (!Holds(s, '#')) out.Write(s);
  }
  return out.Ok() && !in.Failed();
}

bool ConvertHakmo(LineInput& in, LineOutput& out) {
  std::string s;
  for (int n = 1; out.Ok() && !in.Eof(); ++n) {
    in.ReadLine(s);
    if (n <= 4 && Begins(s, "(+")) continue;
    out.Write(s);
  }
  return out.Ok() && !in.Failed();
}

bool ConvertOkuma3000(LineInput& in, LineOutput& out, const std::string& startCode) {
  out.PutNuls(3);
  out.Put(startCode);
  std::string s;
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (Begins(s, '\x15') || Begins(s, '*') || Begins(s, '\xA7')) continue;
    out.Write(s);
  }
  out.PutNuls(1);
  return out.Ok() && !in.Failed();
}

bool ConvertKbgCnc200(LineInput& in, LineOutput& out) {
  out.PutNuls(3);
  out.Put("\n%\n\r");
  std::string s;
  bool copying = false;
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (Begins(s, 'N')) copying = true;
    if (copying && !Holds(s, '%')) {
      out.Put(s);
      out.Put("\r\n");
    }
    if (Begins(s, '%')) copying = true;
  }
  out.Put("%\n");
  return out.Ok() && !in.Failed();
}

bool ConvertKopi(LineInput& in, LineOutput& out, ByteSink& sink) {
  if (!out.Flush()) return false;
  return in.CopyRest(sink);
}

bool ConvertSmt(LineInput& in, LineOutput& out) {
  out.PutNuls(4);
  std::string s;
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (s.size() < 2) continue;
    if (s[1] == 'N') s.erase(0, 1);
    if (!Begins(s, 'N')) continue;
    out.Put(s);
    out.Put("\n");
  }
  out.Put("\n");
  out.PutNuls(2);
  return out.Ok() && !in.Failed();
}

bool ConvertOkuma5000(LineInput& in, LineOutput& out, bool& unchanged) {
  std::string s;
  bool found = false;
  for (int n = 0; n < 3 && !found && !in.Eof(); ++n) {
    in.ReadLine(s);
    found = Holds(s, '%');
  }
  unchanged = !found;
  if (!found) return !in.Failed();
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (Holds(s, '%')) break;
    out.Write(s);
  }
  return out.Ok() && !in.Failed();
}

bool ConvertFanuc(LineInput& in, LineOutput& out) {
  std::string s;
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (Begins(s, 'O')) s[0] = ':';
    out.Write(s);
  }
  return out.Ok() && !in.Failed();
}

}  // namespace zova
