// The milling members whose lines are fixed: one header, one line (or two) per
// tool that passes the member's condition, one footer.
#include <algorithm>
#include <cmath>

#include "tools/offset_writers.h"

namespace zova::offsets {

namespace {

using Head = void (*)(const OffsetJob&, OffsetText&);
using Keep = bool (*)(const OffsetJob&, const ToolRecord&);
using Body = void (*)(const OffsetJob&, const ToolRecord&, OffsetText&);

struct Member {
  int format;
  Head head;
  Keep keep;
  Body body;
  Head foot;
};

bool All(const OffsetJob&, const ToolRecord&) {
  return true;
}
bool NotFlagged(const OffsetJob&, const ToolRecord& t) {
  return !t.Flagged();
}
void None(const OffsetJob&, OffsetText&) {}
void NulsPercent(const OffsetJob&, OffsetText& o) {
  o.Line(Nul(4));
  o.Line("%");
}
void M02TapeEnd(const OffsetJob&, OffsetText& o) {
  o.Line("M02");
  o.Raw("%" + Nul(2));
}
void PercentTM(const OffsetJob&, OffsetText& o) {
  o.Line("%TM");
}
void Percent(const OffsetJob&, OffsetText& o) {
  o.Line("%");
}

const Member kMembers[] = {
    {1, None, All,
     [](const OffsetJob&, const ToolRecord& t, OffsetText& o) {
       o.Line("T" + IntZ(t.ToolNo, 4) + "L" + FixS(10, 3, t.L()) + "D" + FixS(9, 3, t.R()));
     },
     [](const OffsetJob&, OffsetText& o) { o.Line("M02"); }},
    {9, NulsPercent, NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("T" + IntZ(t.ToolNo, 4) + " L" + FixS(0, 0, Lo(j, t) * 1000) + " D" +
              FixS(0, 0, Ro(j, t) * 1000));
     },
     M02TapeEnd},
    {10,
     [](const OffsetJob&, OffsetText& o) {
       o.Line(Nul(10));
       o.Line("%");
     },
     NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       std::string s = "T" + IntZ(t.ToolNo, 4) + " L" + FixS(0, 0, Lo(j, t) * 100);
       if (std::fabs(t.R()) > 0.0005) s += " D" + FixS(0, 0, Ro(j, t) * 100);
       o.Line(s);
     },
     [](const OffsetJob&, OffsetText& o) {
       o.Line("T0099 L+0");
       o.Raw("%" + Nul(2));
     }},
    {11, [](const OffsetJob&, OffsetText& o) { o.Line(Nul(4) + "% T O"); },
     [](const OffsetJob&, const ToolRecord& t) { return !t.Flagged() && t.ToolNo < 10000; },
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("G92 D" + Int(t.ToolNo) + " D" + FixS(0, 3, Lo(j, t)) + " P" + FixS(0, 3, Ro(j, t)));
     },
     [](const OffsetJob&, OffsetText& o) { o.Line("M02"); }},
    {16, NulsPercent, NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("T" + IntZ(t.ToolNo, 4) + " D" + FixP(0, 3, Ro(j, t)) + " P" + Int(t.ToolNo % 100) +
              " L" + FixP(0, 3, Lo(j, t)));
     },
     [](const OffsetJob&, OffsetText& o) { o.Raw("%" + Nul(2)); }},
    {17,
     [](const OffsetJob&, OffsetText& o) {
       o.Line("%");
       o.Line("G71");
     },
     NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("H" + IntZ(t.ToolNo, 3) + "/" + FixP(10, 3, Lo(j, t)));
       o.Line("D" + IntZ(t.ToolNo, 3) + "/" + FixP(10, 3, Ro(j, t)));
     },
     [](const OffsetJob&, OffsetText& o) { o.Raw("%"); }},
    {24, PercentTM, NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("T" + Int(t.ToolNo) + " L" + FixP(0, 3, Lo(j, t)) + " R" + FixP(0, 3, Ro(j, t)) +
              " R1=0 G0");
     },
     None},
    {25, None, NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("VTOFX[" + Int(t.ToolNo) + "]=" + FixP(0, 3, Ro(j, t)) + " VTOFZ[" + Int(t.ToolNo) +
              "]=" + FixP(0, 3, Lo(j, t)));
     },
     [](const OffsetJob&, OffsetText& o) { o.Line("M30"); }},
    {27, None, NotFlagged,
     [](const OffsetJob&, const ToolRecord& t, OffsetText& o) {
       o.Line("T" + IntZ(t.ToolNo, 2) + " R" + FixS(0, 3, t.R()) + " L" + FixS(0, 3, t.L()));
       if (t.ToolNo % 6 == 0) o.Line("");
     },
     [](const OffsetJob&, OffsetText& o) {
       o.Line("");
       o.Line("");
     }},
    {30, Percent, All,
     [](const OffsetJob&, const ToolRecord& t, OffsetText& o) {
       o.Line("D" + PadR(Int(t.ToolNo), 3) + " L" + FixS(10, 3, t.L()) + " R" + FixS(10, 3, t.R()) +
              " @+    0.    H+       0");
     },
     None},
    {34, Percent, NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       o.Line("G10L41T" + Int(t.ToolNo) + "E" + FixP(0, 3, Ro(j, t)) + "H" + FixP(0, 3, Lo(j, t)));
     },
     [](const OffsetJob&, OffsetText& o) { o.Line(""); }},
    {42, PercentTM, NotFlagged,
     [](const OffsetJob& j, const ToolRecord& t, OffsetText& o) {
       int tool = 0, pocket = 0;
       ToolAndPocket(j, t.ToolNo, tool, pocket);
       o.Line("P" + Int(pocket) + " T" + Int(tool) + " L" + FixP(0, 3, Lo(j, t)) + " R" +
              FixP(0, 3, Ro(j, t)) + " S0 M0");
     },
     None},
};

std::string EmptyEntry(int n) {
  return "T" + Int(n) + " L+0,000 R+0,000";
}

}  // namespace

bool MillingTable(const OffsetJob& j, OffsetText& out) {
  for (const auto& m : kMembers) {
    if (m.format != j.Format) continue;
    m.head(j, out);
    int written = 0;
    for (const auto& t : j.Tools) {
      if (!m.keep(j, t)) continue;
      m.body(j, t, out);
      ++written;
    }
    m.foot(j, out);
    return written > 0;
  }
  return false;
}

// Tables of a central tool memory: every number from 0 to the limit has an
// entry, so a missing or skipped tool is written empty.
bool HeidenhainCentral(const OffsetJob& j, OffsetText& out) {
  constexpr int kLargestTable = 32767;  // a typed-in limit must not run away
  int limit = std::min(j.Limit, kLargestTable);
  out.Line("BEGIN TOOL MM");
  int next = 0;
  for (const auto& t : j.Tools) {
    if (t.Flagged() || t.ToolNo > limit || t.ToolNo < next) continue;
    for (; next < t.ToolNo; ++next) out.Line(EmptyEntry(next));
    out.Line(DecimalComma("T" + Int(t.ToolNo) + " L" + FixS(0, 3, Lo(j, t)) + " R" +
                          FixS(0, 3, Ro(j, t))));
    next = t.ToolNo + 1;
  }
  for (; next <= limit; ++next) out.Line(EmptyEntry(next));
  out.Line("END TOOL MM");
  return true;
}

}  // namespace zova::offsets
