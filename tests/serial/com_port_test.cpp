// Reading a port section into the line record.

#include <gtest/gtest.h>

#include "serial/line/com_port.h"
#include "support/test_support.h"

namespace zova {
namespace {

TComPort Read(const std::string& section, std::string_view extra = "", bool xonStart = false) {
  test::ScopedIni ini("[COM2]\n" + section);
  TComPort rec;
  ReadComPortSettings("COM2", extra, xonStart, rec);
  return rec;
}

CharSet Set(std::string_view chars) {
  CharSet s;
  for (char c : chars) s.set(static_cast<unsigned char>(c));
  return s;
}

TEST(ComPortSettings, Defaults) {
  TComPort r = Read("", "", true);
  EXPECT_FALSE(r.Buffer || r.AbortOnError || r.TerminateOnError || r.XOnTest || r.TVCheck);
  EXPECT_TRUE(r.XonStart) << "the driver's default";
  EXPECT_EQ(r.PingHost, "");
  EXPECT_FALSE(r.Blokkvis);
  EXPECT_TRUE(r.BlokkvisActive);
  EXPECT_EQ(r.BreakSet, Set("\x04\x03\x14"));
  EXPECT_EQ(r.ContinueSet, Set("\x12%"));
  EXPECT_EQ(r.Eob, "\r\n");
  EXPECT_EQ(r.TVTegn, ' ');
  EXPECT_EQ(r.Code, kCodeIsoAscii) << "ISO without the stop check only strips bit 7";
  EXPECT_EQ(r.StoppTid, 0);
  EXPECT_EQ(r.StoppByte, -1);
  EXPECT_TRUE(r.ValidSet.none());
  EXPECT_EQ(r.Dcb.baud, 9600);
  EXPECT_EQ(r.Dcb.dataBits, 8);
  EXPECT_EQ(r.Dcb.parity, Parity::None);
  EXPECT_EQ(r.StopBits, 1);
  EXPECT_EQ(r.Dcb.xoffChar, 0x93) << "DC3 in the line code";
  EXPECT_FALSE(r.XonXoff);
  EXPECT_TRUE(r.HardwareStart && r.RtsCts && r.DtrDsr && r.DsrOn && r.HandShake);
  EXPECT_TRUE(r.Dcb.rtsCts && r.Dcb.dtrDsr);
  EXPECT_FALSE(r.Dcb.xonXoffIn || r.Dcb.xonXoffOut);
  EXPECT_EQ(r.TimeOut, 3);
  EXPECT_EQ(r.WriteTries, 3);
  EXPECT_EQ(r.TimeMultiplier, 1000);
  EXPECT_EQ(r.Delay, 0);
  EXPECT_EQ(r.LoopDelay, 0);
  EXPECT_EQ(r.LastModemStatus, 255u);
}

TEST(ComPortSettings, SoftwareFlowWithTheStopCheck) {
  TComPort r = Read(
      "XonXoff=1\nStoppTid=2\nStoppByte=20\nGyldigeTegn=[ETX]#\nUGyldigeTegn=$\n"
      "TVTegn=[TAB]\nBreakSignal=1\nStoppFortsett=1\n",
      "\x02");
  EXPECT_EQ(r.Code, kCodeIso);
  EXPECT_EQ(r.StoppByte, 20);
  EXPECT_TRUE(r.BreakSignal && r.StoppFortsett);
  CharSet want = BuiltInValidSet() | Set("\x03#\t\x02");
  want.reset('$');
  EXPECT_EQ(r.ValidSet, want);
  EXPECT_FALSE(r.HardwareStart);
  EXPECT_FALSE(r.RtsCts) << "the second read defaults to HardwareStart";
  EXPECT_FALSE(r.RtsControlHandshake);
  EXPECT_FALSE(r.DtrDsr);
  EXPECT_TRUE(r.Dcb.xonXoffIn);
  EXPECT_FALSE(r.Dcb.xonXoffOut) << "obeying XOFF at open needs HardwareStart";
  EXPECT_FALSE(r.Dcb.rtsCts || r.Dcb.dtrDsr);
}

TEST(ComPortSettings, BuiltInValidSet) {
  CharSet s = BuiltInValidSet();
  for (int c : {0, 10, 13, 17, 19, 32, 36, 37, 40, 58, 61, 64, 91, 93, 95, 97, 122})
    EXPECT_TRUE(s.test(static_cast<size_t>(c))) << c;
  for (int c : {1, 9, 12, 18, 33, 35, 38, 39, 59, 60, 62, 63, 92, 94, 96, 123, 127, 128, 255})
    EXPECT_FALSE(s.test(static_cast<size_t>(c))) << c;
}

TEST(ComPortSettings, TableOfSingleKeys) {
  struct Case {
    const char* ini;
    void (*check)(const TComPort&);
  } cases[] = {
      {"Bit=7\nKode=ISO\nStoppTid=1\n",
       [](const TComPort& r) {
         EXPECT_EQ(r.Code, kCodeAscii);
         EXPECT_EQ(r.Dcb.xoffChar, 19) << "plain DC3 on a 7-bit line";
       }},
      {"Kode=EIA\n", [](const TComPort& r) { EXPECT_EQ(r.Dcb.xoffChar, 0x93); }},
      {"Kode=ASCII\nXOFF=[17]\n", [](const TComPort& r) { EXPECT_EQ(r.Dcb.xoffChar, 17); }},
      {"HandShake=0\nXonXoff=1\nSendDelay=1\n",
       [](const TComPort& r) {
         EXPECT_FALSE(r.XonXoff);
         EXPECT_FALSE(r.SendDelay);
         EXPECT_FALSE(r.Dcb.rtsCts || r.Dcb.dtrDsr || r.Dcb.xonXoffIn || r.Dcb.xonXoffOut);
       }},
      {"SendDelay=1\n", [](const TComPort& r) { EXPECT_TRUE(r.SendDelay); }},
      {"SendDelay=1\nXonXoff=1\n", [](const TComPort& r) { EXPECT_FALSE(r.SendDelay); }},
      {"XonXoff=1\nHardwareStart=1\n",
       [](const TComPort& r) {
         EXPECT_TRUE(r.Dcb.xonXoffOut && r.Dcb.xonXoffIn);
         EXPECT_TRUE(r.RtsCts);
         EXPECT_FALSE(r.DtrDsr);
       }},
      {"RtsCts=0\n",
       [](const TComPort& r) {
         EXPECT_FALSE(r.RtsCts || r.RtsControlHandshake || r.Dcb.rtsCts);
         EXPECT_TRUE(r.Dcb.dtrDsr);
       }},
      {"TimeOut=0\nTimeMultiplier=10\nLoopDelay=-3\nDelay=-5\n",
       [](const TComPort& r) {
         EXPECT_EQ(r.TimeOut, 1);
         EXPECT_EQ(r.WriteTries, 1) << "Break defaults to TimeOut";
         EXPECT_EQ(r.TimeMultiplier, 50);
         EXPECT_EQ(r.LoopDelay, 3);
         EXPECT_EQ(r.Delay, 0);
       }},
      {"TimeOut=4\nBreak=7\n", [](const TComPort& r) { EXPECT_EQ(r.WriteTries, 7); }},
      {"EOB=[CR][LF][CR][LF][CR][LF]ABCDE\n",
       [](const TComPort& r) { EXPECT_EQ(r.Eob, "\r\n\r\n\r\nABCD"); }},
      {"EOB=\nTVTegn=\n",
       [](const TComPort& r) {
         EXPECT_EQ(r.Eob, "");
         EXPECT_EQ(r.TVTegn, ' ');
       }},
      {"StoppTid=1\nStoppByte=300\n", [](const TComPort& r) { EXPECT_EQ(r.StoppByte, -1); }},
      {"StoppTid=0\nStoppByte=20\nBreakSignal=1\nGyldigeTegn=#\n",
       [](const TComPort& r) {
         EXPECT_EQ(r.StoppByte, -1);
         EXPECT_FALSE(r.BreakSignal);
         EXPECT_TRUE(r.ValidSet.none());
       }},
      {"Paritet=e\nStoppBit=2\nBaud=4800\n",
       [](const TComPort& r) {
         EXPECT_EQ(r.Dcb.parity, Parity::Even);
         EXPECT_EQ(r.StopBits, 2);
         EXPECT_EQ(r.Dcb.stopBits, 2);
         EXPECT_EQ(r.Dcb.baud, 4800);
       }},
      {"Paritet=O\nStoppBit=3\n",
       [](const TComPort& r) {
         EXPECT_EQ(r.Dcb.parity, Parity::Odd);
         EXPECT_EQ(r.StopBits, 1);
       }},
      {"Paritet=Y\n", [](const TComPort& r) { EXPECT_EQ(r.Dcb.parity, Parity::None); }},
      {"FjernNull=1\nPing= 10.1.1.9 \nBlokkvis=1\nBrytBlokkvis=[CAN]\nNyBlokkvis=[XON]\n"
       "StartBlokkvis=100\n",
       [](const TComPort& r) {
         EXPECT_TRUE(r.Dcb.stripNul);
         EXPECT_EQ(r.PingHost, "10.1.1.9");
         EXPECT_TRUE(r.Blokkvis);
         EXPECT_EQ(r.BreakSet, Set("\x18"));
         EXPECT_EQ(r.ContinueSet, Set("\x11"));
         EXPECT_EQ(r.StartBlokkvis, 100);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    c.check(Read(c.ini));
  }
}

TEST(ComPortSettings, PortSectionNotMachineSection) {
  test::ScopedIni ini("[Maskin1]\nBaud=300\n[COM4]\nBaud=19200\n");
  TComPort rec;
  ReadComPortSettings(" COM4 ", "", false, rec);
  EXPECT_EQ(rec.Dcb.baud, 19200);
}

}  // namespace
}  // namespace zova
