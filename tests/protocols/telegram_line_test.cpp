// A telegram line's settings: what the port section may keep and what it
// must give up so that every block check byte passes.

#include "protocols/t3964r/telegram_line.h"

#include <gtest/gtest.h>

#include "files/transfer/char_codes.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(TelegramLine, EveryCodeCarriesEveryCheckByteAndKeepsOnlyItsParity) {
  struct Case {
    int code;
    int telegramCode;
  } cases[] = {
      {kCodeAscii, kCodeAscii},       {kCodeIso, kCodeIsoAscii},      {kCodeEia, kCodeAscii},
      {kCodeSoftIso, kCodeIsoAscii},  {kCodeIsoEia, kCodeIsoAscii},   {kCodeEiaIso, kCodeAsciiIso},
      {kCodeAsciiIso, kCodeAsciiIso}, {kCodeIsoAscii, kCodeIsoAscii}, {99, kCodeAscii},
  };
  for (const Case& c : cases) {
    const int code = TelegramLineCode(c.code);
    EXPECT_EQ(code, c.telegramCode) << c.code;
    for (int b = 0; b < 128; ++b) {
      const char ch = static_cast<char>(b);
      const auto wire = static_cast<uint8_t>(EncodeChar(code, ch));
      EXPECT_EQ(wire & 0x7F, b) << "code " << c.code << " byte " << b;
      EXPECT_EQ(DecodeChar(code, static_cast<char>(wire)), ch) << "code " << c.code;
    }
  }
  // The parity an 8-bit port adds for a 7E1 control stays: XOFF goes with it.
  EXPECT_EQ(static_cast<uint8_t>(EncodeChar(TelegramLineCode(kCodeSoftIso), 0x13)), 0x93);
}

TEST(TelegramLine, TheTextSettingsGoTheLineSettingsStay) {
  PortSettings p = ReadPortSettings(
      SectionValues::In(ProfileText("[COM1]\nBaud=19200\nBit=7\nParitet=E\nXonXoff=True\n"
                                    "FjernNull=True\nEOB=[CR]\nBuffer=True\nXOnTest=True\n"
                                    "TVCheck=True\nBlokkvis=True\nXonStart=True\nRtsCts=True\n"),
                        "COM1"),
      "", true);
  LineSettings kernel = p.Line;
  MakeTelegramLine(p, kernel);
  EXPECT_EQ(p.Eob, "");
  EXPECT_FALSE(p.XonStart || p.Blokkvis || p.XonXoff || p.FjernNull || p.Buffer || p.XOnTest ||
               p.TVCheck);
  for (const LineSettings& line : {p.Line, kernel}) {
    EXPECT_FALSE(line.xonXoffIn || line.xonXoffOut || line.stripNul);
    EXPECT_EQ(line.baud, 19200);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_EQ(line.parity, Parity::Even);
    EXPECT_TRUE(line.rtsCts);
  }
}

}  // namespace
}  // namespace zova
