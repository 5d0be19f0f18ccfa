// The line layer over a loopback cable: what goes on the wire for what the
// driver writes, what the driver reads for what arrives, and the handshakes
// and faults a pseudo-terminal cannot show.

#include "serial/line/tcom.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "serial/device/loopback_device.h"
#include "support/test_support.h"

namespace zova {
namespace {

class Line : public TCom {
 public:
  using TCom::TCom;
  void Execute() override {}
};

// A manual clock that lets a test look at the line while the driver waits.
class WatchingClock : public ManualClock {
 public:
  std::function<void(int64_t)> onSleep;
  bool Sleep(int64_t ms, const std::atomic<bool>* stop) override {
    if (onSleep) onSleep(ms);
    return ManualClock::Sleep(ms, stop);
  }
};

// A device in front of a loopback end that counts the writes reaching it,
// and with ModemLines false has none (as a pseudo-terminal or a TCP port).
class CountingDevice : public SerialDevice {
 public:
  CountingDevice(std::unique_ptr<SerialDevice> inner, bool modemLines)
      : inner_(std::move(inner)), modemLines_(modemLines) {}
  bool Configure(const LineSettings& s, int& err) override { return inner_->Configure(s, err); }
  IoResult Write(const uint8_t* data, size_t len, int timeoutMs) override {
    ++writes;
    return inner_->Write(data, len, timeoutMs);
  }
  std::optional<ModemStatus> GetModemStatus() override {
    if (!modemLines_) return std::nullopt;
    return inner_->GetModemStatus();
  }
  bool SetDtr(bool on) override { return inner_->SetDtr(on); }
  bool SetRts(bool on) override { return inner_->SetRts(on); }
  bool SetBreak(bool on) override { return inner_->SetBreak(on); }
  bool ResumeOutput() override { return inner_->ResumeOutput(); }
  std::optional<LineErrorCounts> GetLineErrors() override { return inner_->GetLineErrors(); }
  std::string Name() const override { return inner_->Name(); }
  int writes = 0;

 protected:
  IoResult ReadSome(uint8_t* buf, size_t max, int timeoutMs) override {
    return inner_->Read(buf, max, timeoutMs);
  }
  bool PurgeDevice(bool rx, bool tx) override { return inner_->Purge(rx, tx); }

 private:
  std::unique_ptr<SerialDevice> inner_;
  bool modemLines_;
};

struct TComTest : ::testing::Test {
  StationModel model{2};
  UiLinks links;
  test::ScopedUiHost ui;
  WatchingClock clock;
  ScopedClock scoped{clock};
  test::TempDir temp;
  std::unique_ptr<test::ScopedIni> ini;
  std::unique_ptr<Line> d;
  TComPort rec;
  std::unique_ptr<LoopbackDevice> peer;
  LoopbackDevice* ours = nullptr;

  TComTest() { links.model = &model; }

  void Open(const std::string& portKeys, bool xonStart = false,
            const std::function<void(LoopbackDevice&)>& beforeOpen = {}) {
    d.reset();
    ini.reset();  // the previous configuration goes before the next takes over
    rec = TComPort{};
    LoopbackPair pair("tcom");
    peer = std::move(pair.b);
    ours = pair.a.get();
    ParkLoopbackEnd("tcom", std::move(pair.a));
    if (beforeOpen) beforeOpen(*peer);
    ini = std::make_unique<test::ScopedIni>("[Program]\nTemp=" + temp.Path() +
                                            "\n[Maskin1]\nKatalog=" + temp.Path() +
                                            "\n[COM1]\nEnhet=loop:tcom\n" + portKeys);
    d = std::make_unique<Line>(links, model.Request(1), 1);
    bool ok = false;
    d->OpenPort("COM1", "", ok, xonStart, rec);
    ASSERT_TRUE(ok);
    // Timeouts of a few milliseconds keep idle reads quick; the rules do
    // not depend on their length.
    rec.TimeMultiplier = 2;
  }
  std::string Wire() {
    std::string out;
    uint8_t buf[256];
    for (;;) {
      IoResult r = peer->Read(buf, sizeof buf, 0);
      if (r.count == 0) return out;
      out.append(reinterpret_cast<char*>(buf), r.count);
    }
  }
  void Feed(std::string_view bytes) {
    peer->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 100);
  }
  std::string Send(std::string_view text) {
    bool ok = true;
    for (char c : text) {
      d->WriteChar(rec, false, ok, c);
      EXPECT_TRUE(ok);
    }
    return Wire();
  }
  std::string Melding() { return model.Cell(kColMelding, 1); }
};

TEST_F(TComTest, WhatGoesOnTheWire) {
  struct Case {
    const char* name;
    const char* keys;
    std::string text, wire;
  } cases[] = {
      {"every line end is one EOB", "Kode=ASCII\n", "G1\r\nX2\rY3\n", "G1\r\nX2\r\nY3\r\n"},
      {"own EOB", "Kode=ASCII\nEOB=[LF]\n", "A\r\nB\r\n", "A\nB\n"},
      {"TV pad with a blank", "Kode=ASCII\nTVCheck=True\n", "ABC\r\n", "ABC \r\n"},
      {"TV even already", "Kode=ASCII\nTVCheck=True\n", "AB\r\n", "AB\r\n"},
      {"TV TAB gets a blank to come out even", "Kode=ASCII\nTVCheck=True\nTVTegn=[TAB]\n", "AB\r\n",
       "AB \t\r\n"},
      {"TV TAB alone when odd", "Kode=ASCII\nTVCheck=True\nTVTegn=[TAB]\n", "ABC\r\n", "ABC\t\r\n"},
      {"EIA never sends LF; lower case has no code", "Kode=EIA\n", "a\r\n",
       std::string("\x2A\x80", 2)},
      {"ISO adds even parity", "Kode=ISO\nStoppTid=1\n", "AC", std::string("A\xC3", 2)},
      {"7 data bits: the UART does the parity", "Kode=ISO\nBit=7\n", "AC", "AC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.keys);
    EXPECT_EQ(Send(c.text), c.wire);
    const int64_t oneByOne = rec.CharCount;
    // A run handed to the kernel at once must come out the same.
    rec.CharCount = 0;
    bool ok = false;
    size_t sent = 0;
    d->WriteChars(rec, c.text, false, ok, sent);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sent, c.text.size());
    EXPECT_EQ(Wire(), c.wire);
    EXPECT_EQ(rec.CharCount, oneByOne);
    d->ClosePort(rec);
  }
}

TEST_F(TComTest, WhatTheDriverReads) {
  struct Case {
    const char* name;
    const char* keys;
    char wire, read;
  } cases[] = {
      {"ISO without the stop check only strips bit 7", "Kode=ISO\n", '\xC1', 'A'},
      {"ISO with the check: wrong parity is a question mark", "Kode=ISO\nStoppTid=1\n", '\xC1',
       '?'},
      {"ISO with the check: right parity", "Kode=ISO\nStoppTid=1\n", '\xC3', 'C'},
      {"7-bit ISO line reads as ASCII", "Kode=ISO\nBit=7\n", '\xC1', '\xC1'},
      {"EIA", "Kode=EIA\n", '\x61', 'A'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.keys);
    Feed(std::string(1, c.wire));
    bool ok = false;
    char ch = 0;
    d->ReadChar(rec, false, ok, ch);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ch, c.read);
    EXPECT_EQ(rec.CharCount, 1);
    d->ClosePort(rec);
  }
}

TEST_F(TComTest, ARunStopsWhereACharacterNeedsTheLineLayer) {
  struct Case {
    const char* name;
    const char* keys;
    bool xonStart;
    std::string wire, run;  // after the first byte, which fills the buffer
  } cases[] = {
      {"decoded as one by one", "Kode=ISO\n", false, "G\xC1\xC2\r\n", std::string("AB\r\n")},
      {"an invalid character is read on its own", "Kode=ASCII\nStoppTid=1\n", false, "G1 X~M",
       "1 X"},
      {"an XON that starts a send", "Kode=ASCII\nXonXoff=True\n", true,
       "GA\x11"
       "B",
       "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.keys, c.xonStart);
    Feed(c.wire);
    bool ok = false;
    char ch = 0;
    d->ReadChar(rec, false, ok, ch);
    ASSERT_TRUE(ok);
    // The run is offered whole; what the reader does not use stays.
    std::string offered;
    ASSERT_TRUE(d->ReadRun(rec, true, true, 64, [&](const char* data, size_t n) {
      offered.assign(data, n);
      return n > 1 ? n - 1 : n;
    }));
    EXPECT_EQ(offered, c.run);
    const int64_t used = static_cast<int64_t>(c.run.size() > 1 ? c.run.size() - 1 : 1);
    EXPECT_EQ(rec.CharCount, 1 + used);
    if (c.run.size() > 1) {
      d->ReadChar(rec, false, ok, ch);
      EXPECT_TRUE(ok && ch == c.run.back()) << "the unused character is read next";
    }
    d->ClosePort(rec);
  }
  Open("Kode=ASCII\n");
  Feed("ABC");
  bool ok = false;
  char ch = 0;
  d->ReadChar(rec, false, ok, ch);
  TCom::UnreadChar(rec, ch);
  std::string offered;
  auto take = [&](const char* data, size_t n) {
    offered.assign(data, n);
    return n;
  };
  ASSERT_TRUE(d->ReadRun(rec, true, true, 1, take));
  EXPECT_EQ(offered, "A") << "a pushed-back character comes first; no more than asked for";
  TCom::UnreadChar(rec, 'A');
  ASSERT_TRUE(d->ReadRun(rec, true, true, 64, [&](const char* data, size_t n) {
    offered.assign(data, n);
    return size_t{2};
  }));
  EXPECT_EQ(offered, "ABC") << "what the line holds follows it";
  EXPECT_EQ(rec.CharCount, 2) << "a pushed-back character was counted when it was first read";
  ASSERT_TRUE(d->ReadRun(rec, true, true, 64, take));
  EXPECT_EQ(offered, "C");
  EXPECT_FALSE(d->ReadRun(rec, true, true, 64, take)) << "a quiet line reads nothing";
}

TEST_F(TComTest, PushedBackCharacterComesFirst) {
  Open("Kode=ASCII\n");
  Feed("B");
  TCom::UnreadChar(rec, 'A');
  bool ok = false;
  char ch = 0;
  d->ReadChar(rec, true, ok, ch);
  EXPECT_EQ(ch, 'A');
  d->ReadChar(rec, true, ok, ch);
  EXPECT_EQ(ch, 'B');
  d->ReadChar(rec, true, ok, ch);
  EXPECT_FALSE(ok) << "an idle read with nothing waiting times out";
}

TEST_F(TComTest, XonFromTheControlStartsASendAndIsNotData) {
  Open("Kode=ASCII\nXonXoff=True\n", /*xonStart=*/true);
  Feed("\x11");
  bool ok = true;
  char ch = 0;
  d->ReadChar(rec, true, ok, ch);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(rec.StartSeen);
  EXPECT_TRUE(ours->Settings().xonXoffOut) << "the send obeys the control's XOFF";
  EXPECT_TRUE(d->StartRequested(rec));
  EXPECT_FALSE(rec.StartSeen);
}

TEST_F(TComTest, IdleLineSendsOneXonAfterThirtyQuietReads) {
  Open("Kode=ASCII\nXOnTest=True\n");
  bool ok = false;
  char ch = 0;
  for (int i = 0; i < 29; ++i) d->ReadChar(rec, true, ok, ch);
  EXPECT_EQ(Wire(), "");
  d->ReadChar(rec, true, ok, ch);
  EXPECT_EQ(Wire(), "\x11");
  EXPECT_EQ(Melding(), "XOn Sendt");
  for (int i = 0; i < 29; ++i) d->ReadChar(rec, true, ok, ch);
  EXPECT_EQ(Wire(), "") << "the counter starts again";
}

TEST_F(TComTest, InvalidCharacterStopsTheSenderWithLinesDropped) {
  Open("Kode=ASCII\nStoppTid=2\nXonXoff=True\nStoppByte=20\nStoppFortsett=True\n");
  std::vector<ModemStatus> seenDuringWait;
  clock.onSleep = [&](int64_t ms) {
    if (ms == 1000) seenDuringWait.push_back(peer->GetModemStatus().value());
  };
  Feed("~");
  bool ok = false;
  char ch = 0;
  d->ReadCheckedChar(rec, true, ok, ch, false);
  clock.onSleep = nullptr;
  EXPECT_TRUE(ok) << "the character itself is still delivered";
  EXPECT_EQ(Melding(), "Ugyldig tegn: ~ - venter 2 sekund");
  EXPECT_TRUE(d->TransferError);
  EXPECT_EQ(Wire(), "\x13\x14\x11") << "XOFF, the stop byte, and XON after the wait";
  ASSERT_EQ(seenDuringWait.size(), 2u) << "two one-second steps";
  for (const ModemStatus& m : seenDuringWait) {
    EXPECT_FALSE(m.cts) << "our RTS is down while the sender is held";
    EXPECT_FALSE(m.dsr) << "our DTR is down while the sender is held";
  }
  ModemStatus after = peer->GetModemStatus().value();
  EXPECT_TRUE(after.cts && after.dsr) << "both lines come back";

  // Once the transfer is marked failed, further bad characters do not stop
  // the sender again.
  Feed("~");
  d->ReadCheckedChar(rec, true, ok, ch, false);
  EXPECT_EQ(Wire(), "");
}

TEST_F(TComTest, LineErrorIsReportedAndMarksTheTransfer) {
  Open("Kode=ASCII\nAbortOnError=True\n");
  ours->InjectLineError(LoopbackDevice::LineError::Frame);
  bool ok = true;
  char ch = 0;
  d->ReadChar(rec, true, ok, ch);
  EXPECT_EQ(Melding(), "Com: Framing error oppdaget");
  EXPECT_TRUE(d->TransferError);
}

TEST_F(TComTest, BlockwiseSendHearsContinueAndBreak) {
  Open("Kode=ASCII\nBlokkvis=True\n");
  bool ok = false;
  d->OpenTextAsSendFile(std::string(10000, 'A'), ok);
  ASSERT_TRUE(ok);
  struct Case {
    const char* name;
    std::string answer;
    bool sendGoesOn;
    bool pushedBack;
  } cases[] = {
      {"a continue character pauses the send for the protocol", "%", false, true},
      {"a break character ends it", "\x04", false, false},
      {"anything else is ignored", "Q", true, false},
      {"nothing at all", "", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rec.HasUnread = false;
    rec.CharCount = 4095;
    Feed(c.answer);
    d->WriteBlockChar(rec, false, ok, 'X');
    EXPECT_EQ(ok, c.sendGoesOn);
    EXPECT_EQ(rec.HasUnread, c.pushedBack);
    if (c.pushedBack) {
      EXPECT_EQ(rec.UnreadCh, '%');
    }
    EXPECT_EQ(Wire(), "X") << "the character itself went out";
  }
  rec.CharCount = 100;
  Feed("%");
  d->WriteBlockChar(rec, false, ok, 'X');
  EXPECT_TRUE(ok) << "between the 4096 boundaries nobody listens";
  EXPECT_FALSE(rec.HasUnread);
}

TEST_F(TComTest, DsrFlowGoesByteByByteOnlyWhereTheDeviceHasModemLines) {
  const std::string text = "G1 X2\r\nM30\r\n";
  for (bool modemLines : {true, false}) {
    SCOPED_TRACE(modemLines ? "modem lines" : "none");
    Open("Kode=ASCII\nDtrDsr=True\n", false, [](LoopbackDevice& p) { p.SetDtr(true); });
    auto counting = std::make_unique<CountingDevice>(std::move(rec.Handle), modemLines);
    CountingDevice* device = counting.get();
    rec.Handle = std::move(counting);
    bool ok = false;
    size_t sent = 0;
    d->WriteChars(rec, text, false, ok, sent);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sent, text.size());
    EXPECT_EQ(Wire(), text);
    EXPECT_EQ(device->writes, modemLines ? static_cast<int>(text.size()) : 1)
        << "DSR is looked at before each byte only where it can be read";
  }
}

TEST_F(TComTest, HardwareStartNeedsARisingEdge) {
  Open("Kode=ASCII\nRtsCts=True\nDtrDsr=True\n", false, [](LoopbackDevice& p) {
    p.SetRts(true);
    p.SetDtr(true);
  });
  EXPECT_TRUE(rec.RemoteWasReady) << "the line was up when the port opened";
  EXPECT_FALSE(d->PollRemoteStart(rec)) << "a line that is already up starts nothing";
  peer->SetRts(false);
  peer->SetDtr(false);
  EXPECT_FALSE(d->PollRemoteStart(rec));
  EXPECT_FALSE(rec.RemoteWasReady);
  peer->SetRts(true);
  EXPECT_FALSE(d->PollRemoteStart(rec)) << "CTS alone is not enough with DTR/DSR too";
  peer->SetDtr(true);
  EXPECT_TRUE(d->PollRemoteStart(rec));
  EXPECT_TRUE(d->StartRequested(rec));
  d->EndSend(rec, true);
  EXPECT_FALSE(d->PollRemoteStart(rec)) << "after a send the control must drop and raise again";
}

TEST_F(TComTest, BufferedOutputGoesOutAtPercentOrFlush) {
  Open("Kode=ASCII\nBuffer=True\n");
  bool ok = false;
  for (char c : std::string("G1 X2")) d->WriteRawChar(rec, false, ok, c);
  EXPECT_EQ(Wire(), "");
  d->WriteRawChar(rec, false, ok, '%');
  EXPECT_EQ(Wire(), "G1 X2%");
  d->WriteRawChar(rec, false, ok, 'M');
  d->FlushOutput(rec, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Wire(), "M");
  EXPECT_EQ(rec.CharCount, 7);
}

TEST_F(TComTest, WriteFailsAfterItsTriesWhileTheControlHoldsXoff) {
  Open("Kode=ASCII\nXonXoff=True\nHardwareStart=True\nBreak=2\n");
  Feed("\x13");
  bool ok = true;
  char ch = 0;
  d->ReadChar(rec, true, ok, ch);  // the kernel takes the XOFF; nothing reaches the driver
  EXPECT_FALSE(ok);
  d->WriteRawChar(rec, false, ok, 'A');
  EXPECT_FALSE(ok);
  EXPECT_EQ(rec.CharCount, 0);
  Feed("\x11");
  d->WriteRawChar(rec, false, ok, 'B');
  EXPECT_TRUE(ok);
}

TEST_F(TComTest, HeldRunFailsAfterTheTriesOfOneCharacter) {
  Open("Kode=ASCII\nXonXoff=True\nHardwareStart=True\nBreak=2\n");
  Feed("\x13");
  bool ok = true;
  char ch = 0;
  d->ReadChar(rec, true, ok, ch);
  size_t sent = 9;
  d->WriteChars(rec, "G1 X2\r\nM30\r\n", false, ok, sent);
  EXPECT_FALSE(ok) << "a held line fails a run as soon as it fails one character";
  EXPECT_EQ(sent, 0u);
  EXPECT_EQ(rec.CharCount, 0);
  Feed("\x11");
  d->WriteChars(rec, "G1\r\n", false, ok, sent);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Wire(), "G1\r\n");
}

TEST_F(TComTest, OpenTellsOfANegativeLoopDelayOnce) {
  Open("LoopDelay=2\n");
  EXPECT_EQ(ui.host.NoticeCount(), 0u);
  Open("LoopDelay=-2\n");
  ASSERT_EQ(ui.host.NoticeCount(), 1u);
  EXPECT_EQ(ui.host.Notices()[0].caption, "Runder");
  EXPECT_EQ(ui.host.Notices()[0].text, "2");
  EXPECT_EQ(rec.LoopDelay, 2);
}

TEST_F(TComTest, ReportOpenFailureWaitsFiveSeconds) {
  Open("Kode=ASCII\n");
  int64_t before = clock.TickMs();
  d->ReportOpenFailure(false, "COM9");
  EXPECT_EQ(model.Cell(kColStatus, 1), "Kan ikke \xE5pne COM9");
  EXPECT_EQ(clock.TickMs() - before, 5000);
}

TEST_F(TComTest, UnpluggedAdapterIsReportedAndEndsTheDriverOnlyWhenConfigured) {
  for (bool terminate : {false, true}) {
    SCOPED_TRACE(terminate);
    Open(std::string("Kode=ASCII\n") + (terminate ? "TerminateOnError=True\n" : ""));
    ours->FailWith(EIO);
    int64_t before = clock.TickMs();
    bool ok = true;
    char ch = 0;
    d->ReadChar(rec, true, ok, ch);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Melding().rfind("5: ", 0), 0u) << Melding();
    EXPECT_EQ(d->Terminated(), terminate);
    EXPECT_EQ(clock.TickMs() - before, terminate ? 0 : 1000) << "a second before the next try";
    ours->FailWith(0);
    Feed("A");
    d->ReadChar(rec, true, ok, ch);
    EXPECT_TRUE(ok && ch == 'A') << "the line works again once the device is back";
  }
}

}  // namespace
}  // namespace zova
