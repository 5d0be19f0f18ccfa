// The standard driver's small decisions.

#include "serial/standard/send_choice.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tools/tool_settings.h"

namespace zova {
namespace {

SendChoiceInput In(bool receipt, bool listing, std::string cell, int tool, bool autoLoad = false,
                   std::string last = "") {
  SendChoiceInput in;
  in.receiptPending = receipt;
  in.listingConfigured = listing;
  in.fileCell = std::move(cell);
  in.toolFormat = tool;
  in.autoToolLoad = autoLoad;
  in.lastAutoToolFile = std::move(last);
  return in;
}

TEST(SendChoice, WhatAStartSignalSends) {
  test::ScopedIni ini("[Program]\n");
  struct Case {
    const char* name;
    SendChoiceInput in;
    SendChoice want;
  } cases[] = {
      {"a pending receipt goes first", In(true, true, "O1*.NC", kToolFanuc), SendChoice::Receipt},
      {"a mask with a listing configured", In(false, true, "O1*.NC", 0), SendChoice::Directory},
      {"a mask without a listing is a program name", In(false, false, "O1*.NC", 0),
       SendChoice::Program},
      {"no tool protocol", In(false, false, "T1.TD", 0), SendChoice::Program},
      {"a tool protocol and a program name", In(false, false, "O1.NC", kToolFanuc),
       SendChoice::Program},
      {"a tool protocol and a tool file name", In(false, false, "VERKT.TDM", kToolFanuc),
       SendChoice::Tool},
      {"formats that always go with tool data", In(false, false, "O1.NC", kToolSiemens880),
       SendChoice::Tool},
      {"the last automatically loaded tool file",
       In(false, false, "AUTO.NC", kToolFanuc, true, "AUTO.NC"), SendChoice::Tool},
      {"automatic loading without a loaded file", In(false, false, "AUTO.NC", kToolFanuc, true, ""),
       SendChoice::Program},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseSend(c.in), c.want) << c.name;
}

TEST(SendChoice, ReceiptCyclesRoundAndAddOneForAnAutomaticSend) {
  EXPECT_EQ(ReceiptCycles(0, 1000, 5), 0) << "no receipt time, no receipt";
  EXPECT_EQ(ReceiptCycles(3, 1000, 0), 3);
  EXPECT_EQ(ReceiptCycles(3, 1000, 1), 4);
  EXPECT_EQ(ReceiptCycles(1, 300, 0), 3) << "3.33 rounds to 3";
  EXPECT_EQ(ReceiptCycles(1, 400, 0), 3) << "2.5 rounds away from zero";
  EXPECT_EQ(ReceiptCycles(1, 0, 0), 1) << "a broken multiplier is taken as 1000";
}

TEST(SendChoice, CompleteReceptions) {
  EXPECT_TRUE(ReceptionComplete(true, false, false, true));
  EXPECT_TRUE(ReceptionComplete(false, true, false, false)) << "the StoppFeil sequence";
  EXPECT_TRUE(ReceptionComplete(false, false, true, true)) << "no stop code: started is enough";
  EXPECT_FALSE(ReceptionComplete(false, false, true, false));
  EXPECT_FALSE(ReceptionComplete(false, false, false, true)) << "a stop code that never came";
}

TEST(SendChoice, TrailerAfterTheProgram) {
  EXPECT_TRUE(SendsTrailer("", false, ""));
  EXPECT_FALSE(SendsTrailer("\x04", false, "%"));
  EXPECT_TRUE(SendsTrailer("\x04", true, "%")) << "the stop code ends differently";
  EXPECT_FALSE(SendsTrailer("%", true, "%")) << "the stop code is the end sequence";
  EXPECT_TRUE(SendsTrailer("\x04", true, "")) << "no stop code to end with";
}

TEST(SendChoice, SystemFileNames) {
  EXPECT_TRUE(IsSystemFileName("PARAM.SPR", ".SPR"));
  EXPECT_FALSE(IsSystemFileName(".SPR", ".SPR")) << "the extension alone is no name";
  EXPECT_FALSE(IsSystemFileName("O1.NC", ".SPR"));
  EXPECT_FALSE(IsSystemFileName("O1.NC", ""));
}

TEST(SendChoice, EndCheckCountsWhatWasReadButNotSent) {
  struct Case {
    int64_t unsent;
    int reads;
  } cases[] = {{0, 5}, {1, 5}, {2, 4}, {6, 0}, {7, -1}, {1000, -1}};
  for (const Case& c : cases) EXPECT_EQ(EndCheckReads(c.unsent), c.reads) << c.unsent;
}

}  // namespace
}  // namespace zova
