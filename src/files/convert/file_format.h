#pragma once
// The machine's FilFormat: which rewrite a program gets before it is sent.

#include <string_view>

namespace zova {

enum FileFormatNo : int {
  kFormatStandard = 0,
  kFormatNJ = 1,
  kFormatNJBTR = 2,
  kFormatNJNC = 3,
  kFormatEMCO = 4,
  kFormatNJCinci = 5,
  kFormatProsent = 6,
  kFormatHakmo = 7,
  kFormatOkuma3000 = 8,
  kFormatKbgCnc200 = 9,
  kFormatKommentarer = 10,
  kFormatSiemensClear = 11,
  kFormatKopi = 12,
  kFormatSMT = 13,
  kFormatOkuma5000 = 14,
  kFormatFanuc = 15,
};
inline constexpr int kFormatCount = 16;

// Number of an upper-cased FilFormat value; -1 when it names no conversion.
int FileFormatNumber(std::string_view value);

// FilFormat of the section (default "STANDARD"). An unknown value raises the
// notice "Ugyldig filformat" with the value as text and gives 0.
int ReadFileFormat(std::string_view section);

}  // namespace zova
