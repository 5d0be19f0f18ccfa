#include "serial/line/com_port.h"

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
void ReadStopFeatures(std::string_view sec, std::string_view extra, TComPort& rec) {
  rec.StoppTid = ReadIniInt(sec, "StoppTid", 0);
  rec.StoppByte = ReadIniInt(sec, "StoppByte", -1);
  rec.BreakSignal = ReadIniBool(sec, "BreakSignal", false);
  rec.StoppFortsett = ReadIniBool(sec, "StoppFortsett", false);
  bool present;
  CharSet extraValid = ReadIniCharSet(sec, "GyldigeTegn", "", present);
  CharSet invalid = ReadIniCharSet(sec, "UGyldigeTegn", "", present);
  if (rec.StoppTid < 1) {
    rec.StoppByte = -1;
    rec.BreakSignal = rec.StoppFortsett = false;
    rec.ValidSet.reset();
    // Without the check, ISO input only loses bit 7; parity is not tested.
    if (rec.Code == kCodeIso) rec.Code = kCodeIsoAscii;
    return;
  }
  // A stop byte that is no byte cannot be sent; treat it as none.
  if (rec.StoppByte < 0 || rec.StoppByte > 255) rec.StoppByte = -1;
  rec.ValidSet = BuiltInValidSet() | extraValid;
  rec.ValidSet.set(static_cast<unsigned char>(rec.TVTegn));
  for (char c : extra) rec.ValidSet.set(static_cast<unsigned char>(c));
  rec.ValidSet &= ~invalid;
}

void ReadBlockwise(std::string_view sec, TComPort& rec) {
  bool present;
  rec.Blokkvis = ReadIniBool(sec, "Blokkvis", false);
  rec.BreakSet = ReadIniCharSet(sec, "BrytBlokkvis", "[EOT][ETX][DC4]", present);
  rec.ContinueSet = ReadIniCharSet(sec, "NyBlokkvis", "[DC2]%", present);
  rec.StartBlokkvis = ReadIniInt(sec, "StartBlokkvis", 0);
  rec.BlokkvisActive = true;
}

void ReadOutputShape(std::string_view sec, TComPort& rec) {
  rec.TVCheck = ReadIniBool(sec, "TVCheck", false);
  std::string tv = ReadIniStr(sec, "TVTegn", " ", true);
  rec.TVTegn = tv.empty() ? ' ' : tv[0];
  rec.Eob = ReadIniStr(sec, "EOB", "[CR][LF]", true);
  if (rec.Eob.size() > 10) rec.Eob.resize(10);
}

void ReadHandshake(std::string_view sec, TComPort& rec) {
  rec.FjernNull = ReadIniBool(sec, "FjernNull", false);
  rec.XonXoff = ReadIniBool(sec, "XonXoff", false);
  rec.RtsControlHandshake = ReadIniBool(sec, "RtsCts", !(rec.StoppTid > 0 && rec.XonXoff));
  rec.HardwareStart = ReadIniBool(sec, "HardwareStart", !rec.XonXoff);
  rec.RtsCts = ReadIniBool(sec, "RtsCts", rec.HardwareStart);
  rec.DtrDsr = ReadIniBool(sec, "DtrDsr", !rec.XonXoff);
  rec.DsrOn = ReadIniBool(sec, "DsrOn", true);
  rec.HandShake = ReadIniBool(sec, "HandShake", true);
  if (!rec.HandShake) rec.XonXoff = false;
}

void ReadTimings(std::string_view sec, TComPort& rec) {
  rec.TimeOut = AtLeast(ReadIniInt(sec, "TimeOut", 3), 1);
  rec.WriteTries = AtLeast(ReadIniInt(sec, "Break", rec.TimeOut), 1);
  rec.Delay = AtLeast(ReadIniInt(sec, "Delay", 0), 0);
  rec.LoopDelay = std::abs(ReadIniInt(sec, "LoopDelay", 0));
  rec.TimeMultiplier = AtLeast(ReadIniInt(sec, "TimeMultiplier", 1000), 50);
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

LineSettings KernelSettings(const TComPort& rec, bool xonOut, bool xonIn, bool ctsFlow,
                            bool dsrFlow) {
  LineSettings s = rec.Dcb;
  s.stopBits = rec.StopBits;
  s.xonXoffOut = xonOut;
  s.xonXoffIn = xonIn;
  // CRTSCTS is one flag for both directions; the provisional RTS setting only
  // matters when CTS flow is off.
  s.rtsCts = ctsFlow;
  s.dtrDsr = dsrFlow;
  return s;
}

void ReadComPortSettings(std::string_view portName, std::string_view extraValidChars,
                         bool xonStartDefault, TComPort& rec) {
  std::string sec = Trim(portName);
  rec.Buffer = ReadIniBool(sec, "Buffer", false);
  rec.AbortOnError = ReadIniBool(sec, "AbortOnError", false);
  rec.TerminateOnError = ReadIniBool(sec, "TerminateOnError", false);
  rec.PingHost = Trim(ReadIniStr(sec, "Ping", ""));
  rec.XOnTest = ReadIniBool(sec, "XOnTest", false);
  rec.XonStart = ReadIniBool(sec, "XonStart", xonStartDefault);
  bool sendDelay = ReadIniBool(sec, "SendDelay", false);
  ReadBlockwise(sec, rec);
  ReadOutputShape(sec, rec);
  std::string kode = ReadIniUpper(sec, "Kode", "ISO");
  rec.Code = static_cast<uint8_t>(CodeFromName(kode));
  ReadStopFeatures(sec, extraValidChars, rec);

  LineSettings& d = rec.Dcb;
  d = LineSettings{};
  d.baud = ReadIniInt(sec, "Baud", 9600);
  d.dataBits = ReadIniInt(sec, "Bit", 8);
  // A 7-bit UART does the parity itself; the code must not add a second one.
  if (d.dataBits == 7 && rec.Code != kCodeAscii) rec.Code = kCodeAscii;
  std::string parity = ReadIniUpper(sec, "Paritet", "N");
  d.parity = parity == "E" ? Parity::Even : parity == "O" ? Parity::Odd : Parity::None;
  rec.StopBits = ReadIniInt(sec, "StoppBit", 1) == 2 ? 2 : 1;
  char xoffDefault = static_cast<char>(kDc3);
  if (d.dataBits == 8) xoffDefault = EncodeChar(rec.Code, xoffDefault);
  d.xoffChar = static_cast<uint8_t>(ReadIniChar(sec, "XOFF", xoffDefault));

  ReadHandshake(sec, rec);
  d.stripNul = rec.FjernNull;
  if (rec.HandShake) {
    d = KernelSettings(rec, rec.XonXoff && rec.HardwareStart, rec.XonXoff, rec.RtsCts, rec.DtrDsr);
  } else {
    d = KernelSettings(rec, false, false, false, false);
  }
  ReadTimings(sec, rec);
  rec.SendDelay = sendDelay && rec.HandShake && !rec.XonXoff;
}

}  // namespace zova
