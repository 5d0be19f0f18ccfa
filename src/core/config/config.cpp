#include "core/config/config.h"

#include "core/config/profile_file.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/numformat.h"
#include "core/paths.h"
#include "core/uihost.h"

namespace zova {

namespace {

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

// DefText only names the default in the warning about a missing active file.
StoredValue Stored(std::string_view section, std::string_view key, std::string_view defText) {
  ProfileFile* file = ActiveFile();
  if (!file) {
    ShowNotice("Advarsel", L1("Programfeil - ingen aktiv ini-fil:") + "\r[" + std::string(section) +
                               "], " + std::string(key) + " = " + std::string(defText));
    return std::nullopt;
  }
  if (section.empty() || key.empty()) return std::nullopt;
  return file->Read(section, key);
}

}  // namespace

std::string ReadIniStr(std::string_view section, std::string_view key, std::string_view def,
                       bool visual) {
  return StrValue(Stored(section, key, def), def, visual);
}

std::string ReadIniUpper(std::string_view section, std::string_view key, std::string_view def,
                         bool visual) {
  return UpperValue(Stored(section, key, def), def, visual);
}

bool ReadIniBool(std::string_view section, std::string_view key, bool def) {
  return BoolValue(Stored(section, key, def ? "True" : "False"), def);
}

int ReadIniInt(std::string_view section, std::string_view key, int def) {
  return IntValue(Stored(section, key, std::to_string(def)), def);
}

double ReadIniFloat(std::string_view section, std::string_view key, double def) {
  return FloatValue(Stored(section, key, FloatToStr(def, 4)), def);
}

char ReadIniChar(std::string_view section, std::string_view key, char def) {
  return CharValue(Stored(section, key, std::string(1, def)), def);
}

CharSet ReadIniCharSet(std::string_view section, std::string_view key, std::string_view def,
                       bool& present) {
  return CharSetValue(Stored(section, key, def), def, present);
}

SectionValues IniSection(std::string_view section) {
  return SectionValues(
      [sec = std::string(section)](std::string_view key) { return Stored(sec, key, ""); });
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
