#pragma once
// Typed reads and writes of the active Zova.ini (Globals().IniFil). Callable
// from any thread; every read sees every earlier write.

#include <bitset>
#include <string>
#include <string_view>

namespace zova {

using CharSet = std::bitset<256>;

// The value as stored (case kept); the default when the key is missing, the
// stored value even when it is empty. Visual: passed through VisualToStr.
std::string ReadIniStr(std::string_view section, std::string_view key, std::string_view def,
                       bool visual = false);
// ReadIniStr, then Latin-1 upper case.
std::string ReadIniUpper(std::string_view section, std::string_view key, std::string_view def,
                         bool visual = false);
// True exactly for "TRUE" or "1" in any case.
bool ReadIniBool(std::string_view section, std::string_view key, bool def);
// A value that does not parse whole yields the default.
int ReadIniInt(std::string_view section, std::string_view key, int def);
double ReadIniFloat(std::string_view section, std::string_view key, double def);
// Upper-cased, visual; exactly one byte long gives that byte, else the default.
char ReadIniChar(std::string_view section, std::string_view key, char def);
// Case kept, visual; Present = value not empty; the set of its bytes.
CharSet ReadIniCharSet(std::string_view section, std::string_view key, std::string_view def,
                       bool& present);
// True when the key is present in the section (a machine key then overrides
// the program default).
bool IniKeyExists(std::string_view section, std::string_view key);
bool IniSectionExists(std::string_view section);

// False when the file cannot be written.
bool WriteIniStr(std::string_view section, std::string_view key, std::string_view value);
bool WriteIniBool(std::string_view section, std::string_view key, bool b);

// Reads of any profile file (the registry files, test files).
std::string ReadProfileStr(const std::string& stationPath, std::string_view section,
                           std::string_view key, std::string_view def);
bool WriteProfileStr(const std::string& stationPath, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace zova
