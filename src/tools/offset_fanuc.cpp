// The Fanuc "G10" family and the Siemens 8M writer that shares its numbering.
#include "tools/offset_writers.h"

namespace zova::offsets {

namespace {

void Header(const OffsetJob& j, OffsetText& out) {
  out.Line("%");
  if (!j.ProgramNr.empty()) out.Line(j.ProgramNr);
}

void Footer(const OffsetJob& j, OffsetText& out) {
  if (!j.ProgramNr.empty()) out.Line("M30");
  out.Line("%");
}

void NoData(OffsetText& out) {
  out.Line("(INGEN DATA)");
  out.Line("M30");
  out.Line("%");
}

// Length offsets are numbered as the tool, radius offsets after the pockets;
// a tool number below 1 has no offset number.
bool HasLength(const OffsetJob& j, int no) {
  return no >= 1 && no <= j.Pockets;
}
bool HasRadius(const OffsetJob& j, int no) {
  return no >= 1 && no <= static_cast<long long>(j.Limit) - j.Pockets;
}

}  // namespace

bool FanucG10(const OffsetJob& j, OffsetText& out) {
  Header(j, out);
  if (j.Tools.empty()) {
    NoData(out);
    return true;
  }
  for (const auto& t : j.Tools) {
    if (!HasLength(j, t.ToolNo)) continue;
    out.Line("G10 G90 P" + IntZ(t.ToolNo, 2) + " R" + FixZ(0, j.Decimals, t.L() * j.Mult));
    if (!HasRadius(j, t.ToolNo)) continue;
    double r = j.Format == kToolFanucLength ? 0 : t.R() * j.Mult;
    out.Line("G10 G90 P" + IntZ(static_cast<long long>(t.ToolNo) + j.Pockets, 2) + " R" +
             FixZ(0, j.Decimals, r));
  }
  Footer(j, out);
  return true;
}

bool Fanuc15M(const OffsetJob& j, OffsetText& out) {
  // Length, length wear, radius and radius wear sit in tables of their own,
  // so every P is the tool number. Without Lommer / ToolGrense (0) a table
  // has no upper bound.
  Header(j, out);
  if (j.Tools.empty()) {
    NoData(out);
    return true;
  }
  for (const auto& t : j.Tools) {
    int n = t.ToolNo;
    if (n < 1 || (j.Pockets > 0 && n > j.Pockets)) continue;
    std::string p = IntZ(n, 3);
    out.Line("G10 G90 L10 P" + p + " R" + FixP(8, 3, t.L()));
    out.Line("G10 G90 L11 P" + p + " R" + FixP(8, 3, 0));
    if (j.Limit > 0 && n > j.Limit) continue;
    out.Line("G10 G90 L12 P" + p + " R" + FixP(8, 3, t.R()));
    out.Line("G10 G90 L13 P" + p + " R" + FixP(8, 3, 0));
  }
  Footer(j, out);
  return true;
}

bool Siemens8M(const OffsetJob& j, OffsetText& out) {
  out.Line(Nul(4) + "% T O");
  for (const auto& t : j.Tools) {
    if (!HasLength(j, t.ToolNo)) continue;
    out.Line("G92 D" + IntZ(t.ToolNo, 2) + " D" + FixS(0, 3, t.L()));
    if (HasRadius(j, t.ToolNo))
      out.Line("G92 D" + IntZ(static_cast<long long>(t.ToolNo) + j.Pockets, 2) + " D" +
               FixS(0, 3, t.R()));
  }
  out.Line("M02");
  return !j.Tools.empty();
}

bool FanucTurning(const OffsetJob& j, OffsetText& out) {
  Header(j, out);
  int written = 0;
  for (const auto& t : j.Turns) {
    if (t.Hidden) continue;
    Nose nose = NoseOf(j, t);
    out.Line("G10 P" + IntZ(t.ToolNo, 2) + " X   0.000 Z   0.000 R   0.000 Q0");
    out.Line("G10 P" + Int(static_cast<long long>(t.ToolNo) + 10000) + " X" + FixZ(8, 3, Xo(j, t)) +
             " Z" + FixZ(8, 3, Zo(j, t)) + " R" + FixZ(8, 3, nose.radius) + " Q" + Int(nose.tip));
    ++written;
  }
  if (!j.ProgramNr.empty()) out.Line("M30");
  out.Raw("%");
  return written > 0;
}

bool FanucPockets(const OffsetJob& j, OffsetText& out) {
  Header(j, out);
  if (j.Tools.empty()) {
    NoData(out);
    return true;
  }
  out.Line("G10 L71");
  for (const auto& t : j.Tools) {
    int tool = 0, pocket = 0;
    ToolAndPocket(j, t.ToolNo, tool, pocket);
    out.Line("T" + IntZ(tool, 4) + " P" + IntZ(pocket, 2) + " R" +
             FixZ(0, j.Decimals, t.R() * j.Mult) + " K" + FixZ(0, j.Decimals, t.L() * j.Mult));
  }
  out.Line("G11");
  Footer(j, out);
  return true;
}

}  // namespace zova::offsets
