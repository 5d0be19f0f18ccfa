#pragma once
// The typed-read rules of the configuration, applied to a value as stored
// (nullopt: the key is missing), and a view of one section that reads with
// them. The active Zova.ini (config.h) and the pure readers of a section's
// text share these rules, so a setting means the same wherever it is read.

#include <bitset>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/profile_text.h"

namespace zova {

using CharSet = std::bitset<256>;
using StoredValue = std::optional<std::string>;

// The value as stored (case kept); the default when the key is missing, the
// stored value even when it is empty. Visual: passed through VisualToStr.
std::string StrValue(const StoredValue& stored, std::string_view def, bool visual = false);
// StrValue, then Latin-1 upper case.
std::string UpperValue(const StoredValue& stored, std::string_view def, bool visual = false);
// True exactly for "TRUE" or "1" in any case.
bool BoolValue(const StoredValue& stored, bool def);
// A value that does not parse whole yields the default.
int IntValue(const StoredValue& stored, int def);
double FloatValue(const StoredValue& stored, double def);
// Upper-cased, visual; exactly one byte long gives that byte, else the default.
char CharValue(const StoredValue& stored, char def);
// Case kept, visual; Present = value not empty; the set of its bytes.
CharSet CharSetValue(const StoredValue& stored, std::string_view def, bool& present);

// The keys of one section, read with the rules above. Copies share the
// source.
class SectionValues {
 public:
  using Lookup = std::function<StoredValue(std::string_view key)>;

  explicit SectionValues(Lookup lookup) : lookup_(std::move(lookup)) {}
  // [Section] of Text, which the view keeps.
  static SectionValues In(ProfileText text, std::string section);

  std::string Str(std::string_view key, std::string_view def, bool visual = false) const {
    return StrValue(lookup_(key), def, visual);
  }
  std::string Upper(std::string_view key, std::string_view def, bool visual = false) const {
    return UpperValue(lookup_(key), def, visual);
  }
  bool Bool(std::string_view key, bool def) const { return BoolValue(lookup_(key), def); }
  int Int(std::string_view key, int def) const { return IntValue(lookup_(key), def); }
  char Char(std::string_view key, char def) const { return CharValue(lookup_(key), def); }
  CharSet Chars(std::string_view key, std::string_view def, bool& present) const {
    return CharSetValue(lookup_(key), def, present);
  }

 private:
  Lookup lookup_;
};

}  // namespace zova
