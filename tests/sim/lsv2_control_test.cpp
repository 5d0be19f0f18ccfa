// The LSV2 control's own framing, byte by byte, and its link over a
// pseudo-terminal whose other end the test holds as the station.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <sstream>
#include <string>

#include "controls/control_registry.h"
#include "controls/lsv2_wire.h"

namespace zova::sim {
namespace {

using namespace std::string_literals;
namespace w = lsv2wire;

TEST(Lsv2Wire, FramesAsTheControlSendsThem) {
  EXPECT_EQ(w::Frame("T ST  ", true), "\x10\x02T ST  \x10\x03\x70"s);
  EXPECT_EQ(w::Frame("T NB", true), "\x10\x02T NB\x10\x03\x7b"s);
  EXPECT_EQ(w::Frame("", true), "\x10\x02\x10\x03\x03"s);
  EXPECT_EQ(w::Frame("T NB", true, true), "\x10\x02T NB\x10\x03\x21"s) << "a wrong BCC";
  // One telegram in three blocks: ETB, ETB, ETX.
  const auto texts = w::BlockTexts("R PPN10 G00\r\nN20 X1\r\nN30 M30\r\n", 13);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(w::Frame(texts[0], false), "\x10\x02R PPN10 G00\r\n\x10\x17\x4a"s);
  EXPECT_EQ(texts[1], "R PPN20 X1\r\nN");
  EXPECT_EQ(texts[2], "R PP30 M30\r\n");
  EXPECT_EQ(w::Frame("R PPN30 M30\r\n", true), "\x10\x02R PPN30 M30\r\n\x10\x03\x55"s);
}

TEST(Lsv2Wire, ReceivedBlocksAreChecked) {
  const w::ParsedBlock good = w::ParseBlock("\x10\x02R PPN10 G00\r\n\x10\x17\x4a"s);
  EXPECT_TRUE(good.valid);
  EXPECT_FALSE(good.last);
  EXPECT_EQ(good.text, "R PPN10 G00\r\n");
  EXPECT_FALSE(w::ParseBlock("\x10\x02T NB\x10\x03\x7c"s).valid);
  EXPECT_FALSE(w::ParseBlock("\x10T NB\x10\x03\x7b"s).valid);
  EXPECT_TRUE(w::ParseBlock("\x10\x02\x10\x03\x03"s).valid);
}

TEST(Lsv2Wire, ProgramBlocksHoldWholeLines) {
  const auto blocks = w::ProgramBlocks("N10 G00\nN20 X10\r\nN30 Y20\nN40 M30\n", 20);
  EXPECT_EQ(blocks, (std::vector<std::string>{"N10 G00\r\nN20 X10\r\n", "N30 Y20\r\nN40 M30\r\n"}));
}

TEST(Lsv2Control, ScriptLinesAreCheckedAgainstItsCommands) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"lsv2-receive got.nc --wait 2 --wait-ms 50 --not-ready --timeout 30000", ""},
      {"lsv2-send \"R AL I1001[LF]\" --corrupt 1 --block 20", ""},
      {"lsv2-request 1234 got.nc --pt --refused --nak 1", ""},
      {"lsv2-offer %1234 prog.nc --pr", ""},
      {"okuma-list *.MIN 0 9 list.txt", ""},
      {"lsv2-offer %1234", "lsv2-offer takes 2 argument(s)"},
      {"lsv2-send x --wait 2", "lsv2-send: unknown option --wait"},
      {"capture f --quiet 5", ""},
  };
  SimLine line;
  auto control = MakeControl("lsv2", line, {});
  ASSERT_TRUE(control);
  for (const auto& c : cases) {
    SimCommand cmd;
    std::string error;
    EXPECT_EQ(control->Parse(c.line, 1, cmd, error), *c.error == '\0') << c.line;
    EXPECT_EQ(error, c.error) << c.line;
  }
}

class Lsv2ControlLine : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(line.OpenPty(error)) << error;
    line.SetLinger(0);
    station = ::open(line.StationPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(station, 0);
    control = MakeControl("lsv2", line, {});
  }
  void TearDown() override {
    if (station >= 0) ::close(station);
  }
  void Put(const std::string& s) {
    ASSERT_EQ(::write(station, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  // Up to N bytes, waiting at most 5 s for each.
  std::string Take(size_t n) {
    std::string got;
    while (got.size() < n) {
      pollfd p{station, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0) break;
      char buf[256];
      const ssize_t r = ::read(station, buf, std::min(sizeof buf, n - got.size()));
      if (r <= 0) break;
      got.append(buf, static_cast<size_t>(r));
    }
    return got;
  }
  // The station's end of a telegram, framed by hand.
  void StationSends(const std::string& text) {
    Put("\x05");
    ASSERT_EQ(Take(2),
              "\x10"s
              "0")
        << text;
    Put(w::Frame(text, true));
    ASSERT_EQ(Take(2),
              "\x10"s
              "1")
        << text;
    Put("\x04");
  }
  std::string StationReads() {
    if (Take(1) != "\x05") return "no ENQ";
    Put("\x10"s
        "0");
    std::string frame;
    while (frame.size() < 3 || (frame.back() != 0x03 && frame.back() != 0x17)) {
      const std::string b = Take(1);
      if (b.empty()) return "cut: " + frame;
      frame += b;
    }
    frame += Take(1);
    const w::ParsedBlock block = w::ParseBlock(frame);
    Put("\x10"s
        "1");
    if (Take(1) != "\x04") return "no EOT";
    return block.valid ? block.text : "bad frame";
  }
  std::future<std::string> Start(const std::string& text) {
    return std::async(std::launch::async, [this, text] {
      SimCommand cmd;
      std::string error;
      if (!control->Parse(text, 1, cmd, error)) return "parse: " + error;
      return control->Run(cmd, error) ? std::string("ok") : error;
    });
  }

  SimLine line;
  std::unique_ptr<SimControl> control;
  int station = -1;
};

TEST_F(Lsv2ControlLine, SendsATelegramAndRepeatsAFrameTheStationRefuses) {
  auto done = Start("lsv2-send \"R AL I1001\" --timeout 5000");
  EXPECT_EQ(Take(1), "\x05");
  Put("\x10"s
      "0");
  const std::string frame =
      "\x10\x02R AL I1001\x10\x03"s + static_cast<char>(0x15);  // a BCC that is a NAK
  EXPECT_EQ(Take(frame.size()), frame);
  Put("\x15");
  EXPECT_EQ(Take(frame.size()), frame) << "the same frame after NAK";
  Put("\x10"s
      "1");
  EXPECT_EQ(Take(1), "\x04");
  EXPECT_EQ(done.get(), "ok");
}

TEST_F(Lsv2ControlLine, TakesATelegramOfTwoBlocksAndRefusesABadBcc) {
  auto done = Start("lsv2-expect \"R PPN10[CR][LF]N20[CR][LF]\" --timeout 5000");
  Put("\x05");
  EXPECT_EQ(Take(2),
            "\x10"s
            "0");
  Put("\x10\x02R PPN10\r\n\x10\x17\x00"s);
  EXPECT_EQ(Take(1), "\x15") << "wrong BCC";
  std::string first = "\x10\x02R PPN10\r\n\x10\x17"s;
  first += static_cast<char>(w::Bcc("R PPN10\r\n", 0x17));
  Put(first);
  EXPECT_EQ(Take(2),
            "\x10"s
            "1");
  std::string second = "\x10\x02R PPN20\r\n\x10\x03"s;
  second += static_cast<char>(w::Bcc("R PPN20\r\n", 0x03));
  Put(second);
  EXPECT_EQ(Take(2),
            "\x10"s
            "1");
  Put("\x04");
  EXPECT_EQ(done.get(), "ok") << "further blocks add their text from the fifth character";
}

TEST_F(Lsv2ControlLine, CollidesWithTheStationsEnq) {
  auto done = Start("lsv2-collide \"R ST I1\" --timeout 5000");
  Put("\x05");
  EXPECT_EQ(Take(1), "\x05") << "ENQ against ENQ";
  Put("\x10"s
      "0");
  const std::string frame = "\x10\x02R ST I1\x10\x03"s + static_cast<char>(w::Bcc("R ST I1", 3));
  EXPECT_EQ(Take(frame.size()), frame);
  Put("\x10"s
      "1");
  EXPECT_EQ(Take(1), "\x04");
  EXPECT_EQ(done.get(), "ok");
}

TEST_F(Lsv2ControlLine, TakesTheStationsSendDialogueAndWaitsOnRequest) {
  const std::string file = ::testing::TempDir() + "lsv2_receive.nc";
  auto done = Start("lsv2-receive " + file + " --wait 2 --wait-ms 0 --expect-name %1234");
  StationSends("T ST  ");
  EXPECT_EQ(StationReads(), "R ST  1002006200000000000000000000000000000000000000000758");
  StationSends("PRCL%1234\r\n");
  EXPECT_EQ(StationReads(), "M RR  ");
  StationSends("R CL%CL\r\n%1234\r\nM30\r\n");
  EXPECT_EQ(StationReads(), "M OK");
  StationSends("T FD");
  StationSends("PRPP%1234\r\n");
  EXPECT_EQ(StationReads(), "M RR  ");
  StationSends("R PPN10 G00\r\n");
  EXPECT_EQ(StationReads(), "T WA");
  EXPECT_EQ(StationReads(), "T WA");
  EXPECT_EQ(StationReads(), "T NB");
  StationSends("R PPN20 M30\r\n");
  EXPECT_EQ(StationReads(), "T NB");
  StationSends("T FD");
  EXPECT_EQ(done.get(), "ok");
  std::ifstream in(file, std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), "N10 G00\r\nN20 M30\r\n");
}

TEST_F(Lsv2ControlLine, OffersAProgramTheStationAsksFor) {
  const std::string file = ::testing::TempDir() + "lsv2_offer.nc";
  std::ofstream(file, std::ios::binary) << "N10 G00\nN20 M30\n";
  auto done = Start("lsv2-offer %1234 " + file + " --expect-request PTPP%1234[CR][LF]");
  EXPECT_EQ(StationReads(), "RDPP  %1234");
  StationSends("PTPP%1234\r\n");
  EXPECT_EQ(StationReads(), "M RT  ");
  StationSends("T NB");
  EXPECT_EQ(StationReads(), "R PPN10 G00\r\nN20 M30\r\n");
  StationSends("T NB");
  EXPECT_EQ(StationReads(), "T FD");
  EXPECT_EQ(done.get(), "ok");
}

TEST_F(Lsv2ControlLine, AsksForAnOkumaListing) {
  const std::string file = ::testing::TempDir() + "okuma_list.txt";
  auto done = Start("okuma-list *.MIN 0 1 " + file);
  EXPECT_EQ(StationReads(), "LIPM*.MIN,0,1");
  StationSends("M RT");
  EXPECT_EQ(StationReads(), "T NB");
  StationSends("DIPMA.MIN 1 2024.03.05 07:08:09 00\n");
  EXPECT_EQ(StationReads(), "T NB");
  StationSends("T FD");
  EXPECT_EQ(StationReads(), "M OK");
  EXPECT_EQ(done.get(), "ok");
  std::ifstream in(file, std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), "A.MIN 1 2024.03.05 07:08:09 00\n");
}

}  // namespace
}  // namespace zova::sim
