// Heidenhain members: "TOOL DEF" values rewritten in the program being sent,
// and the TNC tool tables (".T" files) of the 400 series.
#include <algorithm>

#include "tools/offset_writers.h"

namespace zova::offsets {

namespace {

struct Column {
  const char* title;  // its width is the column's width
  int model;          // lowest table layout that has it
};

// Layout 0: TNC 407; 1: TNC 415 and 426 (adds the documentation and
// touch-probe columns); 2: TNC 430 (adds the locking column ST).
const Column kColumns[] = {
    {"T    ", 0},
    {"NAME             ", 0},
    {"L           ", 0},
    {"R           ", 0},
    {"R2          ", 0},
    {"DL       ", 0},
    {"DR       ", 0},
    {"DR2      ", 0},
    {"TL ", 0},
    {"RT  ", 0},
    {"ST  ", 2},
    {"TIME1 ", 0},
    {"TIME2 ", 0},
    {"CUR.TIME ", 0},
    {"DOC              ", 1},
    {"CUT. ", 1},
    {"LTOL   ", 1},
    {"RTOL   ", 1},
    {"DIRECT. ", 1},
    {"PLC       ", 1},
    {"TT:L-OFFS   ", 1},
    {"TT:R-OFFS   ", 1},
    {"LBREAK ", 1},
    {"RBREAK", 1},
};

int LayoutOf(int format) {
  switch (format) {
    case 22:
      return 0;
    case 28:
      return 2;
    default:
      return 1;
  }
}

std::string Value(const OffsetJob& j, const ToolRecord& t, std::string_view title) {
  std::string_view k = title.substr(0, title.find(' '));
  if (k == "T") return Int(t.ToolNo);
  if (k == "NAME" || k == "TL" || k == "RT" || k == "ST" || k == "DOC") return "";
  if (k == "L") return FixS(0, 3, Lo(j, t));
  if (k == "R") return FixS(0, 3, Ro(j, t));
  if (k == "R2") return FixS(0, 3, t.Reals[kR2]);
  if (k == "DL") return FixS(0, 3, t.Reals[kDL]);
  if (k == "DR") return FixS(0, 3, t.Reals[kDR]);
  if (k == "TIME1") return FixZ(0, 0, t.Reals[kLife]);
  if (k == "CUR.TIME") return FixZ(0, 0, t.Reals[kUsed]);
  if (k == "TIME2" || k == "CUT.") return "0";
  if (k == "DIRECT.") return "-";
  if (k == "PLC") return "%00000000";
  return "+0";
}

const ToolRecord* FindTool(const std::vector<ToolRecord>& tools, long long no) {
  auto it = std::lower_bound(tools.begin(), tools.end(), no,
                             [](const ToolRecord& t, long long n) { return t.ToolNo < n; });
  return it != tools.end() && it->ToolNo == no ? &*it : nullptr;
}

}  // namespace

bool HeidenhainTable(const OffsetJob& j, OffsetText& out) {
  int layout = LayoutOf(j.Format);
  out.Line("BEGIN " + j.TableName + ".T MM");
  std::string head;
  for (const auto& c : kColumns)
    if (c.model <= layout) head += c.title;
  out.Line(head);
  int written = 0;
  for (const auto& t : j.Tools) {
    if (t.Flagged()) continue;
    std::string row;
    for (const auto& c : kColumns) {
      if (c.model > layout) continue;
      int w = static_cast<int>(std::string_view(c.title).size());
      std::string v = Value(j, t, c.title);
      // Columns are separated by at least one blank; the last one is not padded.
      row += c.title[w - 1] == ' ' ? PadR(v, w - 1) + " " : v;
    }
    out.Line(row);
    ++written;
  }
  out.Line("[END]");
  return written > 0;
}

}  // namespace zova::offsets

namespace zova {

std::string RewriteToolDef(std::string_view line, const std::vector<ToolRecord>& tools,
                           double lOffset, double rOffset) {
  using namespace offsets;
  constexpr std::string_view kKey = "TOOL DEF";
  size_t at = line.find(kKey);
  if (at == std::string_view::npos) return std::string(line);
  size_t p = at + kKey.size();
  while (p < line.size() && line[p] == ' ') ++p;
  size_t digits = p;
  long long no = 0;
  while (p < line.size() && line[p] >= '0' && line[p] <= '9' && p - digits < 10)
    no = no * 10 + (line[p++] - '0');
  if (p == digits) return std::string(line);
  const ToolRecord* t = FindTool(tools, no);
  if (!t) return std::string(line);
  std::string_view rest = line.substr(p);
  bool hasL = rest.find('L') != std::string_view::npos;
  bool hasR = rest.find('R') != std::string_view::npos;
  if (!hasL && !hasR) return std::string(line);
  std::string values;
  if (hasL) values += " L" + FixS(0, 3, t->L() + lOffset);
  if (hasR) values += " R" + FixS(0, 3, t->R() + rOffset);
  return std::string(line.substr(0, p)) + DecimalComma(values);
}

}  // namespace zova
