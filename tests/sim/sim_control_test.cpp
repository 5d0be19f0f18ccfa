// The control interface in process: script lines checked against each
// control's command table, and the byte calls over a pseudo-terminal whose
// other end the test holds as the station.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "controls/control_registry.h"
#include "controls/okuma_control.h"
#include "controls/standard_control.h"
#include "support/test_support.h"

namespace zova::sim {
namespace {

struct ParseCase {
  const char* control;
  const char* line;
  const char* error;  // empty: parses
};

TEST(SimControl, ScriptLinesAreCheckedAgainstTheControlsTable) {
  const ParseCase cases[] = {
      {"standard", "capture f --xon --quiet 5 --paced", ""},
      {"standard", "request \"%O1 [CR]\" --no-xoff --drop-after 3", ""},
      {"standard", "# a comment", ""},
      {"standard", "capture f --xon 5", "capture takes 1 argument(s)"},
      {"standard", "capture f --quiet", "option --quiet needs a value"},
      {"standard", "send f --xon", "send: unknown option --xon"},
      {"standard", "expect", "expect takes 1 argument(s)"},
      {"standard", "echo-back", "unknown command 'echo-back'"},
      {"echo", "echo-back --quiet 50", ""},
      {"echo", "wait-open --timeout 50", ""},
      {"echo", "echo-back now", "echo-back takes 0 argument(s)"},
      {"okuma", "okuma-receive f --name P12.MIN --padding nuls --until %", ""},
      {"okuma", "okuma-print f --no-ff", ""},
      {"okuma", "btr-punch a.nc,b.nc --leader 3", ""},
      {"okuma", "okuma-print f --until %", "okuma-print: unknown option --until"},
  };
  SimLine line;
  for (const ParseCase& c : cases) {
    auto control = MakeControl(c.control, line, {});
    ASSERT_TRUE(control) << c.control;
    SimCommand cmd;
    std::string error;
    EXPECT_EQ(control->Parse(c.line, 1, cmd, error), *c.error == '\0') << c.line;
    EXPECT_EQ(error, c.error) << c.line;
  }
}

TEST(SimControl, QuotedArgumentsAndFlagsReachTheCommand) {
  SimLine line;
  auto control = MakeControl("standard", line, {});
  SimCommand cmd;
  std::string error;
  ASSERT_TRUE(control->Parse("request \"a b\" --no-xoff --drop-after 3", 7, cmd, error));
  EXPECT_EQ(cmd.args, std::vector<std::string>{"a b"});
  EXPECT_EQ(cmd.Opt("--no-xoff"), "1");
  EXPECT_EQ(cmd.Opt("--drop-after"), "3");
  EXPECT_EQ(cmd.line, 7);
}

TEST(SimControl, RegistryKnowsEachControlByName) {
  SimLine line;
  EXPECT_EQ(KnownControlNames(),
            "standard, echo, raskin, btr, dc2, okuma, lsv2, siemens, hybrid, fapt, display, "
            "heidenhain, terminal, uart, mazatrol, num, box, cell, presetter");
  EXPECT_EQ(MakeControl("Standard", line, {}), nullptr) << "names are exact";
  auto echo = MakeControl("echo", line, {});
  ASSERT_TRUE(echo);
  auto names = echo->CommandNames();
  for (const char* inherited : {"wait-open", "wait", "expect", "echo", "echo-back"})
    EXPECT_NE(std::find(names.begin(), names.end(), inherited), names.end()) << inherited;
}

// A control of the kind the interface is for: it answers STX with DLE and
// counts the telegrams it has seen, and it redefines an inherited command.
class TelegramControl : public StandardControl {
 public:
  explicit TelegramControl(SimLine& line) : StandardControl(line, {}) {
    AddCommand({"echo", {0, {}, {}}, false, Bind(&TelegramControl::Count)});
    AddCommand({"answer", {0, {"--timeout"}, {}}, true, Bind(&TelegramControl::Answer)});
  }
  using SimControl::ExpectByte;
  using SimControl::ReadByte;
  using SimControl::ReadStatus;
  using SimControl::Received;
  using SimControl::WriteBytes;
  int telegrams = 0, echoes = 0;

 private:
  bool Count(const SimCommand&, std::string&) {
    ++echoes;
    return true;
  }
  bool Answer(const SimCommand& cmd, std::string& error) {
    bool ok = true;
    if (!ExpectByte(0x02, static_cast<int>(cmd.Num("--timeout", 1000, ok)), error)) return false;
    ++telegrams;
    return WriteBytes("\x10");
  }
};

class SimControlLine : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(line.OpenPty(error)) << error;
    line.SetLinger(0);
    station = ::open(line.StationPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(station, 0);
  }
  void TearDown() override {
    if (station >= 0) ::close(station);
  }
  void Send(const std::string& s) {
    ASSERT_EQ(::write(station, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  std::string Take(size_t n) {
    std::string got(n, '\0');
    size_t have = 0;
    while (have < n) {
      ssize_t r = ::read(station, got.data() + have, n - have);
      if (r <= 0) break;
      have += static_cast<size_t>(r);
    }
    return got.substr(0, have);
  }
  bool Run(SimControl& control, const std::string& text, std::string& error) {
    SimCommand cmd;
    return control.Parse(text, 1, cmd, error) && control.Run(cmd, error);
  }

  SimLine line;
  TelegramControl control{line};
  int station = -1;
};

TEST_F(SimControlLine, ReadByteKeepsTheRestOfAChunkAndWaitsItsTimeout) {
  using RS = TelegramControl::ReadStatus;
  Send("AB");
  uint8_t b = 0;
  ASSERT_EQ(control.ReadByte(b, 1000), RS::kData);
  EXPECT_EQ(b, 'A');
  ASSERT_EQ(control.ReadByte(b, 0), RS::kData) << "B came in the same chunk";
  EXPECT_EQ(b, 'B');
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(control.ReadByte(b, 150), RS::kTimeout);
  // The station closing its end returns SimLine::Read early; the timeout
  // still holds, and it is no loss of the line.
  ::close(station);
  station = -1;
  EXPECT_EQ(control.ReadByte(b, 150), RS::kTimeout);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(290));
  line.Drop();
  EXPECT_EQ(control.ReadByte(b, 150), RS::kGone);
  EXPECT_FALSE(control.WriteBytes("x"));
}

TEST_F(SimControlLine, ExpectByteNamesWhatCameInstead) {
  std::string error;
  Send("\x15");
  EXPECT_FALSE(control.ExpectByte(0x10, 1000, error));
  EXPECT_EQ(error, "expected [DLE], got [NAK]");
  EXPECT_FALSE(control.ExpectByte(0x10, 20, error));
  EXPECT_EQ(error, "expected [DLE], nothing came");
  Send("\x10");
  EXPECT_TRUE(control.ExpectByte(0x10, 1000, error));
}

TEST_F(SimControlLine, OwnCommandsAnswerTelegramsAndRefuseADroppedLine) {
  std::string error;
  Send("\x02");
  ASSERT_TRUE(Run(control, "answer", error)) << error;
  EXPECT_EQ(Take(1), "\x10");
  EXPECT_EQ(control.telegrams, 1);
  EXPECT_FALSE(Run(control, "echo text", error))
      << "the control's own echo replaced the standard's";
  EXPECT_EQ(error, "echo takes 0 argument(s)");
  line.Drop();
  error.clear();
  EXPECT_TRUE(Run(control, "echo", error)) << "needs no line";
  EXPECT_EQ(control.echoes, 1);
  EXPECT_FALSE(Run(control, "answer", error));
  EXPECT_EQ(error, "answer: the line was dropped");
}

TEST(OkumaControl, HeaderIsTheNameWithItsPadding) {
  const std::string nuls(3, '\0');
  EXPECT_EQ(OkumaControl::Header("P12.MIN", "blanks"), "$P12.MIN    ");
  EXPECT_EQ(OkumaControl::Header("P12.MIN", "nuls"), "$P12.MIN" + nuls);
  EXPECT_EQ(OkumaControl::Header("P12.MIN", "leader"), nuls + "$P12.MIN");
  EXPECT_EQ(OkumaControl::Header("P12.MIN", "tabs"), "");
}

class OkumaControlLine : public SimControlLine {
 protected:
  test::TempDir dir;
  std::string got = dir / "got.nc";
  std::unique_ptr<SimControl> okuma = MakeControl("okuma", line, {});
};

TEST_F(OkumaControlLine, ProgramIsTakenOnlyBehindItsExactHeader) {
  std::string error;
  Send("$P12.MIN    O12\r\nM30\r\n%\r\nrest");
  ASSERT_TRUE(Run(*okuma, "okuma-receive " + got + " --name P12.MIN --until % --quiet 200", error))
      << error;
  EXPECT_EQ(test::ReadFile(got), "O12\r\nM30\r\n%");
  EXPECT_TRUE(Run(*okuma, "expect rest --timeout 100", error)) << "what follows stays: " << error;
  const struct {
    std::string sent;
    const char* error;
  } wrong[] = {
      {"$P12.MIN   %", "okuma-receive: header '$P12.MIN   %' instead of '$P12.MIN    '"},
      {"$P12.MIN" + std::string(3, '\0') + "%",
       "okuma-receive: header '$P12.MIN[NUL][NUL][NUL]%' instead of '$P12.MIN    '"},
      {"%\r\nO12", "okuma-receive: header '%[CR][LF]O12' instead of '$P12.MIN    '"},
      {"", "okuma-receive: no header came"},
  };
  for (const auto& w : wrong) {
    // A control of its own for each, so that nothing of the last is left.
    okuma = MakeControl("okuma", line, {});
    if (!w.sent.empty()) Send(w.sent);
    error.clear();
    EXPECT_FALSE(Run(*okuma, "okuma-receive " + got + " --name P12.MIN --timeout 200", error));
    EXPECT_EQ(error, w.error);
  }
}

}  // namespace
}  // namespace zova::sim
