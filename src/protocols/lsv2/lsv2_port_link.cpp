#include "protocols/lsv2/lsv2_port_link.h"

#include "core/visual.h"

namespace zova::lsv2 {

namespace {

// Acknowledgement waits last three TimeMultiplier reads, whatever the port
// section says.
constexpr int kAckReads = 3;

}  // namespace

bool PortLink::Read(ReadMode mode, char& ch) {
  bool ok = false;
  switch (mode) {
    case ReadMode::kSingle:
      driver_.ReadChar(com_, true, ok, ch);
      break;
    case ReadMode::kFull:
      driver_.ReadChar(com_, false, ok, ch);
      break;
    case ReadMode::kPoll:
      driver_.PollChar(com_, ok, ch);
      break;
  }
  return ok;
}

bool PortLink::Write(std::string_view bytes) {
  if (bytes.empty()) return true;
  bool ok = false;
  size_t sent = 0;
  driver_.WriteChars(com_, bytes, false, ok, sent);
  return ok && sent == bytes.size();
}

bool PortLink::Connect() {
  com_.TimeOut = kAckReads;
  lsv2::Connect connect;
  lsv2::Connect::Step step = connect.Begin();
  for (;;) {
    if (!Write(step.write)) return false;
    if (step.done) return step.ok;
    if (step.collision) {
      onCollision_();
      step = connect.AfterCollision();
      continue;
    }
    if (driver_.Terminated()) return false;
    char ch = 0;
    step = Read(step.read, ch) ? connect.OnChar(ch) : connect.OnNothing();
  }
}

bool PortLink::SendFrame(const std::string& frame) {
  com_.TimeOut = kAckReads;
  FrameSender sender(frame);
  FrameSender::Step step = sender.Begin();
  for (;;) {
    if (!Write(step.write)) return false;
    if (step.done) return step.ok;
    if (driver_.Terminated()) return false;
    char ch = 0;
    step = Read(step.read, ch) ? sender.OnChar(ch) : sender.OnNothing();
  }
}

bool PortLink::Send(std::string_view telegram) {
  const Frames frame = EncodeFrame(telegram);
  if (!frame.Ok()) {
    driver_.LogMarker(true, "Kan ikke rammes inn: " + StrToVisual(telegram));
    return false;
  }
  const bool ok = Connect() && SendFrame(frame.frames.front());
  driver_.LogNewLine();
  return ok;
}

bool PortLink::Receive(std::string& telegram, bool enqSeen, Receiver::Notice& notice) {
  Receiver receiver(enqSeen, limits_);
  bool ok = false;
  for (;;) {
    char ch = 0;
    const Receiver::Step step =
        Read(receiver.NextRead(), ch) ? receiver.OnChar(ch) : receiver.OnNothing();
    if (!step.marker.empty()) driver_.LogMarker(false, step.marker);
    Write(step.write);
    if (step.unread) TCom::UnreadChar(com_, step.unreadChar);
    if (step.done) {
      ok = step.ok;
      break;
    }
    if (driver_.Terminated()) break;
  }
  telegram = ok ? receiver.Telegram() : std::string();
  driver_.LogNewLine();
  notice = receiver.RetryNotice();
  if (!notice.marker.empty()) driver_.LogMarker(true, notice.marker);
  return ok;
}

}  // namespace zova::lsv2
