#include "files/transfer/char_codes.h"

#include <gtest/gtest.h>

#include <bit>

namespace zova {
namespace {

TEST(CharCodes, NamesMapToCodes) {
  const std::pair<const char*, int> cases[] = {
      {"ASCII", 0},    {"EIA", 2},      {"SOFTISO", 3}, {"ISOEIA", 4}, {"EIAISO", 5},
      {"ASCIIISO", 6}, {"ISOASCII", 7}, {"ISO", 1},     {"", 1},       {"XYZ", 1},
  };
  for (auto [name, code] : cases) EXPECT_EQ(CodeFromName(name), code) << name;
}

TEST(CharCodes, IsoEvenParityRoundTripsAndFlagsBadParity) {
  for (int c = 0; c < 128; ++c) {
    const auto e = static_cast<unsigned char>(EncodeChar(kCodeIso, static_cast<char>(c)));
    EXPECT_EQ(std::popcount(static_cast<unsigned>(e)) % 2, 0) << c;
    EXPECT_EQ(e & 0x7F, c);
    EXPECT_EQ(DecodeChar(kCodeIso, static_cast<char>(e)), static_cast<char>(c));
    // The same byte with the parity bit flipped is a line error.
    EXPECT_EQ(DecodeChar(kCodeIso, static_cast<char>(e ^ 0x80)), '?') << c;
  }
  for (int c = 128; c < 256; ++c) EXPECT_EQ(EncodeChar(kCodeIso, static_cast<char>(c)), '?');
  EXPECT_EQ(static_cast<unsigned char>(EncodeChar(kCodeIso, 'C')), 0xC3u);  // 0x43 has 3 bits
}

TEST(CharCodes, SoftIsoSendsDc3WithoutParityAndStripsOnReceive) {
  EXPECT_EQ(EncodeChar(kCodeSoftIso, 19), 19);
  EXPECT_EQ(static_cast<unsigned char>(EncodeChar(kCodeIso, 19)), 0x93u);
  EXPECT_EQ(EncodeChar(kCodeSoftIso, 'C'), EncodeChar(kCodeIso, 'C'));
  EXPECT_EQ(DecodeChar(kCodeSoftIso, static_cast<char>(0xC3)), 'C');
}

TEST(CharCodes, EiaTableAsTabled) {
  const std::pair<char, unsigned> send[] = {
      {0, 0x00},   {'\r', 0x80}, {19, 0x93},  {' ', 0x3E}, {'$', 0x3E},  {'%', 0x0B},  {'(', 0x1A},
      {')', 0x4A}, {'0', 0x20},  {'3', 0x13}, {'9', 0x19}, {'@', 0x6D},  {'\\', 0x6D}, {'A', 0x61},
      {'M', 0x54}, {'Z', 0x29},  {127, 0x7F}, {'a', 0x2A}, {'\n', 0x2A}, {'#', 0x2A},  {'*', 0x2A},
  };
  for (auto [ch, code] : send)
    EXPECT_EQ(static_cast<unsigned char>(EncodeChar(kCodeEia, ch)), code) << int(ch);
  const std::pair<unsigned, char> receive[] = {
      {0x10, ' '},  {0x3E, ' '}, {0x6D, '@'}, {0x13, '3'}, {0x93, 19},
      {0x80, '\r'}, {0x2A, '*'}, {0xFF, '*'}, {0x03, '*'},
  };
  for (auto [code, ch] : receive)
    EXPECT_EQ(DecodeChar(kCodeEia, static_cast<char>(code)), ch) << code;
}

TEST(CharCodes, EiaRoundTripsEveryCharacterWithItsOwnCode) {
  int withCode = 0;
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    if (!EiaHasCode(ch) || ch == '$' || ch == '\\') continue;  // share a code
    ++withCode;
    EXPECT_EQ(DecodeChar(kCodeEia, EncodeChar(kCodeEia, ch)), ch) << c;
  }
  EXPECT_EQ(withCode, 58);
}

TEST(CharCodes, MixedCodesFallBackToStrippedBit) {
  // 0x03 has no EIA entry: plain EIA gives "*", the mixed codes bit 7 cleared.
  EXPECT_EQ(DecodeChar(kCodeIsoEia, static_cast<char>(0x83)), 3);
  EXPECT_EQ(DecodeChar(kCodeEiaIso, static_cast<char>(0x83)), 3);
  EXPECT_EQ(DecodeChar(kCodeIsoEia, static_cast<char>(0x61)), 'A');
  EXPECT_EQ(EncodeChar(kCodeIsoEia, 'C'), EncodeChar(kCodeIso, 'C'));
  EXPECT_EQ(EncodeChar(kCodeEiaIso, 'C'), EncodeChar(kCodeEia, 'C'));
  EXPECT_EQ(EncodeChar(kCodeAsciiIso, 'C'), 'C');
  EXPECT_EQ(DecodeChar(kCodeAsciiIso, static_cast<char>(0xC3)), 'C');
  EXPECT_EQ(EncodeChar(kCodeIsoAscii, 'C'), EncodeChar(kCodeIso, 'C'));
  EXPECT_EQ(DecodeChar(kCodeIsoAscii, static_cast<char>(0xC3)), 'C');
  EXPECT_EQ(EncodeChar(99, 'x'), 'x');  // an out-of-range code never indexes past the tables
}

TEST(CharCodes, BufferFormsMatchSingleCharacters) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (int code = 0; code < kLineCodeCount; ++code) {
    std::string enc = all, dec = all;
    EncodeBuffer(code, enc.data(), enc.size());
    DecodeBuffer(code, dec.data(), dec.size());
    for (int c = 0; c < 256; ++c) {
      EXPECT_EQ(enc[c], EncodeChar(code, static_cast<char>(c)));
      EXPECT_EQ(dec[c], DecodeChar(code, static_cast<char>(c)));
    }
  }
}

}  // namespace
}  // namespace zova
