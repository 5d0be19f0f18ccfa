// The 3964R layer as a driver runs it, over a pseudo-terminal whose other
// end plays the partner: its answers are queued before the station reads
// them, and what the station wrote is compared byte for byte.

#include "protocols/t3964r/t3964r.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "serial/pty_pair.h"
#include "support/test_support.h"

namespace zova {
namespace {

using namespace std::string_literals;

constexpr char kStx = 0x02, kDle = 0x10, kNak = 0x15;
const std::string kEnd = "\x10\x03"s;

class Driver : public T3964R {
 public:
  Driver(const UiLinks& links, MachineRequest& r, bool lowPriority)
      : T3964R(links, r, 1, lowPriority) {}
  using T3964R::OpenTelegramPort;
  std::vector<std::string> unsolicited;

 protected:
  void HandleUnsolicited(const std::string& telegram) override {
    unsolicited.push_back(telegram);
    T3964R::HandleUnsolicited(telegram);
  }
};

// The partner's block for Payload: DLEs doubled, DLE ETX, the exclusive OR
// of all that. Written out here rather than taken from the station's framer.
std::string Block(const std::string& payload, bool badBcc = false) {
  std::string b;
  for (char c : payload) {
    b += c;
    if (c == kDle) b += c;
  }
  b += kEnd;
  char bcc = 0;
  for (char c : b) bcc = static_cast<char>(bcc ^ c);
  return b + static_cast<char>(badBcc ? bcc ^ 0x01 : bcc);
}

std::string Times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

struct T3964RTest : ::testing::Test {
  StationModel model{1};
  UiLinks links;
  test::ScopedUiHost ui;
  ManualClock clock;
  ScopedClock scoped{clock};
  test::TempDir dir;
  test::PtyPair pty;
  std::unique_ptr<test::ScopedIni> ini;
  std::unique_ptr<Driver> d;
  TComPort com;

  T3964RTest() { links.model = &model; }
  void Open(bool lowPriority = true, const std::string& portKeys = "Kode=ASCII\n") {
    ASSERT_TRUE(pty.Ok());
    d.reset();
    com = TComPort();
    ini.reset();
    ini = std::make_unique<test::ScopedIni>(
        "[Program]\nTemp=" + dir.Path() + "\n[Maskin1]\nPort=COM1\nKatalog=" + dir.Path() +
        "\n[COM1]\nEnhet=" + pty.SlavePath() + "\nTimeMultiplier=50\nTimeOut=1\n" + portKeys);
    d = std::make_unique<Driver>(links, model.Request(1), lowPriority);
    bool ok = false;
    d->OpenTelegramPort("COM1", ok, com);
    ASSERT_TRUE(ok);
  }
  // What the station wrote, once it is quiet.
  std::string Written() { return pty.Receive(1 << 16, 100); }
  std::string Melding() { return model.Cell(kColMelding, 1); }
};

TEST_F(T3964RTest, SendFollowsThePartnersAnswers) {
  const std::string telegram = "T\x10X"s + kEnd;
  const std::string pass = std::string(1, kStx) + Block("T\x10X"s);
  struct Case {
    const char* what;
    bool lowPriority;
    std::string answers;
    std::string written;
    bool ok;
    const char* unsolicited;
  } cases[] = {
      {"accepted at once", true, "\x10\x10"s, pass, true, nullptr},
      {"NAK four times, then DLE", true, Times("\x10\x15"s, 4) + "\x10\x10"s, Times(pass, 5), true,
       nullptr},
      {"NAK five times", true, Times("\x10\x15"s, 5), Times(pass, 5), false, nullptr},
      {"a foreign answer ends the send at once", true,
       "\x10"
       "A"s,
       pass, false, nullptr},
      {"collision: the low-priority side takes the partner's telegram first", true,
       "\x02"s + Block("R1") + "\x10\x10"s, "\x02\x10\x10"s + pass, true, "R1"},
      {"collision: the high-priority side waits for the partner's DLE", false, "\x02\x10\x10"s,
       pass, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.lowPriority);
    pty.Send(c.answers);
    EXPECT_EQ(d->SendTelegram(com, telegram), c.ok);
    EXPECT_EQ(Written(), c.written);
    if (c.unsolicited) {
      ASSERT_EQ(d->unsolicited.size(), 1u);
      EXPECT_EQ(d->unsolicited[0], c.unsolicited + kEnd);
      EXPECT_EQ(Melding(), std::string("Egenmelding: ") + c.unsolicited + "[DLE][ETX]");
    } else {
      EXPECT_TRUE(d->unsolicited.empty());
    }
  }
}

TEST_F(T3964RTest, ATelegramPastTheFrameLimitIsRefusedBeforeAnythingGoesOut) {
  Open();
  // 252 payload bytes + DLE ETX + BCC is the last frame that fits.
  pty.Send("\x10\x10"s);
  EXPECT_TRUE(d->SendTelegram(com, std::string(252, 'A') + kEnd));
  EXPECT_EQ(Written().size(), 1u + 255u);
  EXPECT_FALSE(d->SendTelegram(com, std::string(127, '\x10') + kEnd)) << "doubled it is 257";
  EXPECT_EQ(Written(), "");
  EXPECT_EQ(Melding(), "Telegram over 255 byte: 257");
}

TEST_F(T3964RTest, ReceiveAnswersEachBlock) {
  struct Case {
    const char* what;
    std::string partner;
    std::string written;
    bool ok;
    std::string telegram;
  } cases[] = {
      {"a block with DLE pairs and DLE ETX inside",
       "\x02"s + Block("A\x10\x03"
                       "B"s),
       "\x10\x10"s, true,
       "A\x10\x03"
       "B"s +
           kEnd},
      {"a wrong BCC is refused and the repetition taken",
       "\x02"s + Block("AB", true) + "\x02"s + Block("AB"), "\x10\x15\x10\x10"s, true, "AB" + kEnd},
      {"no STX: nothing to receive", "x", "", false, ""},
      {"a block past the frame limit is refused",
       "\x02"s + Block(std::string(300, 'L')) + "\x02"s + Block("S"), "\x10\x15\x10\x10"s, true,
       "S" + kEnd},
      {"five refused blocks end the receive", Times("\x02"s + Block("AB", true), 5),
       Times("\x10\x15"s, 5), false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open();
    pty.Send(c.partner);
    std::string telegram = "stale";
    EXPECT_EQ(d->ReceiveTelegram(com, telegram), c.ok);
    EXPECT_EQ(telegram, c.telegram);
    EXPECT_EQ(Written(), c.written);
  }
}

// A port section written for a text line: software flow control, NUL
// removal, an end-of-block string, buffered output, keep-alive XONs and the
// EIA tape code. None of it may touch a block: XON, XOFF and NUL in the data
// and as block checks pass both ways.
TEST_F(T3964RTest, TheTextSettingsOfThePortLeaveBlocksAlone) {
  Open(true,
       "Kode=EIA\nXonXoff=True\nFjernNull=True\nEOB=[CR]\nBuffer=True\nXOnTest=True\n"
       "Blokkvis=True\n");
  for (const std::string& payload :
       {"AA"s /* BCC XOFF */, "AC"s /* BCC XON */, "S@"s /* BCC NUL */, "\x11\x13\x00\r\n"s}) {
    SCOPED_TRACE(payload);
    pty.Send("\x02"s + Block(payload));
    std::string telegram;
    EXPECT_TRUE(d->ReceiveTelegram(com, telegram));
    EXPECT_EQ(telegram, payload + kEnd);
    EXPECT_EQ(Written(), "\x10\x10"s);
    pty.Send("\x10\x10"s);
    EXPECT_TRUE(d->SendTelegram(com, payload + kEnd));
    EXPECT_EQ(Written(), "\x02"s + Block(payload));
  }
}

}  // namespace
}  // namespace zova
