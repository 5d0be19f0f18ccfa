#include "core/config/config.h"

#include "core/config/profile_file.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/numformat.h"
#include "core/numparse.h"
#include "core/paths.h"
#include "core/uihost.h"
#include "core/visual.h"

namespace zova {

namespace {

constexpr size_t kMaxValue = 4095;  // the 4096-byte buffer of the profile API

ProfileFile* ActiveFile() {
  const std::string& ini = Globals().IniFil;
  if (ini.empty()) return nullptr;
  // Resolving the path costs a stat per component; reads are hot, so each
  // thread remembers the file of the last name it saw.
  thread_local std::string lastIni;
  thread_local ProfileFile* lastFile = nullptr;
  if (!lastFile || lastIni != ini) {
    lastFile = &ProfileAt(FsPath(ini));
    lastIni = ini;
  }
  return lastFile;
}

}  // namespace

std::string ReadIniStr(std::string_view section, std::string_view key, std::string_view def,
                       bool visual) {
  std::string value(def);
  ProfileFile* file = ActiveFile();
  if (!file) {
    ShowNotice("Advarsel", L1("Programfeil - ingen aktiv ini-fil:") + "\r[" + std::string(section) +
                               "], " + std::string(key) + " = " + std::string(def));
  } else if (!section.empty() && !key.empty()) {
    if (auto v = file->Read(section, key)) value = v->substr(0, kMaxValue);
  }
  if (visual) VisualToStr(value);
  return value;
}

std::string ReadIniUpper(std::string_view section, std::string_view key, std::string_view def,
                         bool visual) {
  return UpperCase(ReadIniStr(section, key, def, visual));
}

bool ReadIniBool(std::string_view section, std::string_view key, bool def) {
  std::string v = ReadIniUpper(section, key, def ? "True" : "False");
  return v == "TRUE" || v == "1";
}

int ReadIniInt(std::string_view section, std::string_view key, int def) {
  return ParseInteger(ReadIniStr(section, key, std::to_string(def))).value_or(def);
}

double ReadIniFloat(std::string_view section, std::string_view key, double def) {
  return ParseFloat(ReadIniStr(section, key, FloatToStr(def, 4))).value_or(def);
}

char ReadIniChar(std::string_view section, std::string_view key, char def) {
  std::string v = ReadIniUpper(section, key, std::string(1, def), true);
  return v.size() == 1 ? v[0] : def;
}

CharSet ReadIniCharSet(std::string_view section, std::string_view key, std::string_view def,
                       bool& present) {
  std::string v = ReadIniStr(section, key, def, true);
  present = !v.empty();
  CharSet set;
  for (char c : v) set.set(static_cast<unsigned char>(c));
  return set;
}

bool IniKeyExists(std::string_view section, std::string_view key) {
  ProfileFile* file = ActiveFile();
  return file && file->Read(section, key).has_value();
}

bool IniSectionExists(std::string_view section) {
  ProfileFile* file = ActiveFile();
  return file && file->HasSection(section);
}

bool WriteIniStr(std::string_view section, std::string_view key, std::string_view value) {
  ProfileFile* file = ActiveFile();
  return file && file->Write(section, key, value);
}

bool WriteIniBool(std::string_view section, std::string_view key, bool b) {
  return WriteIniStr(section, key, b ? "True" : "False");
}

std::string ReadProfileStr(const std::string& stationPath, std::string_view section,
                           std::string_view key, std::string_view def) {
  auto v = ProfileAt(FsPath(stationPath)).Read(section, key);
  return v ? *v : std::string(def);
}

bool WriteProfileStr(const std::string& stationPath, std::string_view section, std::string_view key,
                     std::string_view value) {
  return ProfileAt(FsPath(stationPath)).Write(section, key, value);
}

}  // namespace zova
