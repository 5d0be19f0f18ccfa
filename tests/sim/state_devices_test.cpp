// The simulated logging box, cell controller and presetter on a
// pseudo-terminal whose other end the test holds as the station: the bytes
// each sends, as their wire descriptions give them.

#include <gtest/gtest.h>

#include "controls/presetter_control.h"
#include "sim/control_on_pty.h"

namespace zova::sim {
namespace {

struct BoxControlTest : ControlOnPty {
  BoxControlTest() : ControlOnPty("box") {}
};

TEST_F(BoxControlTest, AnswersEnqWithItsWordAndAnnouncesAReset) {
  std::string error;
  ASSERT_TRUE(Run("box-set 00a5", error)) << error;
  EXPECT_EQ(Take(6),
            "\x02"
            "00A5\x03")
      << "a change is reported at once";
  // A mask, then a request: the mask is taken, the request answered.
  Send(
      "\x02"
      "00FF00FF\x03\x05");
  ASSERT_TRUE(Run("box-serve 300", error)) << error;
  EXPECT_EQ(Take(6),
            "\x02"
            "00A5\x03");
  ASSERT_TRUE(Run("box-reset", error)) << error;
  EXPECT_EQ(Take(1), "\x05");
  Send("\x05");
  ASSERT_TRUE(Run("box-silent 300", error)) << error;
  EXPECT_EQ(Take(1, 300), "") << "a silent box answers nothing";
  EXPECT_FALSE(Run("box-set 10000", error)) << "a word has 16 bits";
  EXPECT_FALSE(Run("box-set xyz", error));
}

struct CellControlTest : ControlOnPty {
  CellControlTest() : ControlOnPty("cell") {}
};

TEST_F(CellControlTest, SendsFramedLinesAndBareBytes) {
  std::string error;
  ASSERT_TRUE(Run("cell-line CEL1WMR1234ABC", error)) << error;
  EXPECT_EQ(Take(16),
            "\x02"
            "CEL1WMR1234ABC\r");
  ASSERT_TRUE(Run("cell-line \"junk[CR]\" --bare", error)) << error;
  EXPECT_EQ(Take(5), "junk\r");
  EXPECT_FALSE(Run("cell-line CEL1WMF1234 --second", error)) << "no second line made";
  EXPECT_NE(error.find("second-line"), std::string::npos) << error;
}

TEST(PresetterControl, MeasurementLinesOfEachMake) {
  const struct {
    const char* make;
    bool diameter;
    const char* line;
  } cases[] = {
      {"microset", true, "T:12 SY:2 X(D):25,004 Z(L):-150.2"},
      {"microset", false, "T:12 SY:2 X(R):25,004 Z(L):-150.2"},
      {"komeg", true, "T.#12 Adapter-Nummer 2 DX 25,004 Z -150.2"},
      {"zoller", true, "T12 M2 X=25,004 Z=-150.2 D"},
      {"bodmer", false, "T:12 PR:2 X/R:25,004 Z/L:-150.2"},
      {"kelch", false, "T12 G2 X=25,004 Z=-150.2 RAD"},
      {"pwb", true, "TN:12 SG:2 X=25,004 Z=-150.2 D"},
      {"toolset", true, "TOOL:12 REF2 X=25,004 Z=-150.2"},
      {"toolmaster250", false, "TN:12 SG:2 XR:25,004 Z:-150.2"},
      {"unknown", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.make);
    EXPECT_EQ(PresetterControl::MeasurementLine(c.make, "12", "2", "25,004", "-150.2", c.diameter),
              c.line);
  }
}

}  // namespace
}  // namespace zova::sim
