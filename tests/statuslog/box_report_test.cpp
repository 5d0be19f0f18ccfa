// The logging box's reports: how its bytes are framed, which records a change
// of its signals makes, and when its contact is checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "statuslog/box/box_framer.h"
#include "statuslog/box/box_signals.h"
#include "statuslog/box/contact_schedule.h"
#include "support/test_support.h"

namespace zova::box {
namespace {

struct Framed {
  std::vector<BoxEvent> events;
  std::vector<uint16_t> words;
  std::string lastDigits;
  bool inReport = false;
};

Framed Frame(const std::string& bytes) {
  BoxFramer f;
  Framed out;
  for (char ch : bytes) {
    const BoxEvent e = f.Feed(ch);
    if (e == BoxEvent::None) continue;
    out.events.push_back(e);
    if (e == BoxEvent::Report) {
      out.words.push_back(f.Word());
      out.lastDigits = f.Digits();
    }
  }
  out.inReport = f.InReport();
  return out;
}

TEST(BoxFramer, ReportsResetsAndNoise) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<BoxEvent> events;
    std::vector<uint16_t> words;
    std::string digits;
    bool open;
  } cases[] = {
      {"a report",
       "\x02"
       "0008\x03",
       {BoxEvent::Report},
       {0x0008},
       "0008",
       false},
      {"noise before STX is dropped",
       "xy\x11\x02"
       "A0F1\x03",
       {BoxEvent::Report},
       {0xA0F1},
       "A0F1",
       false},
      {"lower case and noise inside are skipped",
       "\x02"
       "1z2b3\x13"
       "4\x03",
       {BoxEvent::Report},
       {0x1234},
       "1234",
       false},
      {"no digits is the word 0", "\x02\x03", {BoxEvent::Report}, {0}, "", false},
      {"of more than four digits the last four count",
       "\x02"
       "12345\x03",
       {BoxEvent::Report},
       {0x2345},
       "12345",
       false},
      {"ENQ alone is a reset", "\x05", {BoxEvent::Reset}, {}, "", false},
      {"ENQ inside a report is noise",
       "\x02"
       "00\x05"
       "01\x03",
       {BoxEvent::Report},
       {0x0001},
       "0001",
       false},
      {"a report cut short stays open",
       "\x02"
       "00",
       {},
       {},
       "",
       true},
      {"a second STX inside a report is noise",
       "\x02"
       "FF\x02"
       "0002\x03",
       {BoxEvent::Report},
       {0x0002},
       "FF0002",
       false},
      {"reset then report",
       "\x05\x02"
       "0010\x03",
       {BoxEvent::Reset, BoxEvent::Report},
       {0x10},
       "0010",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Framed f = Frame(c.bytes);
    EXPECT_EQ(f.events, c.events);
    EXPECT_EQ(f.words, c.words);
    if (!c.words.empty()) {
      EXPECT_EQ(f.lastDigits, c.digits);
    }
    EXPECT_EQ(f.inReport, c.open);
  }
}

TEST(BoxFramer, ADigitRunWithoutEndStaysBounded) {
  BoxFramer f;
  f.Feed(kStx);
  for (int i = 0; i < 100000; ++i) f.Feed('7');
  EXPECT_LE(f.Digits().size(), 64u);
  EXPECT_EQ(f.Feed(kEtx), BoxEvent::Report);
  EXPECT_EQ(f.Word(), 0x7777);
}

TEST(BoxTelegrams, OnlyAnEightCharacterMaskIsSent) {
  EXPECT_EQ(ReportRequest(), "\x05");
  EXPECT_EQ(MaskTelegram("00FF00FF"),
            "\x02"
            "00FF00FF\x03");
  EXPECT_TRUE(MaskIsSent("00FF00FF"));
  EXPECT_FALSE(MaskIsSent("00FF00F"));
  EXPECT_FALSE(MaskIsSent("00FF00FF0"));
  EXPECT_FALSE(MaskIsSent(""));
}

SignalTable Table() {
  SignalTable t;
  t.Entry[3][1] = {10, "START"};
  t.Entry[0][1] = {1, "IGNORED"};
  t.Entry[1][0] = {2, "IGNORED"};
  t.Entry[2][1] = {108, ""};
  t.Entry[4][1] = {4, ""};
  t.Entry[5][0] = {0, "NO CODE"};
  t.Entry[15][1] = {7, "TOP"};
  return t;
}

TEST(SignalChanges, EachChangedSignalWithACodeMakesOneRecord) {
  const SignalTable t = Table();
  const struct {
    const char* name;
    uint16_t last, word;
    std::vector<std::tuple<int, int, int, std::string>> records;  // signal, value, code, text
  } cases[] = {
      {"raising signal 3 gives its code and text", 0x0000, 0x0008, {{3, 1, 10, "START"}}},
      {"lowering it gives nothing without Bit3,0", 0x0008, 0x0000, {}},
      {"no change, no record", 0x1234, 0x1234, {}},
      {"codes 1 and 4 carry the file name",
       0x0000,
       0x0011,
       {{0, 1, 1, "O1000"}, {4, 1, 4, "O1000"}}},
      {"codes 2 and 108 carry 1", 0x0002, 0x0004, {{1, 0, 2, "1"}, {2, 1, 108, "1"}}},
      {"a code below 1 records nothing", 0x0020, 0x0000, {}},
      {"signal 15 is the top bit", 0x0000, 0x8000, {{15, 1, 7, "TOP"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::tuple<int, int, int, std::string>> got;
    for (const SignalRecord& r : SignalChanges(c.last, c.word, t, "O1000"))
      got.emplace_back(r.Signal, r.Value, r.Code, r.Text);
    EXPECT_EQ(got, c.records);
    EXPECT_EQ(NeedsFileName(c.last, c.word, t),
              std::any_of(got.begin(), got.end(), [](const auto& r) {
                const int code = std::get<2>(r);
                return code == 1 || code == 4;
              }));
  }
}

TEST(SignalState, TheFirstReportRecordsNothingAndTheWordOutlivesIt) {
  const SignalTable t = Table();
  SignalState s;
  EXPECT_FALSE(s.NeedsFileName(0x0001, t)) << "nothing is recorded for the first report";
  EXPECT_TRUE(s.Take(0x0008, t, "").empty());
  EXPECT_EQ(s.LastWord(), 0x0008);
  EXPECT_TRUE(s.Take(0x0000, t, "").empty());
  const auto again = s.Take(0x0008, t, "");
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].Code, 10);
}

TEST(SignalTable, ReadFromTheBoxSection) {
  test::ScopedIni ini(
      "[Maskin2]\r\nBit3,1=10\r\nParameterBit3,1=start\r\nBit0,0=2\r\nBit15,1=x\r\n");
  const SignalTable t = ReadSignalTable("Maskin2");
  EXPECT_EQ(t.Entry[3][1].Code, 10);
  EXPECT_EQ(t.Entry[3][1].Text, "START") << "texts are upper-cased";
  EXPECT_EQ(t.Entry[0][0].Code, 2);
  EXPECT_EQ(t.Entry[15][1].Code, 0) << "not a number: no record";
  EXPECT_EQ(t.Entry[3][0].Code, 0);
}

TEST(RecordFileName, TheCellCutBeforeItsExtension) {
  EXPECT_EQ(RecordFileName("O1000.NC"), "O1000");
  EXPECT_EQ(RecordFileName("O1000"), "O1000");
  EXPECT_EQ(RecordFileName("A.B.NC"), "A.B");
  EXPECT_EQ(RecordFileName("C:\\CNC.DIR\\O1000"), "C:\\CNC.DIR\\O1000");
  EXPECT_EQ(RecordFileName("/data/fres.1/O7.NC"), "/data/fres.1/O7");
  EXPECT_EQ(RecordFileName(""), "");
}

TEST(ContactSchedule, EveryIntervalAfterTheLastContactOrCheck) {
  const int64_t start = 5000;
  ContactSchedule off(0, start);
  EXPECT_FALSE(off.Due(start + 1000 * kMsPerHour)) << "SjekkTid 0: no periodic check";
  EXPECT_FALSE(ContactSchedule(-3, start).Due(start + 1000 * kMsPerHour));

  ContactSchedule s(2, start);
  EXPECT_EQ(s.IntervalMs(), 2 * kMsPerHour);
  EXPECT_FALSE(s.Due(start + 2 * kMsPerHour)) << "past the interval, not at it";
  EXPECT_TRUE(s.Due(start + 2 * kMsPerHour + 1));
  s.Contact(start + kMsPerHour);
  EXPECT_FALSE(s.Due(start + 2 * kMsPerHour + 1)) << "a reception restarts the interval";
  EXPECT_TRUE(s.Due(start + 3 * kMsPerHour + 1));
}

TEST(ContactSchedule, ASilentBoxIsCheckedOncePerInterval) {
  // The box never answers: only the checks move the schedule on. Every idle
  // turn of the driver (10 ms apart) asks whether a check is due.
  ContactSchedule s(1, 0);
  int checks = 0;
  for (int64_t now = 0; now <= 10 * kMsPerHour; now += 10)
    if (s.Due(now)) {
      ++checks;
      s.Checked(now);
    }
  EXPECT_EQ(checks, 9) << "one 201 line per hour, not one per idle turn";
}

TEST(ContactSchedule, SixtyFourBitTimesDoNotWrap) {
  // Past 2^32 ms (49.7 days) a 32-bit tick count wraps to small numbers.
  const int64_t late = (int64_t{1} << 32) + 1000;
  ContactSchedule s(1, late);
  EXPECT_FALSE(s.Due(late + kMsPerHour));
  EXPECT_TRUE(s.Due(late + kMsPerHour + 1));
}

}  // namespace
}  // namespace zova::box
