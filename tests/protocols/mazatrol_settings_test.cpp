#include "protocols/mazatrol/mazatrol_settings.h"

#include <gtest/gtest.h>

#include "protocols/mazatrol/mazatrol_reception.h"

namespace zova::mazatrol {
namespace {

MazatrolKeys Keys(const std::string& section) {
  return ReadMazatrolKeys(SectionValues::In(ProfileText("[M]\r\n" + section), "M"));
}

TEST(MazatrolSettings, DefaultsAndTheKeysThatFollowOthers) {
  const MazatrolKeys d = Keys("");
  EXPECT_EQ(d.number.line, 1);
  EXPECT_EQ(d.number.start, 5);
  EXPECT_EQ(d.number.width, 4);
  EXPECT_TRUE(d.number.swap);
  EXPECT_EQ(d.title.start, 63);
  EXPECT_EQ(d.title.length, 11);
  EXPECT_EQ(d.linjeLengde, 130);
  EXPECT_EQ(d.lagreLinjer, 15);
  EXPECT_EQ(d.mazExt, ".Maz");
  EXPECT_TRUE(d.saveBcc);
  EXPECT_TRUE(d.linjeSjekk);
  EXPECT_FALSE(d.LearnsNumber());

  const MazatrolKeys marks = Keys("TapeMarks=True\r\n");
  EXPECT_TRUE(marks.saveTapeMarks);
  EXPECT_FALSE(marks.tapeMark2);
  const MazatrolKeys unsaved = Keys("TapeMarks=True\r\nSaveTapeMarks=False\r\n");
  EXPECT_TRUE(unsaved.tapeMark2);

  const MazatrolKeys learning = Keys("ProgLinje=0\r\n");
  EXPECT_TRUE(learning.LearnsNumber());
  EXPECT_TRUE(learning.LearnsTitle());
  EXPECT_FALSE(learning.linjeSjekk);
  EXPECT_FALSE(Keys("ProgLinje=0\r\nTekstLinje=2\r\n").LearnsTitle());
}

TEST(MazatrolSettings, RobotWidthFromTheRobotsSection) {
  auto in = [](const std::string& text, const char* name) {
    return SectionValues::In(ProfileText(text), name);
  };
  const std::string robot = "[R]\r\nProgLengde=6\r\n";
  EXPECT_EQ(RobotNameWidth(in("[M]\r\n", "M"), in(robot, "R")), 6);
  EXPECT_EQ(RobotNameWidth(in("[M]\r\n", "M"), in("[R]\r\n", "R")), 4);
  EXPECT_EQ(RobotNameWidth(in("[M]\r\n", "M"), in(robot + "KortFilNavn=True\r\n", "R")), 0);
  EXPECT_EQ(RobotNameWidth(in("[M]\r\n", "M"), in(robot + "FilNavnProgram=True\r\n", "R")), 0);
  EXPECT_EQ(RobotNameWidth(in("[M]\r\nRobotLengde=3\r\n", "M"), in(robot, "R")), 3);
}

TEST(MazatrolSettings, LearnedKeys) {
  EXPECT_EQ(NumberPlaceKeys(2, {9, 4, true}, 130), (KeyValues{{"ProgLinje", "2"},
                                                              {"ProgStart", "9"},
                                                              {"ProgLengde", "4"},
                                                              {"Swap", "True"},
                                                              {"LinjeLengde", "130"}}));
  EXPECT_EQ(TitlePlaceKeys(3, "0102ABCD", {63, 8, false}, false),
            (KeyValues{{"TekstLinje", "3"},
                       {"TekstStart", "63"},
                       {"TekstLengde", "8"},
                       {"TekstLinjeStart", "0102"},
                       {"KlarTekst", "False"},
                       {"TapeMarks", "False"},
                       {"SaveTapeMarks", "False"}}));
  EXPECT_EQ(LearnedEndKeys(4, 0, true),
            (KeyValues{{"LagreLinjer", "6"}, {"EnkelEOT", "True"}, {"SkippLinje", "True"}}));
  EXPECT_EQ(LearnedEndKeys(4, 9000, false)[0].second, "0");
}

TEST(MazatrolReception, WhatAFinishedReceptionBecomes) {
  struct Case {
    const char* what;
    ReceptionFacts facts;
    Outcome outcome;
  } cases[] = {
      {"a write failed", {false, true, 20, 1, 15, 0}, Outcome::StoreFailed},
      {"not ended by pA", {true, false, 20, 1, 15, 0}, Outcome::Broken},
      {"long enough", {true, true, 15, 1, 15, 0}, Outcome::Program},
      {"no number", {true, true, 15, std::nullopt, 15, 9000}, Outcome::Program},
      {"short", {true, true, 14, 1, 15, 0}, Outcome::NameMessage},
      {"numbered HenteProgramNr", {true, true, 40, 9000, 0, 9000}, Outcome::NameMessage},
      {"HenteProgramNr 0 is none", {true, true, 40, 0, 0, 0}, Outcome::Program},
  };
  for (const Case& c : cases) EXPECT_EQ(OutcomeOf(c.facts), c.outcome) << c.what;
}

TEST(MazatrolReception, TheTitleNamesUnlessMazatrolNavnKeepsItForTheNameProgram) {
  EXPECT_EQ(ReceptionName("0000.Maz", "0030.Maz", "FLENS.Maz", false, false), "FLENS.Maz");
  EXPECT_EQ(ReceptionName("0000.Maz", "0030.Maz", "FLENS.Maz", true, false), "0030.Maz");
  EXPECT_EQ(ReceptionName("0000.Maz", "9000.Maz", "0012.Maz", true, true), "0012.Maz");
  EXPECT_EQ(ReceptionName("0000.Maz", "0030.Maz", "", false, false), "0030.Maz");
  EXPECT_EQ(ReceptionName("0000.Maz", "", "", false, false), "0000.Maz");
}

}  // namespace
}  // namespace zova::mazatrol
