#include "tools/presetter.h"

#include <cmath>
#include <initializer_list>

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/numparse.h"

namespace zova {

namespace {

bool NumberChar(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == ',' || c == '-' || c == '.';
}

// Tool and system numbers: rounded, and kept inside 32 bits.
int32_t RoundNo(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > 2147483647.0) return 2147483647;
  if (v < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(std::lround(v));
}

// The first label of Labels that yields a number.
bool FirstOf(std::string_view line, std::initializer_list<std::string_view> labels, double& v) {
  for (auto l : labels)
    if (NumberAfter(line, l, v)) return true;
  return false;
}

bool Holds(std::string_view line, std::string_view s) {
  return line.find(s) != std::string_view::npos;
}

// The layouts in which X and Z are read: the X label chain, the Z chain, and
// how the line tells a diameter.
enum class DiaRule { RadiusFirst, LineHolds, LineLacks };

struct XzSpec {
  std::initializer_list<std::string_view> x;
  std::initializer_list<std::string_view> z;
  DiaRule rule;
  std::string_view marker;  // for LineHolds / LineLacks
  bool zFirst = false;
  bool xGated = true;
};

void ReadXz(std::string_view line, const XzSpec& s, PresetterReading& p) {
  auto readX = [&] {
    if (s.xGated && !p.Ok) return;
    if (s.rule == DiaRule::RadiusFirst) {
      auto it = s.x.begin();
      p.Ok = NumberAfter(line, *it, p.X);
      p.IsDiameter = false;
      if (!p.Ok && s.x.size() > 1) {
        p.Ok = NumberAfter(line, *(it + 1), p.X);
        p.IsDiameter = true;
      }
      return;
    }
    p.Ok = FirstOf(line, s.x, p.X);
    bool holds = Holds(line, s.marker);
    p.IsDiameter = s.rule == DiaRule::LineHolds ? holds : !holds;
  };
  auto readZ = [&] {
    if (p.Ok) p.Ok = FirstOf(line, s.z, p.Z);
  };
  if (s.zFirst) {
    readZ();
    readX();
  } else {
    readX();
    readZ();
  }
}

// SecondNo read while Ok, with a fallback number when its label is absent;
// Ok is true afterwards.
void SecondOrDefault(std::string_view line, std::string_view label, int32_t def,
                     PresetterReading& p) {
  if (!p.Ok) return;
  double v = 0;
  p.SecondNo = NumberAfter(line, label, v) ? RoundNo(v) : def;
  p.Ok = true;
}

void Second(std::string_view line, std::initializer_list<std::string_view> labels,
            PresetterReading& p) {
  double v = 0;
  p.Ok = FirstOf(line, labels, v);
  p.SecondNo = RoundNo(v);
}

void Tool(std::string_view line, std::string_view label, PresetterReading& p) {
  double v = 0;
  p.Ok = NumberAfter(line, label, v);
  p.ToolNo = RoundNo(v);
}

// Tool number from Label, and from Fallback when that gives 0.
void ToolOr(std::string_view line, std::string_view label, std::string_view fallback,
            PresetterReading& p) {
  Tool(line, label, p);
  if (p.ToolNo == 0) Tool(line, fallback, p);
}

void ParseHeidenhain720(std::string_view line, PresetterReading& p) {
  Tool(line, "Tool", p);
  Second(line, {"Sys"}, p);
  if (p.SecondNo < 1) p.SecondNo = 1;
  p.Ok = NumberAfter(line, "X=", p.X);
  size_t z = line.find('Z');
  size_t r = line.find('R');
  p.IsDiameter = !(r != std::string_view::npos && (z == std::string_view::npos || r < z));
  if (p.Ok) p.Ok = FirstOf(line, {"Y=", "Z="}, p.Z);
}

void ParseKalimat(std::string_view line, PresetterReading& p) {
  ToolOr(line, "W", "T", p);
  // The system number stands at the very start of the line.
  size_t n = 0;
  while (n < line.size() && NumberChar(line[n])) ++n;
  double v = 0;
  p.Ok = NumberAfter(line.substr(0, n), "", v);
  p.SecondNo = RoundNo(v);
  ReadXz(line, {{"X="}, {"Z="}, DiaRule::LineHolds, "DIA"}, p);
}

}  // namespace

bool NumberAfter(std::string_view line, std::string_view label, double& value) {
  value = 0;
  size_t at = line.find(label);
  if (at == std::string_view::npos) return false;
  size_t start = at + label.size(), end = start;
  while (end < line.size() && NumberChar(line[end])) ++end;
  std::string num(line.substr(start, end - start));
  if (auto comma = num.find(','); comma != std::string::npos) num[comma] = '.';
  if (auto minus = num.find('-', 1); minus != std::string::npos) num.erase(0, minus);
  auto v = ParseFloat(num);
  if (!v || !std::isfinite(*v)) return false;
  value = *v;
  return true;
}

PresetterReading ParsePresetterLine(int type, std::string_view raw) {
  PresetterReading p;
  std::string upper;
  std::string_view line = raw;
  double v = 0;
  switch (type) {
    case 1:  // MICROSET: the tool number's own result does not count
      Tool(line, "T:", p);
      Second(line, {"SY:"}, p);
      ReadXz(line, {{"X(R):", "X(D):"}, {"Z(L):"}, DiaRule::RadiusFirst, ""}, p);
      break;
    case 2:  // KOMEG
      Tool(line, "T.#", p);
      SecondOrDefault(line, "Adapter-Nummer", 98, p);
      ReadXz(line, {{"RX", "DX"}, {"Z"}, DiaRule::RadiusFirst, ""}, p);
      break;
    case 3:  // ZOLLER
      Tool(line, "T", p);
      Second(line, {"M", "#"}, p);
      ReadXz(line, {{"X=", "X", "Q"}, {"Z=", "Z", "L"}, DiaRule::LineHolds, "D"}, p);
      break;
    case 4:  // BODMER
      Tool(line, "T:", p);
      SecondOrDefault(line, "PR:", 98, p);
      ReadXz(line, {{"X/R:", "X/D:"}, {"Z/L:"}, DiaRule::RadiusFirst, ""}, p);
      break;
    case 5:  // KELCH
      Tool(line, "T", p);
      Second(line, {"G"}, p);
      ReadXz(line, {{"X="}, {"Z="}, DiaRule::LineLacks, "RAD"}, p);
      break;
    case 6:  // PWB, TOOLMASTER3
      Tool(line, "TN:", p);
      Second(line, {"SG:"}, p);
      ReadXz(line, {{"X=", "X:"}, {"Z=", "Z:"}, DiaRule::LineHolds, "D", true}, p);
      break;
    case 7:  // ZOLLER6051
      Tool(line, "#", p);
      p.SecondNo = 1;
      ReadXz(line, {{"X="}, {"Z="}, DiaRule::LineHolds, "D"}, p);
      break;
    case 8:  // MICROSETUNO
      p.ToolNo = 0;
      Second(line, {"T:"}, p);
      ReadXz(line, {{"X(R)=", "X(D)="}, {"Z=", "Z(L)="}, DiaRule::RadiusFirst, ""}, p);
      break;
    case 9:  // TOOLSET
      upper = UpperCase(raw);
      line = upper;
      Tool(line, "TOOL:", p);
      p.SecondNo = NumberAfter(line, "REF", v) ? RoundNo(v) : 0;
      ReadXz(line, {{"X="}, {"Z="}, DiaRule::LineLacks, "RAD", false, false}, p);
      break;
    case 10:  // ZOLLERZERO
      Tool(line, "TNo.", p);
      Second(line, {"Ad."}, p);
      ReadXz(line, {{"XAD", "XAR"}, {"ZAR"}, DiaRule::LineHolds, "XAD", true}, p);
      break;
    case 11:  // MESSMA-KELCH
      Tool(line, "T", p);
      Second(line, {"#"}, p);
      ReadXz(line, {{"X="}, {"Z="}, DiaRule::LineLacks, "RAD"}, p);
      break;
    case 12:  // ZOLLER6051SYS
      p.ToolNo = 0;
      Second(line, {"#"}, p);
      ReadXz(line, {{"X="}, {"Z="}, DiaRule::LineHolds, "D"}, p);
      break;
    case 13:  // TOOLMASTER250
      Tool(line, "TN:", p);
      Second(line, {"SG:"}, p);
      if (p.SecondNo == 0) Second(line, {"A:"}, p);
      ReadXz(line, {{"XR:", "XD:"}, {"Z:"}, DiaRule::RadiusFirst, ""}, p);
      break;
    case 14:
      ParseHeidenhain720(line, p);
      break;
    case 15:  // KELCHSIRIUSC
      ToolOr(line, "T-no:", "Identno:W", p);
      Second(line, {"Ad:"}, p);
      ReadXz(line, {{"XR", "XD"}, {"Z"}, DiaRule::RadiusFirst, ""}, p);
      break;
    case 16:
      ParseKalimat(line, p);
      break;
    case 17:  // MICROSETECO2
      Tool(line, "T-NO.:", p);
      Second(line, {"#"}, p);
      ReadXz(line, {{"X"}, {"Z"}, DiaRule::LineHolds, "AbsD"}, p);
      break;
    default:
      p.Ok = false;
  }
  return p;
}

SystemResult ApplySystemText(std::string_view text, bool reverseLength, bool& isDiameter, double& x,
                             double& z) {
  SystemResult r;
  std::string s(text);
  r.NotTurning = s != "DREI";
  if (r.NotTurning && s == "DIV2") {
    s = "RADIUS";
    if (isDiameter) {
      isDiameter = false;
      x /= 2;
    }
  }
  r.IsRadius = s == "RADIUS";
  if (reverseLength) z = -z;
  r.Accepted = !r.NotTurning || (isDiameter && s == "DIAMETER") || (!isDiameter && s == "RADIUS");
  if (s == "OK") r.Accepted = true;
  if (s == "FRES") {
    r.Accepted = true;
    x = 0;
  }
  return r;
}

SystemResult ApplySystem(std::string_view section, int systemNo, bool& isDiameter, double& x,
                         double& z) {
  std::string n = std::to_string(systemNo);
  SystemResult r = ApplySystemText(ReadIniUpper(section, "System" + n, ""),
                                   ReadIniBool(section, "SnuL" + n, false), isDiameter, x, z);
  r.ToolReg = ReadIniUpper(section, "ToolReg" + n, ReadIniUpper(section, "ToolReg", ""));
  r.NomReg = ReadIniUpper(section, "NomReg" + n, ReadIniUpper(section, "NomReg", ""));
  r.Offset = ReadIniInt(section, "Offset" + n, 0);
  r.MaxTool = ReadIniInt(section, "MaxTool" + n, 0);
  return r;
}

void SplitProgramNumberBy(int d, bool wholeNumber, int32_t& programNo, int32_t& toolNo) {
  if (d >= 2 && toolNo >= d) {
    if (wholeNumber) {
      programNo = toolNo;
      toolNo = 0;
    } else {
      programNo = toolNo / d;
      toolNo = toolNo % d;
    }
  } else {
    programNo = 0;
  }
}

void SplitProgramNumber(std::string_view section, int systemNo, bool wholeNumber,
                        int32_t& programNo, int32_t& toolNo) {
  int d = ReadIniInt(section, "ProgDiv" + std::to_string(systemNo), 1);
  SplitProgramNumberBy(d, wholeNumber, programNo, toolNo);
}

}  // namespace zova
