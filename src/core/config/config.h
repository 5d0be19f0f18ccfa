#pragma once
// Typed reads and writes of the active Zova.ini (Globals().IniFil). Callable
// from any thread; every read sees every earlier write.

#include <string>
#include <string_view>

#include "core/config/section_values.h"

namespace zova {

// Each read follows the rules of the same name in section_values.h.
std::string ReadIniStr(std::string_view section, std::string_view key, std::string_view def,
                       bool visual = false);
std::string ReadIniUpper(std::string_view section, std::string_view key, std::string_view def,
                         bool visual = false);
bool ReadIniBool(std::string_view section, std::string_view key, bool def);
int ReadIniInt(std::string_view section, std::string_view key, int def);
double ReadIniFloat(std::string_view section, std::string_view key, double def);
char ReadIniChar(std::string_view section, std::string_view key, char def);
CharSet ReadIniCharSet(std::string_view section, std::string_view key, std::string_view def,
                       bool& present);
// True when the key is present in the section (a machine key then overrides
// the program default).
bool IniKeyExists(std::string_view section, std::string_view key);
bool IniSectionExists(std::string_view section);
// [Section] of the active file for the readers of a whole section; each read
// sees the file as it is then.
SectionValues IniSection(std::string_view section);

// False when the file cannot be written.
bool WriteIniStr(std::string_view section, std::string_view key, std::string_view value);
bool WriteIniBool(std::string_view section, std::string_view key, bool b);

// Reads of any profile file (the registry files, test files).
std::string ReadProfileStr(const std::string& stationPath, std::string_view section,
                           std::string_view key, std::string_view def);
bool WriteProfileStr(const std::string& stationPath, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace zova
