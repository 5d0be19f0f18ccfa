// The LSV2 dialogue's pure pieces: the report queue, the data blocks of a
// send, the program names and what a control's telegram asks for.
#include <gtest/gtest.h>

#include <vector>

#include "core/latin1.h"
#include "protocols/lsv2/lsv2_blocks.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_reports.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/lsv2/lsv2_telegrams.h"

namespace zova::lsv2 {
namespace {

TEST(Lsv2Reports, WhichTelegramsAreReports) {
  struct Case {
    std::string telegram;
    bool report;
  } cases[] = {
      {"R AL I1234", true},
      {"R ST I", true},
      {"R BM I", true},
      {"R BM I" + std::string(16, '0') + "1", true},
      {"R BM I" + std::string(16, '0') + "0", false},
      {"R BM I" + std::string(16, '0') + "1rest", true},
      {"R AL", false},
      {"T NB", false},
      {"r al i", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsReport(c.telegram), c.report) << c.telegram;
}

TEST(Lsv2Reports, TheQueueKeepsEightyReportsFirstInFirstOut) {
  ReportQueue q;
  EXPECT_EQ(QueueReport(q, "T NB"), QueueResult::kNotReport);
  EXPECT_EQ(QueueReport(q, "R AL I" + std::string(60, 'a')), QueueResult::kQueued);
  for (int i = 1; i < 80; ++i)
    EXPECT_EQ(QueueReport(q, "R ST I" + std::to_string(i)), QueueResult::kQueued);
  EXPECT_EQ(QueueReport(q, "R ST Ilost"), QueueResult::kFull);
  EXPECT_EQ(q.Size(), 80u);
  EXPECT_EQ(q.Pop(), "R AL I" + std::string(44, 'a')) << "cut to 50 characters";
  EXPECT_EQ(q.Pop(), "R ST I1");
  EXPECT_EQ(QueueReport(q, "R ST Inew"), QueueResult::kQueued) << "a place came free";
  EXPECT_EQ(QueueFullMessage(), L1("FEIL: Egenmeldingskø er full"));
}

// Blocks ReadBlock makes from Lines with BlockSize; "!" marks a failed read.
std::vector<std::string> Blocks(const std::vector<std::string>& lines, int blockSize) {
  BlockReader reader(blockSize);
  size_t next = 0;
  auto source = [&](std::string& line) {
    if (next >= lines.size()) return false;
    line = lines[next++];
    return true;
  };
  std::vector<std::string> out;
  for (;;) {
    const BlockReader::Result r = reader.Read(source);
    if (!r.ok) {
      out.push_back("!");
      break;
    }
    out.push_back(r.block);
    if (!r.more) break;
  }
  return out;
}

TEST(Lsv2Blocks, BlocksOfWholeLinesStayBelowBlockSize) {
  using V = std::vector<std::string>;
  struct Case {
    const char* what;
    V lines;
    int blockSize;
    V blocks;
  } cases[] = {
      {"two lines a block",
       {"N10 G00", "N20 X10", "N30 Y20", "N40 M30"},
       20,
       {"N10 G00\r\nN20 X10\r\n", "N30 Y20\r\nN40 M30\r\n"}},
      {"a block of exactly BlockSize is too long", {"N1234567", "N2"}, 10, {"!"}},
      {"the last line that fits", {"N123456", "N2"}, 10, {"N123456\r\n", "N2\r\n"}},
      {"a later long line goes alone",
       {"N1", "N2345678", "N3"},
       10,
       {"N1\r\n", "N2345678\r\n", "N3\r\n"}},
      {"an empty file fails", {}, 120, {"!"}},
      {"empty lines are lines", {"", ""}, 120, {"\r\n\r\n"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Blocks(c.lines, c.blockSize), c.blocks) << c.what;

  // A long program of short lines: every block below BlockSize, nothing lost.
  V lines;
  std::string file;
  for (int i = 0; i < 500; ++i) {
    lines.push_back("N" + std::to_string(i * 10) + std::string(static_cast<size_t>(i % 37), 'X'));
    file += lines.back() + "\r\n";
  }
  std::string joined;
  for (const std::string& b : Blocks(lines, 120)) {
    EXPECT_LT(b.size(), 120u);
    EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
    joined += b;
  }
  EXPECT_EQ(joined, file);
}

TEST(Lsv2Names, NcProgramName) {
  struct Case {
    const char* file;
    int maxLen;
    const char* name;
  } cases[] = {
      {"/cnc/m1/1234.NC", 20, "%1234"},
      {"\\CNC\\M1\\SUB\\0012.NC", 20, "%0012"},
      {"0000.NC", 20, "0000"},
      {"L12.NC", 20, "L1200"},
      {"L12", 20, "L1200"},
      {"ABC.NC", 20, "ABC"},
      {"12345678.NC", 4, "%1234"},
      {"$1F.NC", 20, "$1F"},
      {"+5.NC", 20, "+5"},
  };
  for (const Case& c : cases) EXPECT_EQ(NcProgramName(c.file, c.maxLen), c.name) << c.file;
}

TEST(Lsv2Names, NamesFromTheControlsTelegrams) {
  using O = std::optional<std::string>;
  // RDPP: the offer keeps the control's rule.
  EXPECT_EQ(OfferedFileName("RDPP  %1234", 20), O("1234"));
  EXPECT_EQ(OfferedFileName("RDPP  %123456789\r\n", 6), O("123456"));
  EXPECT_EQ(OfferedFileName("RDPP  P0123", 20), O("P123"));
  EXPECT_EQ(OfferedFileName("RDPP  5", 20), O("5"));
  EXPECT_EQ(OfferedFileName("RDPP", 20), std::nullopt);
  EXPECT_EQ(OfferedFileName("RDPP  %", 20), std::nullopt);
  // The operator's fetch asks for the name the operator gave.
  EXPECT_EQ(OperatorFetchFileName("O1234.NC", 20), O("O1234"));
  EXPECT_EQ(OperatorFetchFileName("1234", 20), O("1234"));
  EXPECT_EQ(OperatorFetchFileName("ABCDEFGH.NC", 4), O("ABCD"));
  EXPECT_EQ(OperatorFetchFileName("", 20), std::nullopt);
  // TDPP: from the eighth character.
  EXPECT_EQ(TdppFileName("TDPP   1234", 20), O("1234"));
  EXPECT_EQ(TdppFileName("TDPP   %1234\r\n", 20), O("1234"));
  EXPECT_EQ(TdppFileName("TDPP   ABCDEFGH", 4), O("ABCD"));
  EXPECT_EQ(TdppFileName("TDPP", 20), std::nullopt);
  // PT/PR: the area code is not part of the name.
  EXPECT_EQ(AreaRequestOf("PTPP1234", 20)->name, "1234");
  EXPECT_EQ(AreaRequestOf("PTPP1234", 20)->area, "PP");
  EXPECT_EQ(AreaRequestOf("PRPM%77\r\n", 20)->name, "77");
  EXPECT_EQ(AreaRequestOf("PRPM", 20), std::nullopt);
  // ReceiveTestProgram: the name after "PRPP" and its "%".
  EXPECT_EQ(TestProgramFileName("PRPP%1234\r\n", 20), O("1234"));
  EXPECT_EQ(TestProgramFileName("PRPP%12345\r\n", 20), O("12345"));
  EXPECT_EQ(TestProgramFileName("PRPPABC\r\n", 20), O("ABC"));
  EXPECT_EQ(TestProgramFileName("PRPP\r\n", 20), std::nullopt);
}

TEST(Lsv2Requests, HandleNcTelegramsTableInItsOrder) {
  struct Case {
    const char* telegram;
    NcRequest request;
  } cases[] = {
      {"T ST  ", NcRequest::kTestProgram},
      {"T ST", NcRequest::kNone},
      {"T ST  1", NcRequest::kNone},
      {"RDPP  %1234", NcRequest::kOffer},
      {"PRPP1234", NcRequest::kServePr},
      {"PRCL", NcRequest::kServePr},
      {"TDPP   1234", NcRequest::kServeTdpp},
      {"PTPP1234", NcRequest::kServePt},
      {"R AL I", NcRequest::kAlarm},
      {"R ST I0001", NcRequest::kStatus},
      {"T BD", NcRequest::kContactRestored},
      {"R BM I", NcRequest::kNone},
      {"", NcRequest::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyNcTelegram(c.telegram), c.request) << c.telegram;
  EXPECT_TRUE(IsWaitAnswer("T WA"));
  EXPECT_FALSE(IsWaitAnswer("T NB"));
  EXPECT_EQ(StatusMessage("R ST I0001"), "Status mottatt: 0001");
}

TEST(Lsv2Requests, AWaitLastsWhileTheControlAsksForIt) {
  AnswerWait plain;
  const AnswerWait::Step at = plain.After(true, "T NB");
  EXPECT_FALSE(at.again || at.showWaiting || at.clearMelding) << "an answer at once";
  EXPECT_FALSE(AnswerWait().After(false, "").again) << "a failure without a wait ends it";

  AnswerWait w;
  EXPECT_TRUE(w.After(true, "T WA").showWaiting);
  const AnswerWait::Step silent = w.After(false, "");
  EXPECT_TRUE(silent.again) << "silence after T WA keeps the wait";
  EXPECT_FALSE(silent.showWaiting);
  EXPECT_TRUE(w.After(true, "T WA").again);
  const AnswerWait::Step end = w.After(true, "T NB");
  EXPECT_FALSE(end.again);
  EXPECT_TRUE(end.clearMelding);
  EXPECT_EQ(WaitingMessage(), L1("Venter på fortsettelse"));
}

TEST(Lsv2Requests, FilterAlarms) {
  struct Case {
    const char* text;
    const char* filter;
    const char* kept;
  } cases[] = {
      {"1001 SPINDEL\n1002 KJOLING\n", "", "1001SPINDEL;1002KJOLING;"},
      {"1001\n1002\n1003", "1002", "1001;1003;"},
      {"1001;1002", "1001;1002", ""},
      {"10011\n1001", "1001", "10011;"},
      {"A;;B", "X", "A;B;"},
      {"", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FilterAlarms(c.text, c.filter), c.kept) << c.text;
}

TEST(Lsv2Requests, AlarmReports) {
  struct Case {
    std::string telegram;
    const char* filter;
    std::optional<std::string> alarm;
    std::string message;
    bool toWindow;
  } cases[] = {
      {"R AL I", "", std::nullopt, "Ingen aktive alarmer", false},
      {"R AL I1001\n", "", "1001;", "Alarm mottatt: 1001\n", false},
      {"R AL I1001\n1002\n", "1002", "1001;", "\rAlarm sendt: 1001;", true},
      {"R AL I1001\n1002\n", "1001;1002", "", "Alarm mottatt: 1001\n1002\n", false},
      {"R AL I" + std::string(40, '7'), "1", std::string(30, '7'),
       "\rAlarm sendt: " + std::string(30, '7'), true},
  };
  for (const Case& c : cases) {
    const AlarmReport r = AlarmReportOf(c.telegram, c.filter);
    EXPECT_EQ(r.alarmText, c.alarm) << c.telegram;
    EXPECT_EQ(r.message, c.message) << c.telegram;
    EXPECT_EQ(r.toWindow, c.toWindow) << c.telegram;
  }
}

TEST(Lsv2Requests, ARefusedProgramRequestEndsThere) {
  EXPECT_TRUE(DecideTdpp(true, true).refuse);
  EXPECT_EQ(DecideTdpp(true, true).message, L1("Sperret for overføring"));
  EXPECT_TRUE(DecideTdpp(false, false).refuse);
  EXPECT_EQ(DecideTdpp(false, false).message, "Filen eksisterer ikke");
  EXPECT_FALSE(DecideTdpp(false, true).refuse);
}

}  // namespace
}  // namespace zova::lsv2

namespace zova::lsv2 {
namespace {

TEST(Lsv2Telegrams, WhatTheStationWrites) {
  EXPECT_EQ(ClearRequest("%1234"), "PRCL%1234\r\n");
  EXPECT_EQ(ClearProgram("%1234", ""), "R CL%CL\r\n%1234\r\nM30\r\n");
  EXPECT_EQ(ClearProgram("%1234", "G90"), "R CL%CL\r\n%1234\r\nG90\r\nM30\r\n");
  EXPECT_EQ(ShortClear("%1234"), "R CL%1234");
  EXPECT_EQ(ReadyRequest("%1234", "\r\n"), "PRPP%1234\r\n");
  EXPECT_EQ(FetchRequest("L1200"), "PTPPL1200\r\n");
  EXPECT_EQ(DataTelegram("PP", "N10 G00\r\n"), "R PPN10 G00\r\n");
  EXPECT_EQ(DataOf("R PPN10 G00\r\n", "PP"), "N10 G00\r\n");
  EXPECT_EQ(DataOf("R PP", "PP"), "");
  EXPECT_EQ(DataOf("R PMN10", "PP"), std::nullopt);
  EXPECT_EQ(DataOf("T FD", "PP"), std::nullopt);
  EXPECT_EQ(AnswerTries(60, 1000), 61);
  EXPECT_EQ(AnswerTries(60, 50), 1201);
  EXPECT_EQ(AnswerTries(60, 0), 60001) << "no division by zero";
}

}  // namespace
}  // namespace zova::lsv2
