#include "core/station_log.h"

#include <gtest/gtest.h>

#include <string>

namespace zova {
namespace {

constexpr const char* kStamp = "2024-03-05 07:08:09";

struct LineCase {
  LogLevel level;
  std::string text;
  bool toJournal;
  std::string expected;
};

TEST(StationLogLine, OneLinePerEventWithDateOrPriority) {
  const LineCase cases[] = {
      {LogLevel::Info, "bruker /etc/zova/Zova.ini", false,
       "2024-03-05 07:08:09 zova: bruker /etc/zova/Zova.ini\n"},
      {LogLevel::Info, "bruker /etc/zova/Zova.ini", true, "<6>bruker /etc/zova/Zova.ini\n"},
      {LogLevel::Notice, "q", true, "<5>q\n"},
      {LogLevel::Warning, "Maskin4: ikke aktiv", true, "<4>Maskin4: ikke aktiv\n"},
      {LogLevel::Error, "feil", true, "<3>feil\n"},
      // The level shows only in the journal; a terminal reader has the words.
      {LogLevel::Error, "feil", false, "2024-03-05 07:08:09 zova: feil\n"},
      // Each kind of line end, and runs of them, make one separator.
      {LogLevel::Warning, "a\nb", true, "<4>a | b\n"},
      {LogLevel::Warning, "a\rb", true, "<4>a | b\n"},
      {LogLevel::Warning, "a\r\nb\r\n\r\nc", true, "<4>a | b | c\n"},
      {LogLevel::Info, "a\r\nb", false, "2024-03-05 07:08:09 zova: a | b\n"},
      // Line ends at either end separate nothing.
      {LogLevel::Info, "\r\ntekst\r\n", true, "<6>tekst\n"},
      {LogLevel::Info, "\n\n", true, "<6>\n"},
      {LogLevel::Info, "", false, "2024-03-05 07:08:09 zova: \n"},
      // Other bytes pass: UTF-8 and a "|" of the text's own.
      {LogLevel::Info, "sp\xC3\xB8rsm\xC3\xA5l a|b", true, "<6>sp\xC3\xB8rsm\xC3\xA5l a|b\n"},
      // A "<N>" inside the text is not at the line's start, so journald keeps it.
      {LogLevel::Warning, "x\n<3>y", true, "<4>x | <3>y\n"},
  };
  for (const LineCase& c : cases)
    EXPECT_EQ(StationLogLine(c.level, c.text, c.toJournal, kStamp), c.expected)
        << "text \"" << c.text << "\" journal " << c.toJournal;
}

struct StreamCase {
  const char* env;
  unsigned long long device, inode;
  bool expected;
};

TEST(IsJournalStream, TheVariableMustNameThisVeryStream) {
  const StreamCase cases[] = {
      {"8:12345", 8, 12345, true},
      {"18446744073709551615:1", 18446744073709551615ull, 1, true},
      {nullptr, 8, 12345, false},
      {"", 8, 12345, false},
      // Inherited from a service whose output now goes elsewhere.
      {"8:12345", 8, 12346, false},
      {"9:12345", 8, 12345, false},
      {"8:", 8, 0, false},
      {":12345", 0, 12345, false},
      {"8-12345", 8, 12345, false},
      {"8:12345 ", 8, 12345, false},
      {"8:12345:1", 8, 12345, false},
      {"+8:12345", 8, 12345, false},
      {"8:0x10", 8, 16, false},
      {"18446744073709551616:1", 0, 1, false},
  };
  for (const StreamCase& c : cases)
    EXPECT_EQ(IsJournalStream(c.env, c.device, c.inode), c.expected)
        << (c.env ? c.env : "(unset)") << " vs " << c.device << ":" << c.inode;
}

}  // namespace
}  // namespace zova
