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

// A code outside 0..7 is treated as ASCII (unchanged bytes).
char EncodeChar(int code, char ch);
char DecodeChar(int code, char ch);

// In place over a buffer.
void EncodeBuffer(int code, char* data, size_t n);
void DecodeBuffer(int code, char* data, size_t n);

// True when the EIA tape code has its own entry for the character (the rest
// is sent as the filler 0x2A).
bool EiaHasCode(char ch);

}  // namespace zova
