// The station's pure LSV2 layer against cncsim's LSV2 control: the two ends
// are written apart (the control never calls the station's framer), so
// these runs show that they agree on the wire. The loop below does what a
// driver does with the step machines: read as a step says, write what it
// says.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "e2e/support/station_fixture.h"
#include "protocols/lsv2/lsv2_blocks.h"
#include "protocols/lsv2/lsv2_link.h"
#include "protocols/lsv2/lsv2_names.h"
#include "protocols/lsv2/lsv2_reports.h"
#include "protocols/lsv2/lsv2_requests.h"
#include "protocols/lsv2/lsv2_telegrams.h"

namespace zova::test {
namespace {

using namespace zova::lsv2;

class Lsv2Link : public StationFixture {
 protected:
  void Open() {
    fd = ::open(Link(1).c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
  }
  void TearDown() override {
    if (fd >= 0) ::close(fd);
  }
  // One read as the mode says; false when nothing came.
  bool Read(ReadMode mode, char& ch) {
    const int wait = mode == ReadMode::kPoll ? 0 : mode == ReadMode::kSingle ? 300 : 5000;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, wait) <= 0) return false;
    return ::read(fd, &ch, 1) == 1;
  }
  void Write(const std::string& bytes) {
    if (bytes.empty()) return;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }

  // LsvReceive.
  bool Receive(bool enqSeen, std::string& telegram) {
    Receiver r(enqSeen);
    for (;;) {
      char ch = 0;
      const Receiver::Step s = Read(r.NextRead(), ch) ? r.OnChar(ch) : r.OnNothing();
      Write(s.write);
      markers += s.marker;
      if (s.done) {
        telegram = r.Telegram();
        return s.ok;
      }
    }
  }
  // TakeCollisionTelegram.
  void TakeCollision() {
    Write(std::string(kAck0));
    std::string t;
    if (Receive(true, t) && QueueReport(reports, t) == QueueResult::kNotReport) dropped += t;
  }
  // LsvSend: LsvConnect, then LsvSendFrame.
  bool Send(const std::string& telegram) {
    Connect c;
    Connect::Step s = c.Begin();
    for (;;) {
      Write(s.write);
      if (s.done) break;
      if (s.collision) {
        TakeCollision();
        s = c.AfterCollision();
        continue;
      }
      char ch = 0;
      s = Read(s.read, ch) ? c.OnChar(ch) : c.OnNothing();
    }
    if (!s.ok) return false;
    const Frames frames = EncodeFrame(telegram);
    if (!frames.Ok()) return false;
    FrameSender f(frames.frames[0]);
    FrameSender::Step fs = f.Begin();
    for (;;) {
      Write(fs.write);
      if (fs.done) return fs.ok;
      char ch = 0;
      fs = Read(fs.read, ch) ? f.OnChar(ch) : f.OnNothing();
    }
  }
  // ReceiveAnswer: reports are queued, the first other telegram returned.
  std::string Answer() {
    std::string t;
    while (Receive(false, t) && QueueReport(reports, t) != QueueResult::kNotReport) {
    }
    return t;
  }
  // ReceiveAnswerWaiting.
  std::string AnswerWaiting() {
    AnswerWait wait;
    for (;;) {
      std::string t = Answer();
      const AnswerWait::Step s = wait.After(!t.empty(), t);
      waits += s.showWaiting;
      if (!s.again) return t;
    }
  }
  std::string Ask(const std::string& telegram) { return Send(telegram) ? Answer() : "(not sent)"; }

  int fd = -1;
  ReportQueue reports;
  std::string markers, dropped;
  int waits = 0;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(Lsv2Link, TheStationsSendDialogueReachesTheControl) {
  const std::string got = dir / "got.nc";
  auto control = Control(
      1, {"wait-open", "lsv2-receive " + got + " --wait 2 --wait-ms 50 --timeout 30000"}, "lsv2");
  Open();
  const std::string name = NcProgramName("/cnc/M1/1234.NC", 20);
  EXPECT_EQ(Ask(std::string(kReadStatus)), kTestStatus);
  EXPECT_EQ(Ask(std::string(kAutoStatus)), kTestStatus);
  EXPECT_EQ(Ask(ClearRequest(name)), kAnswerReady);
  EXPECT_EQ(Ask(ClearProgram(name, "")), kAnswerOk);
  ASSERT_TRUE(Send(std::string(kFinished)));
  EXPECT_EQ(Ask(ReadyRequest(name, "\r\n")), kAnswerReady);

  std::vector<std::string> lines;
  std::string program;
  for (int i = 0; i < 40; ++i) {
    lines.push_back("N" + std::to_string(i * 10) + " G01 X" + std::to_string(i));
    program += lines.back() + "\r\n";
  }
  BlockReader reader(60);
  size_t next = 0;
  auto source = [&](std::string& line) {
    if (next >= lines.size()) return false;
    line = lines[next++];
    return true;
  };
  for (bool more = true; more;) {
    const BlockReader::Result block = reader.Read(source);
    ASSERT_TRUE(block.ok);
    ASSERT_TRUE(Send(DataTelegram("PP", block.block)));
    ASSERT_EQ(AnswerWaiting(), kAnswerNext);
    more = block.more;
  }
  ASSERT_TRUE(Send(std::string(kFinished)));
  EXPECT_EQ(control->Wait(20000), 0) << control->Stderr();
  EXPECT_EQ(ReadAll(got), program);
  EXPECT_EQ(waits, 2) << "the control's T WA answers were waited out";
}

TEST_F(Lsv2Link, ACollisionTakesTheControlsReportFirst) {
  auto control = Control(
      1, {"wait-open", "lsv2-collide \"R AL I1001\" --timeout 30000", "lsv2-expect \"T ST  \""},
      "lsv2");
  Open();
  ASSERT_TRUE(Send(std::string(kReadStatus)));
  EXPECT_EQ(control->Wait(20000), 0) << control->Stderr();
  EXPECT_EQ(reports.Pop(), "R AL I1001") << "the report was queued";
  EXPECT_EQ(dropped, "");
}

TEST_F(Lsv2Link, ACorruptBlockIsRefusedAndComesAgain) {
  auto control = Control(1,
                         {"wait-open", "lsv2-send \"R ST I0001\" --corrupt 1 --timeout 30000",
                          "lsv2-send \"R PPN10 G00[CR][LF]N20 X1[CR][LF]N30 M30\" --block 12"},
                         "lsv2");
  Open();
  std::string t;
  ASSERT_TRUE(Receive(false, t));
  EXPECT_EQ(t, "R ST I0001");
  EXPECT_EQ(markers.substr(0, 4), "BCC=") << "the refused block was logged";
  ASSERT_TRUE(Receive(false, t));
  EXPECT_EQ(t, "R PPN10 G00\r\nN20 X1\r\nN30 M30") << "blocks joined from their fifth character";
  EXPECT_EQ(control->Wait(20000), 0) << control->Stderr();
}

}  // namespace
}  // namespace zova::test
