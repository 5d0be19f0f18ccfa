#include "serial/line/port_settings.h"

#include <climits>
#include <cstdlib>

#include "core/latin1.h"

namespace zova {

namespace {

constexpr uint8_t kDc3 = 19;

void SetRange(CharSet& set, int from, int to) {
  for (int c = from; c <= to; ++c) set.set(static_cast<size_t>(c));
}

int AtLeast(int value, int minimum) {
  return value < minimum ? minimum : value;
}

// Step order matters: the stop features decide the code before the data size
// does, and the XOFF default depends on the final code.
void ReadStopFeatures(const SectionValues& sec, std::string_view extra, PortSettings& p) {
  p.StoppTid = sec.Int("StoppTid", 0);
  p.StoppByte = sec.Int("StoppByte", -1);
  p.BreakSignal = sec.Bool("BreakSignal", false);
  p.StoppFortsett = sec.Bool("StoppFortsett", false);
  bool present;
  CharSet extraValid = sec.Chars("GyldigeTegn", "", present);
  CharSet invalid = sec.Chars("UGyldigeTegn", "", present);
  if (p.StoppTid < 1) {
    p.StoppByte = -1;
    p.BreakSignal = p.StoppFortsett = false;
    p.ValidSet.reset();
    // Without the check, ISO input only loses bit 7; parity is not tested.
    if (p.Code == kCodeIso) p.Code = kCodeIsoAscii;
    return;
  }
  // A stop byte that is no byte cannot be sent; treat it as none.
  if (p.StoppByte < 0 || p.StoppByte > 255) p.StoppByte = -1;
  p.ValidSet = BuiltInValidSet() | extraValid;
  p.ValidSet.set(static_cast<unsigned char>(p.TVTegn));
  for (char c : extra) p.ValidSet.set(static_cast<unsigned char>(c));
  p.ValidSet &= ~invalid;
}

void ReadBlockwise(const SectionValues& sec, PortSettings& p) {
  bool present;
  p.Blokkvis = sec.Bool("Blokkvis", false);
  p.BreakSet = sec.Chars("BrytBlokkvis", "[EOT][ETX][DC4]", present);
  p.ContinueSet = sec.Chars("NyBlokkvis", "[DC2]%", present);
  p.StartBlokkvis = sec.Int("StartBlokkvis", 0);
}

void ReadOutputShape(const SectionValues& sec, PortSettings& p) {
  p.TVCheck = sec.Bool("TVCheck", false);
  std::string tv = sec.Str("TVTegn", " ", true);
  p.TVTegn = tv.empty() ? ' ' : tv[0];
  p.Eob = sec.Str("EOB", "[CR][LF]", true);
  if (p.Eob.size() > 10) p.Eob.resize(10);
}

void ReadFraming(const SectionValues& sec, PortSettings& p) {
  LineSettings& d = p.Line;
  d.baud = sec.Int("Baud", 9600);
  d.dataBits = sec.Int("Bit", 8);
  // A 7-bit UART does the parity itself; the code must not add a second one.
  if (d.dataBits == 7 && p.Code != kCodeAscii) p.Code = kCodeAscii;
  std::string parity = sec.Upper("Paritet", "N");
  d.parity = parity == "E" ? Parity::Even : parity == "O" ? Parity::Odd : Parity::None;
  p.StopBits = sec.Int("StoppBit", 1) == 2 ? 2 : 1;
  d.stopBits = p.StopBits;
  char xoffDefault = static_cast<char>(kDc3);
  if (d.dataBits == 8) xoffDefault = EncodeChar(p.Code, xoffDefault);
  d.xoffChar = static_cast<uint8_t>(sec.Char("XOFF", xoffDefault));
}

void ReadHandshake(const SectionValues& sec, PortSettings& p) {
  p.FjernNull = sec.Bool("FjernNull", false);
  p.XonXoff = sec.Bool("XonXoff", false);
  p.RtsControlHandshake = sec.Bool("RtsCts", !(p.StoppTid > 0 && p.XonXoff));
  p.HardwareStart = sec.Bool("HardwareStart", !p.XonXoff);
  p.RtsCts = sec.Bool("RtsCts", p.HardwareStart);
  p.DtrDsr = sec.Bool("DtrDsr", !p.XonXoff);
  p.DsrOn = sec.Bool("DsrOn", true);
  p.HandShake = sec.Bool("HandShake", true);
  if (!p.HandShake) p.XonXoff = false;

  LineSettings& d = p.Line;
  d.stripNul = p.FjernNull;
  // Without the master switch no flow control is set at all. Obeying the
  // control's XOFF from the open on needs HardwareStart; otherwise the
  // handshake switch turns it on when a send starts. CRTSCTS is one flag for
  // both directions, so the provisional RTS setting has no kernel form.
  d.xonXoffOut = p.HandShake && p.XonXoff && p.HardwareStart;
  d.xonXoffIn = p.HandShake && p.XonXoff;
  d.rtsCts = p.HandShake && p.RtsCts;
  d.dtrDsr = p.HandShake && p.DtrDsr;
}

void ReadTimings(const SectionValues& sec, PortSettings& p) {
  p.TimeOut = AtLeast(sec.Int("TimeOut", 3), 1);
  p.WriteTries = AtLeast(sec.Int("Break", p.TimeOut), 1);
  p.Delay = AtLeast(sec.Int("Delay", 0), 0);
  const int loopDelay = sec.Int("LoopDelay", 0);
  p.LoopDelayWasNegative = loopDelay < 0;
  // The most negative int has no positive counterpart.
  p.LoopDelay = loopDelay == INT_MIN ? INT_MAX : std::abs(loopDelay);
  p.TimeMultiplier = AtLeast(sec.Int("TimeMultiplier", 1000), 50);
}

}  // namespace

CharSet BuiltInValidSet() {
  CharSet s;
  for (int c : {0, 10, 13, 17, 19, 32, 36, 37, 61, 93, 95}) s.set(static_cast<size_t>(c));
  SetRange(s, 40, 58);
  SetRange(s, 64, 91);
  SetRange(s, 97, 122);
  return s;
}

PortSettings ReadPortSettings(const SectionValues& sec, std::string_view extraValidChars,
                              bool xonStartDefault) {
  PortSettings p;
  p.Enhet = sec.Str("Enhet", "");
  p.Buffer = sec.Bool("Buffer", false);
  p.AbortOnError = sec.Bool("AbortOnError", false);
  p.TerminateOnError = sec.Bool("TerminateOnError", false);
  p.PingHost = Trim(sec.Str("Ping", ""));
  p.XOnTest = sec.Bool("XOnTest", false);
  p.XonStart = sec.Bool("XonStart", xonStartDefault);
  const bool sendDelay = sec.Bool("SendDelay", false);
  ReadBlockwise(sec, p);
  ReadOutputShape(sec, p);
  p.Code = static_cast<uint8_t>(CodeFromName(sec.Upper("Kode", "ISO")));
  ReadStopFeatures(sec, extraValidChars, p);
  ReadFraming(sec, p);
  ReadHandshake(sec, p);
  ReadTimings(sec, p);
  p.SendDelay = sendDelay && p.HandShake && !p.XonXoff;
  return p;
}

}  // namespace zova
