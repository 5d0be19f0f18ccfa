// A port section's text to its settings, without a file or a device. The
// same keys read through the active Zova.ini are in com_port_test.cpp.

#include "serial/line/port_settings.h"

#include <gtest/gtest.h>

#include <climits>

#include "serial/line/com_port.h"
#include "support/test_support.h"

namespace zova {
namespace {

PortSettings Read(const std::string& keys, std::string_view extra = "", bool xonStart = false) {
  return ReadPortSettings(SectionValues::In(ProfileText("[COM2]\n" + keys), "COM2"), extra,
                          xonStart);
}

CharSet Set(std::string_view chars) {
  CharSet s;
  for (char c : chars) s.set(static_cast<unsigned char>(c));
  return s;
}

TEST(PortSettings, DefaultsOfAnEmptySection) {
  PortSettings r = Read("");
  EXPECT_EQ(r.Enhet, "");
  EXPECT_EQ(r.Code, kCodeIsoAscii);
  EXPECT_EQ(r.Line, (LineSettings{.baud = 9600,
                                  .dataBits = 8,
                                  .parity = Parity::None,
                                  .stopBits = 1,
                                  .xonXoffOut = false,
                                  .xonXoffIn = false,
                                  .xonChar = 17,
                                  .xoffChar = 0x93,
                                  .rtsCts = true,
                                  .dtrDsr = true,
                                  .stripNul = false}));
  EXPECT_TRUE(r.RtsControlHandshake);
  EXPECT_FALSE(r.XonStart);
  EXPECT_FALSE(r.LoopDelayWasNegative);
  EXPECT_FALSE(r.SendDelay);
}

TEST(PortSettings, TableOfSections) {
  struct Case {
    const char* keys;
    void (*check)(const PortSettings&);
  } cases[] = {
      // The device text is the key's, as DeviceForPort takes it.
      {"Enhet= /dev/ttyUSB0 \n", [](const PortSettings& r) { EXPECT_EQ(r.Enhet, "/dev/ttyUSB0"); }},
      {"enhet=rfc2217:host:2217\n",
       [](const PortSettings& r) { EXPECT_EQ(r.Enhet, "rfc2217:host:2217"); }},
      // Booleans are "True" or "1" in any case; present but empty is false.
      {"Buffer=true\nAbortOnError=1\nTerminateOnError=yes\nDsrOn=\n",
       [](const PortSettings& r) {
         EXPECT_TRUE(r.Buffer);
         EXPECT_TRUE(r.AbortOnError);
         EXPECT_FALSE(r.TerminateOnError);
         EXPECT_FALSE(r.DsrOn);
       }},
      // Numbers that do not parse whole keep the default; $ is hexadecimal.
      {"Baud=19200x\nTimeOut=$A\nStartBlokkvis= 12\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.Line.baud, 9600);
         EXPECT_EQ(r.TimeOut, 10);
         EXPECT_EQ(r.WriteTries, 10);
         EXPECT_EQ(r.StartBlokkvis, 12);
       }},
      // The stop check off: only ISO becomes ISOASCII.
      {"Kode=EIA\n", [](const PortSettings& r) { EXPECT_EQ(r.Code, kCodeEia); }},
      {"Kode=iso\nStoppTid=1\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.Code, kCodeIso);
         EXPECT_EQ(r.ValidSet, BuiltInValidSet() | Set(" "));
       }},
      {"Kode=ISO\nStoppTid=-4\nStoppFortsett=1\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.Code, kCodeIsoAscii);
         EXPECT_FALSE(r.StoppFortsett);
       }},
      // Seven bits: the UART does the parity, whatever the code.
      {"Bit=7\nKode=EIA\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.Code, kCodeAscii);
         EXPECT_EQ(r.Line.dataBits, 7);
       }},
      {"Bit=7\n", [](const PortSettings& r) { EXPECT_EQ(r.Code, kCodeAscii); }},
      {"Bit=6\nKode=EIA\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.Code, kCodeEia);
         EXPECT_EQ(r.Line.xoffChar, 19) << "only an 8-bit line encodes the XOFF";
       }},
      {"Kode=ASCII\n", [](const PortSettings& r) { EXPECT_EQ(r.Line.xoffChar, 19); }},
      {"XOFF=a\n", [](const PortSettings& r) { EXPECT_EQ(r.Line.xoffChar, 'A'); }},
      {"XOFF=[DC3][DC3]\n", [](const PortSettings& r) { EXPECT_EQ(r.Line.xoffChar, 0x93); }},
      // The provisional RtsCts: off by default only with XonXoff and the stop check.
      {"XonXoff=1\n",
       [](const PortSettings& r) {
         EXPECT_TRUE(r.RtsControlHandshake);
         EXPECT_FALSE(r.RtsCts);
       }},
      {"XonXoff=1\nStoppTid=3\nRtsCts=1\n",
       [](const PortSettings& r) {
         EXPECT_TRUE(r.RtsControlHandshake && r.RtsCts && r.Line.rtsCts);
       }},
      {"StoppTid=3\n", [](const PortSettings& r) { EXPECT_TRUE(r.RtsControlHandshake); }},
      {"HardwareStart=0\n",
       [](const PortSettings& r) {
         EXPECT_TRUE(r.RtsControlHandshake);
         EXPECT_FALSE(r.RtsCts || r.Line.rtsCts) << "the second read defaults to HardwareStart";
         EXPECT_TRUE(r.DtrDsr);
       }},
      // The master switch off: no flow control, the configured lines kept.
      {"HandShake=False\nXonXoff=1\nHardwareStart=1\nDtrDsr=1\nRtsCts=1\n",
       [](const PortSettings& r) {
         EXPECT_FALSE(r.XonXoff);
         EXPECT_TRUE(r.RtsCts && r.DtrDsr && r.HardwareStart);
         EXPECT_FALSE(r.Line.xonXoffIn || r.Line.xonXoffOut || r.Line.rtsCts || r.Line.dtrDsr);
       }},
      {"DtrDsr=0\nRtsCts=0\n",
       [](const PortSettings& r) { EXPECT_FALSE(r.Line.dtrDsr || r.Line.rtsCts); }},
      // Timings and their floors.
      {"TimeOut=5\n", [](const PortSettings& r) { EXPECT_EQ(r.WriteTries, 5); }},
      {"TimeOut=5\nBreak=-2\n", [](const PortSettings& r) { EXPECT_EQ(r.WriteTries, 1); }},
      {"TimeMultiplier=49\nDelay=7\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.TimeMultiplier, 50);
         EXPECT_EQ(r.Delay, 7);
       }},
      {"TimeMultiplier=51\n", [](const PortSettings& r) { EXPECT_EQ(r.TimeMultiplier, 51); }},
      {"LoopDelay=-3\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.LoopDelay, 3);
         EXPECT_TRUE(r.LoopDelayWasNegative);
       }},
      {"LoopDelay=4\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.LoopDelay, 4);
         EXPECT_FALSE(r.LoopDelayWasNegative);
       }},
      {"LoopDelay=-2147483648\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.LoopDelay, INT_MAX);
         EXPECT_TRUE(r.LoopDelayWasNegative);
       }},
      // Stop features.
      {"StoppTid=1\nStoppByte=255\n", [](const PortSettings& r) { EXPECT_EQ(r.StoppByte, 255); }},
      {"StoppTid=1\nStoppByte=-5\n", [](const PortSettings& r) { EXPECT_EQ(r.StoppByte, -1); }},
      {"StoppTid=1\nTVTegn=*\nUGyldigeTegn=A*\n",
       [](const PortSettings& r) {
         EXPECT_FALSE(r.ValidSet.test('A'));
         EXPECT_FALSE(r.ValidSet.test('*')) << "removals come last";
         EXPECT_TRUE(r.ValidSet.test('B'));
       }},
      {"Ping=\"  host \"\nEOB=[LF]\n",
       [](const PortSettings& r) {
         EXPECT_EQ(r.PingHost, "host");
         EXPECT_EQ(r.Eob, "\n");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    c.check(Read(c.keys));
  }
}

TEST(PortSettings, DriverValidCharsAndXonStartDefault) {
  PortSettings r = Read("StoppTid=1\nUGyldigeTegn=\x01\n", "\x01\x02", true);
  EXPECT_TRUE(r.XonStart);
  EXPECT_TRUE(r.ValidSet.test(2));
  EXPECT_FALSE(r.ValidSet.test(1)) << "the port's removals win over the driver's codes";
  EXPECT_FALSE(Read("XonStart=0\n", "", true).XonStart);
  EXPECT_TRUE(Read("XonStart=1\n", "", false).XonStart);
}

// The record a driver opens with carries the same settings as the text, and
// starts with the kernel settings it will apply.
TEST(PortSettings, ActiveIniGivesTheSameValue) {
  const std::string keys =
      "Enhet=loop:x\nBaud=2400\nBit=7\nParitet=E\nStoppBit=2\nXonXoff=1\nStoppTid=2\n"
      "GyldigeTegn=[ETX]\nEOB=[CR]\nLoopDelay=-9\nBreak=4\nFjernNull=1\nPing=h\n";
  test::ScopedIni ini("[Maskin1]\nBaud=300\n[COM2]\n" + keys);
  TComPort rec;
  rec.BlokkvisActive = false;
  rec.CharCount = 5;
  ReadComPortSettings(" COM2 ", "%", true, rec);
  EXPECT_TRUE(static_cast<const PortSettings&>(rec) == Read(keys, "%", true));
  EXPECT_EQ(rec.Dcb, rec.Line);
  EXPECT_TRUE(rec.BlokkvisActive);
  EXPECT_EQ(rec.CharCount, 5) << "run-time state is left alone";
}

}  // namespace
}  // namespace zova
