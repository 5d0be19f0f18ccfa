#include "files/convert/file_format.h"

#include <string>

#include "core/config/config.h"
#include "core/uihost.h"

namespace zova {

namespace {

struct FormatName {
  std::string_view name;
  int number;
};

constexpr FormatName kNames[] = {
    {"STANDARD", kFormatStandard},
    {"NJ", kFormatNJ},
    {"NJBTR", kFormatNJBTR},
    {"NJNC", kFormatNJNC},
    {"KBGCNC2000", kFormatNJNC},
    {"EMCO", kFormatEMCO},
    {"NJCINCI", kFormatNJCinci},
    {"PROSENT", kFormatProsent},
    {"HAKMO", kFormatHakmo},
    {"OKUMA3000", kFormatOkuma3000},
    {"KBGCNC200", kFormatKbgCnc200},
    {"KOMMENTARER", kFormatKommentarer},
    {"SIEMENSCLEAR", kFormatSiemensClear},
    {"KOPI", kFormatKopi},
    {"SMT", kFormatSMT},
    {"OKUMA5000", kFormatOkuma5000},
    {"FANUC", kFormatFanuc},
};

}  // namespace

int FileFormatNumber(std::string_view value) {
  for (const auto& n : kNames)
    if (n.name == value) return n.number;
  return -1;
}

int ReadFileFormat(std::string_view section) {
  std::string value = ReadIniUpper(section, "FilFormat", "STANDARD");
  int number = FileFormatNumber(value);
  if (number >= 0) return number;
  ShowNotice("Ugyldig filformat", value);
  return kFormatStandard;
}

}  // namespace zova
