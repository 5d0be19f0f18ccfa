// Turning members: the register holds turning records (Z, X, a hiding flag)
// and the nominal register supplies nose radius and tip number.
#include <algorithm>
#include <cmath>

#include "tools/offset_writers.h"

namespace zova::offsets {

namespace {

constexpr int kEmcoLast = 20;  // the EMCO turret table ends at T20
constexpr int kLargestTurret = 9999;
// Gaps are filled only among two-digit numbers: a stray large tool number
// must not produce millions of empty entries.
constexpr long long kEmcoFillLimit = 99;

// Tip number for formats that always send one: an unknown tip is the usual
// direction of an outside turning tool.
int TipOr3(const Nose& n) {
  return n.tip == 0 ? 3 : n.tip;
}

std::string EmcoEmpty(int n) {
  return "T" + IntZ(n, 2) + " X0000.000 Z0000.000 R00.000 L0 ";
}

std::string SiemensDrei(const OffsetJob& j, const TurnRecord& t) {
  Nose nose = NoseOf(j, t);
  return "G92 T" + IntZ(t.ToolNo, 2) + " X" + FixS(0, 3, Xo(j, t)) + " Z" + FixS(0, 3, Zo(j, t)) +
         " B" + FixS(0, 3, nose.radius) + (nose.tip == 0 ? " A3" : " A" + Int(nose.tip));
}

void Body(const OffsetJob& j, const TurnRecord& t, OffsetText& o) {
  Nose nose = NoseOf(j, t);
  std::string x = FixS(0, 3, Xo(j, t)), z = FixS(0, 3, Zo(j, t));
  switch (j.Format) {
    case 6:  // SCHIESS: geometry, then the wear line cleared to the second set
      o.Line("T" + IntZ(t.ToolNo, 2) + " X" + x + " Z" + z + " R" + FixS(0, 3, nose.radius));
      o.Line("U " + FixS(0, 3, t.X2) + " W " + FixS(0, 3, t.Z2));
      break;
    case 7:  // HESSAPP: second spindle in U and W
      if (t.X2 == 0 && t.Z2 == 0)
        o.warnings.push_back(Int(t.ToolNo) + ": Mangler data for 2. spindel");
      o.Line("T" + IntZ(t.ToolNo, 2) + " X" + x + " Z" + z + " U" + FixS(0, 3, t.X2) + " W" +
             FixS(0, 3, t.Z2) + " R" + FixS(0, 3, nose.radius));
      break;
    case 8: {
      std::string s = "T" + IntZ(t.ToolNo, 4) + " X" + FixS(0, 0, Xo(j, t) * 1000) + " Z" +
                      FixS(0, 0, Zo(j, t) * 1000);
      if (std::fabs(nose.radius) > 0.0001) s += " R" + FixZ(0, 0, nose.radius * 1000);
      o.Line(s);
      break;
    }
    case 12:
      o.Line(SiemensDrei(j, t));
      break;
    case 13:  // TRAUB
      o.Line("TOOL" + Int(t.ToolNo) + " X" + x + " Z" + z + " R" + FixP(0, 3, nose.radius) + " P" +
             Int(TipOr3(nose)));
      break;
    case 20:
      o.Line("T" + IntZ(t.ToolNo, 2) + " X" + FixZ(8, 3, Xo(j, t)) + " Z" + FixZ(8, 3, Zo(j, t)) +
             " R" + FixZ(6, 3, nose.radius) + " L" + Int(nose.tip) + " ");
      break;
    case 26: {
      std::string n = Int(t.ToolNo);
      o.Line("VTOFX[" + n + "]=" + FixP(0, 3, Xo(j, t)) + " VTOFZ[" + n +
             "]=" + FixP(0, 3, Zo(j, t)) + " VNSRX[" + n + "]=" + FixP(0, 3, nose.radius) +
             " VNSRZ[" + n + "]=" + FixP(0, 3, nose.radius) + " VTLFN[" + n + "]=" + Int(nose.tip));
      break;
    }
  }
}

bool SiemensDrei32(const OffsetJob& j, OffsetText& out) {
  // Every offset up to the limit is written, so offsets of tools that left
  // the turret are cleared.
  out.Line("%");
  int limit = std::min(j.Limit, kLargestTurret), written = 0;
  auto it = j.Turns.begin();
  for (int n = 1; n <= limit; ++n) {
    while (it != j.Turns.end() && it->ToolNo < n) ++it;
    if (it != j.Turns.end() && it->ToolNo == n && !it->Hidden) {
      out.Line(SiemensDrei(j, *it));
      ++written;
    } else {
      out.Line("G92 T" + IntZ(n, 2) + " X+0.000 Z+0.000 B+0.000 A0");
    }
  }
  out.Line("M02");
  return written > 0;
}

}  // namespace

bool TurningTable(const OffsetJob& j, OffsetText& out) {
  if (j.Format == 14) return SiemensDrei32(j, out);
  switch (j.Format) {
    case 8:
      out.Line(Nul(4));
      out.Line("%");
      break;
    case 20:
      out.Line(j.ProgramNr + " ");
      break;
    case 26:
      break;
    default:
      out.Line("%");
  }
  int written = 0;
  long long next = 1;
  for (const auto& t : j.Turns) {
    if (t.Hidden) continue;
    if (j.Format == 20)
      for (; next < std::min<long long>(t.ToolNo, kEmcoFillLimit + 1); ++next)
        out.Line(EmcoEmpty(static_cast<int>(next)));
    Body(j, t, out);
    next = std::max(next, static_cast<long long>(t.ToolNo) + 1);
    ++written;
  }
  switch (j.Format) {
    case 8:
      out.Line("M02");
      out.Raw("%" + Nul(2));
      break;
    case 20:
      for (; next <= kEmcoLast; ++next) out.Line(EmcoEmpty(static_cast<int>(next)));
      break;
    case 26:
    case 13:
      out.Line("M30");
      break;
    case 6:
      out.Line("%");
      break;
    default:
      out.Line("M02");
  }
  return written > 0;
}

bool EmcoMilling(const OffsetJob& j, OffsetText& out) {
  out.Line(j.ProgramNr);
  int written = 0;
  for (const auto& t : j.Tools) {
    if (t.Flagged()) continue;
    out.Line("T" + IntZ(t.ToolNo, 2) + " X" + FixZ(8, 3, 0) + " Z" + FixZ(8, 3, Lo(j, t)) + " R" +
             FixS(6, 3, Ro(j, t)) + " L0 ");
    ++written;
  }
  return written > 0;
}

}  // namespace zova::offsets
