#pragma once
// The line codes of a serial line: how a character becomes the byte on the
// wire and back. Tables are built once; every lookup is one array read, so
// whole buffers can be converted at memory speed.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zova {

enum LineCode : int {
  kCodeAscii = 0,
  kCodeIso = 1,
  kCodeEia = 2,
  kCodeSoftIso = 3,
  kCodeIsoEia = 4,
  kCodeEiaIso = 5,
  kCodeAsciiIso = 6,
  kCodeIsoAscii = 7,
};
inline constexpr int kLineCodeCount = 8;

// The Kode value (upper-cased) to its number; anything unknown, "ISO"
// included, is ISO.
int CodeFromName(std::string_view text);

// The tables, built by the compiler; inline lookups, since a line converts
// every byte it carries.
struct LineCodeTables {
  uint8_t enc[kLineCodeCount][256] = {};
  uint8_t dec[kLineCodeCount][256] = {};
  bool eiaHas[256] = {};
};
extern const LineCodeTables kLineCodeTables;

// A code outside 0..7 is treated as ASCII (unchanged bytes).
inline int SafeLineCode(int code) {
  return code >= 0 && code < kLineCodeCount ? code : kCodeAscii;
}
inline char EncodeChar(int code, char ch) {
  return static_cast<char>(kLineCodeTables.enc[SafeLineCode(code)][static_cast<uint8_t>(ch)]);
}
inline char DecodeChar(int code, char ch) {
  return static_cast<char>(kLineCodeTables.dec[SafeLineCode(code)][static_cast<uint8_t>(ch)]);
}

// In place over a buffer.
void EncodeBuffer(int code, char* data, size_t n);
void DecodeBuffer(int code, char* data, size_t n);

// True when the EIA tape code has its own entry for the character (the rest
// is sent as the filler 0x2A).
bool EiaHasCode(char ch);

}  // namespace zova
