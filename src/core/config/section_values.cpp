#include "core/config/section_values.h"

#include <memory>

#include "core/latin1.h"
#include "core/numformat.h"
#include "core/numparse.h"
#include "core/visual.h"

namespace zova {

namespace {

constexpr size_t kMaxValue = 4095;  // the 4096-byte buffer of the profile API

}  // namespace

std::string StrValue(const StoredValue& stored, std::string_view def, bool visual) {
  std::string value = stored ? stored->substr(0, kMaxValue) : std::string(def);
  if (visual) VisualToStr(value);
  return value;
}

std::string UpperValue(const StoredValue& stored, std::string_view def, bool visual) {
  return UpperCase(StrValue(stored, def, visual));
}

bool BoolValue(const StoredValue& stored, bool def) {
  std::string v = UpperValue(stored, def ? "True" : "False");
  return v == "TRUE" || v == "1";
}

int IntValue(const StoredValue& stored, int def) {
  return ParseInteger(StrValue(stored, std::to_string(def))).value_or(def);
}

double FloatValue(const StoredValue& stored, double def) {
  return ParseFloat(StrValue(stored, FloatToStr(def, 4))).value_or(def);
}

char CharValue(const StoredValue& stored, char def) {
  std::string v = UpperValue(stored, std::string(1, def), true);
  return v.size() == 1 ? v[0] : def;
}

CharSet CharSetValue(const StoredValue& stored, std::string_view def, bool& present) {
  std::string v = StrValue(stored, def, true);
  present = !v.empty();
  CharSet set;
  for (char c : v) set.set(static_cast<unsigned char>(c));
  return set;
}

SectionValues SectionValues::In(ProfileText text, std::string section) {
  auto shared = std::make_shared<const ProfileText>(std::move(text));
  return SectionValues([shared, section = std::move(section)](std::string_view key) {
    return shared->Get(section, key);
  });
}

}  // namespace zova
