// The conversions that use the program's file name or numbers: EMCO,
// KOMMENTARER and SIEMENSCLEAR.
#include <algorithm>

#include "core/latin1.h"
#include "core/paths.h"
#include "files/convert/conv_text.h"
#include "files/convert/conversions.h"

namespace zova {

using conv::Begins;
using conv::Holds;
using conv::IsDigit;

namespace {

void EraseAll(std::string& s, char a, char b) {
  s.erase(std::remove_if(s.begin(), s.end(), [&](char c) { return c == a || c == b; }), s.end());
}

std::string ForwardSlashes(std::string s) {
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

}  // namespace

void RemoveCommentsInPlace(std::string& s) {
  size_t w = 0;
  bool inComment = false;
  for (char c : s) {
    if (inComment)
      inComment = c != ')';
    else if (c == '(')
      inComment = true;
    else
      s[w++] = c;
  }
  s.resize(w);
}

std::string RemoveComments(const std::string& s) {
  std::string r = s;
  RemoveCommentsInPlace(r);
  return r;
}

void SpaceBlockInto(const std::string& s, std::string& r) {
  r.clear();
  if (s.empty()) return;
  r.push_back(s[0]);
  bool first = true;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] >= 'A' && s[i] <= 'Z') {
      r.append(first ? "  " : " ");
      first = false;
    }
    r.push_back(s[i]);
  }
}

std::string SpaceBlock(const std::string& s) {
  std::string r;
  SpaceBlockInto(s, r);
  return r;
}

std::string EmcoProgramNumber(const std::string& fileName) {
  std::string digits;
  for (char c : StripExt(FileNameOf(fileName)))
    if (IsDigit(c)) digits.push_back(c);
  if (digits.empty()) return "0005";
  return digits.size() > 4 ? digits.substr(digits.size() - 4) : digits;
}

bool ConvertEmco(LineInput& in, LineOutput& out, const std::string& fileName) {
  std::string s;
  auto isHead = [&] { return Begins(s, '%') || Begins(s, 'O') || Begins(s, 'N'); };
  do {
    in.ReadLine(s);
    EraseAll(s, ' ', '\0');
  } while (!isHead() && !in.Eof());
  s = RemoveComments(s);
  if (Begins(s, 'N')) {
    out.Write("%" + EmcoProgramNumber(fileName) + " ");
    std::string spaced = SpaceBlock(s);
    if (Holds(spaced, ' ')) out.Write(spaced);
  } else if (Begins(s, '%') || Begins(s, 'O')) {
    out.Write(s + " ");
  }
  std::string spaced;
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    RemoveCommentsInPlace(s);
    EraseAll(s, ' ', '%');
    if (!Begins(s, 'N')) continue;
    SpaceBlockInto(s, spaced);
    if (Holds(spaced, ' ')) out.Write(spaced);
  }
  return out.Ok() && !in.Failed();
}

std::string CommentTag(const std::string& fileName, const std::string& programDir,
                       const std::string& programExt) {
  std::string tag = ForwardSlashes(fileName);
  std::string dir = ForwardSlashes(programDir);
  if (!dir.empty() && StartsWithNoCase(tag, dir)) tag.erase(0, dir.size());
  if (!programExt.empty() && EndsWithNoCase(tag, programExt))
    tag.erase(tag.size() - programExt.size());
  if (tag.size() >= 2 && tag[1] == ':') tag.erase(0, 2);
  return "(" + tag + ")";
}

namespace {

// The first line with the tag worked in; reads the second line when the
// first has no comment to put the tag before. Written in pieces, so a huge
// line is never copied.
void WriteTaggedFirstLine(LineInput& in, LineOutput& out, std::string& s, const std::string& tag) {
  if (Begins(s, "MPF") || Begins(s, "SPF")) s.insert(0, "%");
  std::string next;
  std::string_view head = s, rest;
  size_t paren = s.find('(');
  if (paren == std::string::npos) {
    if (!in.Eof()) in.ReadLine(next);
    if (next != tag) rest = next;
  } else {
    head = head.substr(0, paren);
    rest = std::string_view(s).substr(paren);
  }
  out.Put(head);
  if (head.starts_with("%MPF") || head.starts_with("%SPF")) out.Put("\r\n");
  out.Put(tag);
  if (!rest.empty()) {
    out.Put("\r\n");
    out.Put(rest);
  }
  out.Put("\r\n");
}

}  // namespace

bool ConvertKommentarer(LineInput& in, LineOutput& out, const ConvertOptions& options) {
  std::string s;
  in.ReadLine(s);
  if (s.size() < 2) {
    if (!s.empty()) out.Write(s);
    in.ReadLine(s);
  }
  std::string tag = CommentTag(options.fileName, options.programDir, options.programExt);
  if (Holds(s, tag))
    out.Write(s);
  else
    WriteTaggedFirstLine(in, out, s, tag);
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (!Holds(s, '#')) out.Write(s);
  }
  return out.Ok() && !in.Failed();
}

std::string SiemensClearEntry(const std::string& line) {
  std::string s = line;
  EraseAll(s, ' ', ' ');
  if (s.empty()) return s;
  size_t end = 1;
  while (end < s.size() && IsDigit(s[end])) ++end;
  s.resize(end);
  if (s[0] == 'L' && s.size() >= 3 && s.ends_with("00")) s.resize(s.size() - 2);
  return s;
}

bool ConvertSiemensClear(LineInput& in, LineOutput& out, ByteSink& sink) {
  out.Write("%CL");
  std::string s;
  while (out.Ok() && !in.Eof()) {
    in.ReadLine(s);
    if (!(Begins(s, '%') || Begins(s, 'L')) || s == "%SP" || s == "%CL") continue;
    std::string entry = SiemensClearEntry(s);
    if (entry.size() > 1) out.Write(entry);
  }
  out.Write("M30");
  out.Write("");
  if (!out.Flush() || in.Failed() || !in.Rewind()) return false;
  return in.CopyRest(sink);
}

}  // namespace zova
