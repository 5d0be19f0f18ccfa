// A section read from its text and the same section read from the active
// Zova.ini give the same values: the pure readers and the store share the
// typed-read rules and the lookup.

#include "core/config/section_values.h"

#include <gtest/gtest.h>

#include "core/config/config.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(SectionValues, TextAndActiveFileAgree) {
  const std::string text =
      "[Port]\nb1=TRUE\nb2=1\nb3=yes\nb4=\ni1=$1F\ni2=12x\ni3= -7 \ns1=\"[CR] q \"\n"
      "C1=[XON]\nc2=ab\nset=[EOT]%\nlong=" +
      std::string(5000, 'x') + "\n[Other]\nb5=1\n";
  test::ScopedIni ini(text);
  const SectionValues fromText = SectionValues::In(ProfileText(text), "port");
  const SectionValues fromIni = IniSection("PORT");
  for (const char* key : {"b1", "B2", "b3", "b4", "b5", "missing"})
    for (bool def : {false, true}) {
      SCOPED_TRACE(std::string(key) + (def ? " true" : " false"));
      EXPECT_EQ(fromText.Bool(key, def), ReadIniBool("Port", key, def));
      EXPECT_EQ(fromIni.Bool(key, def), ReadIniBool("Port", key, def));
    }
  for (const char* key : {"i1", "i2", "i3", "b4", "missing"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(fromText.Int(key, 5), ReadIniInt("Port", key, 5));
    EXPECT_EQ(fromIni.Int(key, 5), ReadIniInt("Port", key, 5));
  }
  for (const char* key : {"s1", "c1", "c2", "long", "missing"})
    for (bool visual : {false, true}) {
      SCOPED_TRACE(key);
      EXPECT_EQ(fromText.Str(key, "[LF]", visual), ReadIniStr("Port", key, "[LF]", visual));
      EXPECT_EQ(fromIni.Upper(key, "[LF]", visual), ReadIniUpper("Port", key, "[LF]", visual));
      EXPECT_EQ(fromText.Char(key, '?'), ReadIniChar("Port", key, '?'));
      bool present1 = false, present2 = true;
      EXPECT_EQ(fromIni.Chars(key, "", present1), ReadIniCharSet("Port", key, "", present2));
      EXPECT_EQ(present1, present2);
    }
  EXPECT_EQ(fromText.Str("long", "").size(), 4095u) << "the profile API's buffer";
  EXPECT_EQ(fromText.Char("c1", '?'), '\x11');
  EXPECT_EQ(fromText.Str("s1", "", true), "\r q ");
}

}  // namespace
}  // namespace zova
