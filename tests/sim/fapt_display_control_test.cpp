// The program-system and display controls against a station end held by
// the test: the exact block form the program system sends, what it accepts
// and refuses, and what a display shows for the bytes it is sent.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "controls/control_registry.h"
#include "controls/display_control.h"

namespace zova::sim {
namespace {

std::string Temp(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/fapt_ctl_" + std::to_string(::getpid()) + "_" +
         name;
}

void Write(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ControlLine : public ::testing::Test {
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
    for (const std::string& f : files) ::unlink(f.c_str());
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
  bool Run(const std::string& control, const std::string& text, std::string& error) {
    auto c = MakeControl(control, line, {});
    SimCommand cmd;
    return c && c->Parse(text, 1, cmd, error) && c->Run(cmd, error);
  }
  std::string File(const std::string& name) {
    files.push_back(Temp(name));
    return files.back();
  }

  SimLine line;
  int station = -1;
  std::vector<std::string> files;
};

const std::string kZeros(63, '\0');

TEST_F(ControlLine, ProgramSystemSendsItsBlocks) {
  const std::string prog = File("prog");
  Write(prog, std::string(60, 'P'));
  std::string error;
  ASSERT_TRUE(Run("fapt", "fapt-send " + prog + " --name O12 --lead [NUL]", error)) << error;
  // NUL, SOH, "MLL>MLL=O12" CR LF and 60 P: 73 bytes, two blocks.
  const std::string data = "MLL>MLL=O12\r\n" + std::string(60, 'P');
  const std::string want = std::string("\0\1", 2) + data.substr(0, 63) + "\x02" + data.substr(63) +
                           std::string(53, '\0') + "\x08";
  EXPECT_EQ(Take(want.size()), want);

  ASSERT_TRUE(Run("fapt", "fapt-send " + prog + " --corrupt 1", error)) << error;
  const std::string broken = "\x01" + std::string(60, 'P') + std::string(3, '\0') + "?";
  EXPECT_EQ(Take(broken.size()), broken) << "the separator after block 1 is out of place";
}

TEST_F(ControlLine, ProgramSystemTakesABlockImageAndRefusesABadOne) {
  const std::string got = File("got");
  const std::string data = std::string(63, 'a') + "bc";
  Send("\x12\x01" + data.substr(0, 63) + "\x02" + "bc" + std::string(61, '\0') + "\x08" + kZeros);
  std::string error;
  ASSERT_TRUE(Run("fapt", "fapt-receive " + got + " --quiet 500", error)) << error;
  EXPECT_EQ(Read(got), data) << "the padding of the last block is left out";

  struct Case {
    std::string image;
    const char* error;
  } cases[] = {
      {"\x01" + std::string(63, 'a'), "fapt-receive: DC2 expected, got [SOH]"},
      {"\x12\x01" + std::string(63, 'a') + "X", "fapt-receive: block 1 followed by X"},
  };
  for (const Case& c : cases) {
    Send(c.image);
    error.clear();
    EXPECT_FALSE(Run("fapt", "fapt-receive " + got + " --quiet 100 --first 500", error));
    EXPECT_EQ(error, c.error);
    std::string rest;
    line.Read(rest, 4096, 50);  // what the refusal left on the line
  }
}

TEST(DisplayScreen, ShowsWhatACharacterDisplayIsSent) {
  const std::string reset = "\x1b@\x1bR\t\f";
  struct Case {
    const char* what;
    std::string bytes;
    DisplayCharset charset;
    std::vector<std::string> want;
  } cases[] = {
      {"two lines",
       reset + "  Kvist-Zova\r\n   startet",
       DisplayCharset::Own,
       {"  Kvist-Zova", "   startet"}},
      {"a mode, a line feed and a scroll",
       reset + "\x1f"
               "E\nSender\r\nO1000",
       DisplayCharset::Own,
       {"Sender", "O1000"}},
      {"its own letter codes", "\xC5\xCF\xC4\xA5\xAF\xA4", DisplayCharset::Own, {"æøåÆØÅ", ""}},
      {"the Norwegian set once ESC R 9 chose it",
       reset + "{|}[\\]",
       DisplayCharset::Own,
       {"æøåÆØÅ", ""}},
      {"without it the brackets are brackets", "\x1b@{|}", DisplayCharset::Own, {"{|}", ""}},
      {"a one-line display scrolls", "\r\nfirst\r\nsecond", DisplayCharset::Norsk, {"second"}},
      {"text past the last column is not shown",
       "0123456789ABCDEFGHIJKL",
       DisplayCharset::Own,
       {"0123456789ABCDEFGHIJ", ""}},
  };
  for (const Case& c : cases) {
    CharacterScreen screen(20, static_cast<int>(c.want.size()), c.charset);
    screen.Feed(c.bytes);
    EXPECT_EQ(screen.Lines(), c.want) << c.what;
  }
}

TEST(DisplayScreen, LineDisplayShowsEachMessage) {
  EXPECT_EQ(LineDisplayMessages("#ST\r\n#ER Mottar data\r\n#EN\r\n#ST\r\n#ER \xE6[\r\n#EN\r\n",
                                DisplayCharset::Own),
            (std::vector<std::string>{"Mottar data", "æ["}));
  EXPECT_EQ(LineDisplayMessages("#ER Ingen start\r\n#EN\r\n#ST\r\n#ER halv", DisplayCharset::Own),
            std::vector<std::string>{})
      << "only a whole message is shown";
}

}  // namespace
}  // namespace zova::sim
