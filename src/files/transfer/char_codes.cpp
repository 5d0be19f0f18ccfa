#include "files/transfer/char_codes.h"

#include <array>
#include <bit>

namespace zova {
namespace {

using Table = std::array<uint8_t, 256>;

struct EiaPair {
  uint8_t ch, code;
};

// The tape code as this station has always sent it.
constexpr EiaPair kEiaSend[] = {
    {0, 0x00},   {13, 0x80},   {17, 0x11},  {18, 0x12},  {19, 0x93},  {20, 0x14},  {' ', 0x3E},
    {'!', 0x7C}, {'"', 0x7A},  {'$', 0x3E}, {'%', 0x0B}, {'(', 0x1A}, {')', 0x4A}, {'*', 0x2A},
    {'+', 0x70}, {',', 0x3B},  {'-', 0x40}, {'.', 0x6B}, {'/', 0x31}, {'0', 0x20}, {'1', 0x01},
    {'2', 0x02}, {'3', 0x13},  {'4', 0x04}, {'5', 0x15}, {'6', 0x16}, {'7', 0x07}, {'8', 0x08},
    {'9', 0x19}, {'@', 0x6D},  {'A', 0x61}, {'B', 0x62}, {'C', 0x73}, {'D', 0x64}, {'E', 0x75},
    {'F', 0x76}, {'G', 0x67},  {'H', 0x68}, {'I', 0x79}, {'J', 0x51}, {'K', 0x52}, {'L', 0x43},
    {'M', 0x54}, {'N', 0x45},  {'O', 0x46}, {'P', 0x57}, {'Q', 0x58}, {'R', 0x49}, {'S', 0x32},
    {'T', 0x23}, {'U', 0x34},  {'V', 0x25}, {'W', 0x26}, {'X', 0x37}, {'Y', 0x38}, {'Z', 0x29},
    {'[', 0x5B}, {'\\', 0x6D}, {']', 0x5D}, {127, 0x7F},
};

constexpr uint8_t kEiaFiller = 0x2A;
constexpr int kNoEntry = -1;

constexpr void Put(uint8_t (&to)[256], const Table& from) {
  for (int b = 0; b < 256; ++b) to[b] = from[b];
}

constexpr LineCodeTables BuildTables() {
  LineCodeTables t;
  Table isoEnc{}, isoDec{}, eiaEnc{}, eiaDec{}, ident{}, strip{}, eiaOrStrip{};
  std::array<int, 256> eiaInv{};
  eiaInv.fill(kNoEntry);
  eiaEnc.fill(kEiaFiller);
  for (const EiaPair& p : kEiaSend) {
    eiaEnc[p.ch] = p.code;
    t.eiaHas[p.ch] = true;
    if (eiaInv[p.code] == kNoEntry) eiaInv[p.code] = p.ch;
  }
  // Where two characters share a code, the receiving side settles it.
  eiaInv[0x10] = ' ';
  eiaInv[0x3E] = ' ';
  eiaInv[0x6D] = '@';
  eiaInv[0x13] = '3';
  eiaInv[0x93] = 19;
  for (int b = 0; b < 256; ++b) {
    auto u = static_cast<unsigned>(b);
    ident[b] = static_cast<uint8_t>(b);
    strip[b] = static_cast<uint8_t>(b & 0x7F);
    isoEnc[b] = b < 128 ? static_cast<uint8_t>((std::popcount(u) & 1) ? (b | 0x80) : b) : '?';
    isoDec[b] = (std::popcount(u) & 1) ? '?' : static_cast<uint8_t>(b & 0x7F);
    eiaDec[b] = eiaInv[b] == kNoEntry ? '*' : static_cast<uint8_t>(eiaInv[b]);
    eiaOrStrip[b] = eiaInv[b] == kNoEntry ? strip[b] : static_cast<uint8_t>(eiaInv[b]);
  }
  Table softIsoEnc = isoEnc;
  softIsoEnc[19] = 19;  // DC3 goes out without its parity bit
  Put(t.enc[kCodeAscii], ident);
  Put(t.dec[kCodeAscii], ident);
  Put(t.enc[kCodeIso], isoEnc);
  Put(t.dec[kCodeIso], isoDec);
  Put(t.enc[kCodeEia], eiaEnc);
  Put(t.dec[kCodeEia], eiaDec);
  Put(t.enc[kCodeSoftIso], softIsoEnc);
  Put(t.dec[kCodeSoftIso], strip);
  Put(t.enc[kCodeIsoEia], isoEnc);
  Put(t.dec[kCodeIsoEia], eiaOrStrip);
  Put(t.enc[kCodeEiaIso], eiaEnc);
  Put(t.dec[kCodeEiaIso], eiaOrStrip);
  Put(t.enc[kCodeAsciiIso], ident);
  Put(t.dec[kCodeAsciiIso], strip);
  Put(t.enc[kCodeIsoAscii], isoEnc);
  Put(t.dec[kCodeIsoAscii], strip);
  return t;
}

void Apply(const uint8_t (&t)[256], char* data, size_t n) {
  auto* p = reinterpret_cast<uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) p[i] = t[p[i]];
}

}  // namespace

constinit const LineCodeTables kLineCodeTables = BuildTables();

int CodeFromName(std::string_view text) {
  if (text == "ASCII") return kCodeAscii;
  if (text == "EIA") return kCodeEia;
  if (text == "SOFTISO") return kCodeSoftIso;
  if (text == "ISOEIA") return kCodeIsoEia;
  if (text == "EIAISO") return kCodeEiaIso;
  if (text == "ASCIIISO") return kCodeAsciiIso;
  if (text == "ISOASCII") return kCodeIsoAscii;
  return kCodeIso;
}

void EncodeBuffer(int code, char* data, size_t n) {
  Apply(kLineCodeTables.enc[SafeLineCode(code)], data, n);
}

void DecodeBuffer(int code, char* data, size_t n) {
  Apply(kLineCodeTables.dec[SafeLineCode(code)], data, n);
}

bool EiaHasCode(char ch) {
  return kLineCodeTables.eiaHas[static_cast<uint8_t>(ch)];
}

}  // namespace zova
