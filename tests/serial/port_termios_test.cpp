// Every line a port section can ask for, from the section's text to a
// termios record and back: the kernel must be asked for what the keys say,
// and ReadTermios must give it back unchanged.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "serial/device/termios_settings.h"
#include "serial/line/port_settings.h"

namespace zova {
namespace {

PortSettings Read(const std::string& keys) {
  return ReadPortSettings(SectionValues::In(ProfileText("[COM1]\n" + keys), "COM1"), "", false);
}

// A record left by a terminal in cooked mode, with every flag the station
// clears set, and one that starts from nothing.
std::vector<termios> Bases() {
  termios cooked{};
  cooked.c_iflag = ICRNL | IXON | IXOFF | IXANY | IMAXBEL | BRKINT | INPCK | ISTRIP | PARMRK;
  cooked.c_oflag = OPOST | ONLCR;
  cooked.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL | CREAD;
  cooked.c_lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | IEXTEN;
  cooked.c_cc[VSTART] = 1;
  cooked.c_cc[VSTOP] = 2;
  cfsetispeed(&cooked, B300);
  cfsetospeed(&cooked, B38400);
  return {termios{}, cooked};
}

// Settings -> termios -> settings. DtrDsr and StripNul have no termios form.
void ExpectRoundTrip(const std::string& keys, const PortSettings& s) {
  for (const termios& base : Bases()) {
    termios t;
    int err = -1;
    ASSERT_TRUE(BuildTermios(s.Line, base, t, err)) << keys;
    EXPECT_EQ(t.c_iflag & (IXANY | ICRNL | ISTRIP | PARMRK), 0u) << keys;
    LineSettings back = ReadTermios(t);
    EXPECT_EQ(SettingsDifference(s.Line, back), "") << keys;
    back.dtrDsr = s.Line.dtrDsr;
    back.stripNul = s.Line.stripNul;
    EXPECT_EQ(back, s.Line) << keys;
  }
}

const char* const kCodes[] = {"ASCII",  "ISO",    "EIA",      "SOFTISO",
                              "ISOEIA", "EIAISO", "ASCIIISO", "ISOASCII"};

TEST(PortTermios, EveryFramingRoundTrips) {
  const int bauds[] = {50,      75,      110,     134,     150,     200,    300,     600,
                       1200,    1800,    2400,    4800,    9600,    19200,  38400,   57600,
                       115200,  230400,  460800,  500000,  576000,  921600, 1000000, 1152000,
                       1500000, 2000000, 2500000, 3000000, 3500000, 4000000};
  const struct {
    const char* key;
    Parity parity;
  } parities[] = {
      {"N", Parity::None}, {"E", Parity::Even}, {"O", Parity::Odd}, {"M", Parity::None}};
  for (int baud : bauds)
    for (int bits = 5; bits <= 8; ++bits)
      for (const auto& p : parities)
        for (int stop = 1; stop <= 3; ++stop)
          for (const char* code : kCodes) {
            const std::string keys = "Baud=" + std::to_string(baud) +
                                     "\nBit=" + std::to_string(bits) + "\nParitet=" + p.key +
                                     "\nStoppBit=" + std::to_string(stop) + "\nKode=" + code + "\n";
            const PortSettings s = Read(keys);
            ASSERT_EQ(s.Line.baud, baud);
            ASSERT_EQ(s.Line.dataBits, bits);
            ASSERT_EQ(s.Line.parity, p.parity);
            ASSERT_EQ(s.Line.stopBits, stop == 2 ? 2 : 1);
            ASSERT_EQ(s.StopBits, s.Line.stopBits);
            ExpectRoundTrip(keys, s);
            if (HasFailure()) return;
          }
}

TEST(PortTermios, LinesTheKernelCannotCarryAreRefused) {
  for (const char* keys : {"Baud=0\n", "Baud=14400\n", "Baud=-9600\n", "Bit=4\n", "Bit=9\n"}) {
    termios t{};
    int err = 0;
    EXPECT_FALSE(BuildTermios(Read(keys).Line, termios{}, t, err)) << keys;
    EXPECT_EQ(err, EINVAL) << keys;
  }
}

// The flow keys, each absent or given, with every code on 7 and 8 bits (the
// XOFF character depends on both).
TEST(PortTermios, EveryFlowCombinationRoundTrips) {
  const std::vector<std::string> xonXoff = {"", "XonXoff=1\n"};
  const std::vector<std::string> handShake = {"", "HandShake=0\n"};
  const std::vector<std::string> stoppTid = {"", "StoppTid=2\n"};
  const std::vector<std::string> rtsCts = {"", "RtsCts=0\n", "RtsCts=1\n"};
  const std::vector<std::string> hwStart = {"", "HardwareStart=0\n", "HardwareStart=1\n"};
  const std::vector<std::string> dtrDsr = {"", "DtrDsr=0\n", "DtrDsr=1\n"};
  // A flow key's value, or its default when the section leaves it out.
  auto given = [](const std::string& key, bool absent) {
    return key.empty() ? absent : key.find("=1") != std::string::npos;
  };
  for (const auto& xo : xonXoff)
    for (const auto& hs : handShake)
      for (const auto& st : stoppTid)
        for (const auto& rc : rtsCts)
          for (const auto& hw : hwStart)
            for (const auto& dd : dtrDsr)
              for (const char* code : kCodes)
                for (int bits : {7, 8}) {
                  const std::string keys = xo + hs + st + rc + hw + dd + "Kode=" + code +
                                           "\nBit=" + std::to_string(bits) + "\n";
                  const PortSettings s = Read(keys);
                  const bool handshake = hs.empty();
                  const bool xon = handshake && !xo.empty();
                  const bool start = given(hw, xo.empty());
                  EXPECT_EQ(s.Line.xonXoffIn, xon) << keys;
                  EXPECT_EQ(s.Line.xonXoffOut, xon && start) << keys;
                  EXPECT_EQ(s.Line.rtsCts, handshake && given(rc, start)) << keys;
                  EXPECT_EQ(s.Line.dtrDsr, handshake && given(dd, xo.empty())) << keys;
                  const char xoff = bits == 8 ? EncodeChar(s.Code, 19) : 19;
                  EXPECT_EQ(s.Line.xoffChar, static_cast<uint8_t>(xoff)) << keys;
                  EXPECT_EQ(s.Line.xonChar, 17) << keys;
                  ExpectRoundTrip(keys, s);
                  if (HasFailure()) return;
                }
}

}  // namespace
}  // namespace zova
