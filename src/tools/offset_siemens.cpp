// Siemens members: Sinumerik 8/880 R-parameter and TO-area files, the 800
// series "D n P k=" blocks and the 840D "$TC_DP" assignments.
#include "tools/offset_writers.h"

namespace zova::offsets {

namespace {

constexpr int kMillingType = 10;  // Sinumerik 800 tool type of a milling cutter
constexpr int kEndMill = 120;     // 840D $TC_DP1 tool type

std::string P(int k, const std::string& v) {
  return " P " + Int(k) + "=" + v;
}

void Siemens880(const OffsetJob& j, OffsetText& out, int& written) {
  // A parameter block (tool count and the load cycle's fixed R900/R905), then
  // the offsets as TO area 1. The program-clearing words (%CLF, SPF, MPF) are
  // never written: they would delete programs in the control.
  int count = 0;
  for (const auto& t : j.Tools)
    if (!t.Flagged() && t.ToolNo >= 1 && t.ToolNo <= j.Limit) ++count;
  out.Line("%RPA0");
  out.Line("R10=" + Int(count));
  out.Line("R900=3");
  out.Line("R905=7");
  out.Line("M02");
  out.Line("%TOA1");
  for (const auto& t : j.Tools) {
    if (t.Flagged() || t.ToolNo < 1 || t.ToolNo > j.Limit) continue;
    out.Line("D" + Int(t.ToolNo) + " P0=" + Int(kMillingType) + " P1=" + FixS(0, 3, Lo(j, t)) +
             " P2=" + FixS(0, 3, Ro(j, t)));
    ++written;
  }
  out.Line("M30");
}

void Siemens800Drei(const OffsetJob& j, OffsetText& out, int& written) {
  out.Line(j.ProgramNr);
  for (const auto& t : j.Turns) {
    if (t.Hidden) continue;
    Nose nose = NoseOf(j, t);
    out.Line("D" + Int(t.ToolNo) + P(0, Int(nose.tip == 0 ? 3 : nose.tip)) +
             P(1, FixS(0, 3, Xo(j, t))) + P(2, FixS(0, 3, Zo(j, t))) +
             P(3, FixS(0, 3, nose.radius)) + P(4, FixS(0, 3, 0)));
    ++written;
  }
  out.Line("M02");
}

void Dp(OffsetText& out, int p, int t, const std::string& v) {
  out.Line("$TC_DP" + Int(p) + "[" + Int(t) + ",1]=" + v);
}

}  // namespace

bool Siemens(const OffsetJob& j, OffsetText& out) {
  int written = 0;
  if (j.Format == 2) {
    Siemens880(j, out, written);
    return written > 0;
  }
  if (j.Format == 37) {
    Siemens800Drei(j, out, written);
    return written > 0;
  }
  bool is840 = j.Format == 39 || j.Format == 41;
  if (!j.ProgramNr.empty()) out.Line(j.ProgramNr);
  for (const auto& t : j.Tools) {
    if (t.Flagged()) continue;
    ++written;
    std::string d = "D" + Int(t.ToolNo);
    std::string l = FixS(0, 3, Lo(j, t)), r = FixS(0, 3, Ro(j, t));
    if (j.Format == 18 || j.Format == 36) {
      out.Line(d + P(0, Int(kMillingType)) + P(1, l) + P(2, r) + " P 3=0" +
               P(4, FixS(0, 3, t.Reals[kDL])));
    } else if (j.Format == 38) {
      out.Line(d + P(0, Int(kMillingType)) + P(1, l) + P(2, r) + P(3, FixS(0, 3, t.Reals[kDL])) +
               P(4, FixS(0, 3, t.Reals[kDR])) + " P 5=0 P 6=0 P 7=0 P 8=0 P 9=0");
    } else if (is840) {
      Dp(out, 1, t.ToolNo, Int(kEndMill));
      Dp(out, 3, t.ToolNo, FixP(0, 3, Lo(j, t)));
      Dp(out, 6, t.ToolNo, FixP(0, 3, Ro(j, t)));
      if (j.Format == 39) {  // the load file carries the wear too
        Dp(out, 12, t.ToolNo, FixP(0, 3, t.Reals[kDL]));
        Dp(out, 15, t.ToolNo, FixP(0, 3, t.Reals[kDR]));
      }
    }
  }
  out.Line(j.Format == 39 ? "M17" : "M02");
  return written > 0;
}

}  // namespace zova::offsets
