#include "serial/device/loopback_device.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "serial/device/uart_timing.h"

namespace zova {

struct LoopbackState {
  struct Side {
    std::deque<uint8_t> input;
    LineSettings settings;
    bool dtr = true, rts = true, ring = false;
    bool closed = false;
    bool outputStopped = false;  // by the peer's XOFF
    bool sentXoff = false;       // our XonXoffIn asked the peer to stop
    int failErr = 0;
    LineErrorCounts errors;
    bool configured = false;  // the format of this end is known
  };
  std::string name;
  size_t capacity;
  std::mutex mutex;
  std::condition_variable changed;
  Side side[2];

  // A received character into To's input, marked as the kernel marks it
  // when asked to.
  static void PushReceived(Side& to, uint8_t b, bool faulty) {
    if (to.settings.markErrors && faulty) {
      to.input.insert(to.input.end(), {0xFF, 0x00, b});
    } else {
      to.input.push_back(b);
      if (to.settings.markErrors && b == 0xFF) to.input.push_back(0xFF);
    }
  }

  // Two ends in different formats: the receiver's UART makes what it can
  // of the sender's bits. Ends never configured pass bytes as they are.
  bool Mismatched(int from) const {
    const Side& w = side[from];
    const Side& r = side[1 - from];
    return w.configured && r.configured && !(FormatOf(w.settings) == FormatOf(r.settings));
  }

  // Bytes written by end From as the other end's UART receives them. Caller
  // holds mutex.
  void DeliverGarbled(int from, std::string_view bytes) {
    Side& to = side[1 - from];
    if (to.closed) return;
    for (const UartChar& c :
         ReceiveAcross(bytes, FormatOf(side[from].settings), FormatOf(to.settings))) {
      if (c.framingError) ++to.errors.frame;
      if (c.parityError) ++to.errors.parity;
      PushReceived(to, c.value, c.framingError || c.parityError);
    }
    changed.notify_all();
  }

  // Delivers B, written by end From, to the other end. Caller holds mutex.
  void Deliver(int from, uint8_t b) {
    Side& to = side[1 - from];
    // The receiving end's driver never sees flow bytes meant for its kernel.
    if (to.settings.xonXoffOut && b == to.settings.xoffChar) {
      to.outputStopped = true;
    } else if (to.settings.xonXoffOut && b == to.settings.xonChar) {
      to.outputStopped = false;
    } else if (!to.closed) {
      PushReceived(to, b, false);
      if (to.settings.xonXoffIn && !to.sentXoff && to.input.size() > capacity * 3 / 4) {
        to.sentXoff = true;
        Deliver(1 - from, to.settings.xoffChar);
      }
    }
    changed.notify_all();
  }

  bool MayWrite(int from) const {
    const Side& w = side[from];
    const Side& peer = side[1 - from];
    if (w.settings.xonXoffOut && w.outputStopped) return false;
    if (w.settings.rtsCts && !peer.rts) return false;
    if (w.settings.dtrDsr && !peer.dtr) return false;
    return peer.input.size() < capacity;
  }
};

LoopbackPair::LoopbackPair(std::string name, size_t capacity) {
  auto s = std::make_shared<LoopbackState>();
  s->name = std::move(name);
  s->capacity = capacity < 4 ? 4 : capacity;
  a.reset(new LoopbackDevice(s, 0));
  b.reset(new LoopbackDevice(s, 1));
}

LoopbackDevice::~LoopbackDevice() {
  Close();
}

std::string LoopbackDevice::Name() const {
  return state_->name + (side_ == 0 ? ":a" : ":b");
}

bool LoopbackDevice::Configure(const LineSettings& settings, int& err) {
  std::lock_guard lock(state_->mutex);
  auto& me = state_->side[side_];
  if (me.failErr) {
    err = me.failErr;
    return false;
  }
  me.settings = settings;
  me.configured = true;
  if (!settings.xonXoffOut) me.outputStopped = false;
  stripNul_ = settings.stripNul;
  state_->changed.notify_all();
  err = 0;
  return true;
}

IoResult LoopbackDevice::ReadSome(uint8_t* buf, size_t max, int timeoutMs) {
  std::unique_lock lock(state_->mutex);
  auto& me = state_->side[side_];
  auto& peer = state_->side[1 - side_];
  IoResult r;
  auto ready = [&] { return me.failErr || !me.input.empty() || peer.closed || me.closed; };
  state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs), ready);
  if (me.failErr) {
    r.err = me.failErr;
    return r;
  }
  if (me.input.empty()) {
    if (peer.closed || me.closed)
      r.hangup = true;
    else
      r.timedOut = true;
    return r;
  }
  while (r.count < max && !me.input.empty()) {
    buf[r.count++] = me.input.front();
    me.input.pop_front();
  }
  if (me.sentXoff && me.input.size() < state_->capacity / 4) {
    me.sentXoff = false;
    state_->Deliver(side_, me.settings.xonChar);
  }
  state_->changed.notify_all();
  return r;
}

IoResult LoopbackDevice::Write(const uint8_t* data, size_t len, int timeoutMs) {
  std::unique_lock lock(state_->mutex);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  auto& me = state_->side[side_];
  auto& peer = state_->side[1 - side_];
  IoResult r;
  if (state_->Mismatched(side_) && !me.failErr && !peer.closed && !me.closed) {
    state_->DeliverGarbled(side_, std::string_view(reinterpret_cast<const char*>(data), len));
    r.count = len;
    return r;
  }
  while (r.count < len) {
    if (me.failErr) {
      r.err = me.failErr;
      return r;
    }
    if (peer.closed || me.closed) {
      r.hangup = true;
      return r;
    }
    if (state_->MayWrite(side_)) {
      state_->Deliver(side_, data[r.count++]);
      continue;
    }
    if (state_->changed.wait_until(lock, deadline) == std::cv_status::timeout &&
        !state_->MayWrite(side_)) {
      r.timedOut = true;
      return r;
    }
  }
  return r;
}

bool LoopbackDevice::PurgeDevice(bool rx, bool) {
  std::lock_guard lock(state_->mutex);
  if (rx) state_->side[side_].input.clear();
  state_->changed.notify_all();
  return true;
}

std::optional<ModemStatus> LoopbackDevice::GetModemStatus() {
  std::lock_guard lock(state_->mutex);
  const auto& me = state_->side[side_];
  const auto& peer = state_->side[1 - side_];
  ModemStatus m;
  m.cts = !peer.closed && peer.rts;
  m.dsr = !peer.closed && peer.dtr;
  m.dcd = m.dsr;
  m.ring = me.ring;
  return m;
}

bool LoopbackDevice::SetDtr(bool on) {
  std::lock_guard lock(state_->mutex);
  state_->side[side_].dtr = on;
  state_->changed.notify_all();
  return true;
}

bool LoopbackDevice::SetRts(bool on) {
  std::lock_guard lock(state_->mutex);
  state_->side[side_].rts = on;
  state_->changed.notify_all();
  return true;
}

bool LoopbackDevice::SetBreak(bool on) {
  if (!on) return true;
  std::lock_guard lock(state_->mutex);
  auto& peer = state_->side[1 - side_];
  if (peer.closed) return true;
  // A break reads as a NUL on a line without BRKINT.
  peer.errors.brk++;
  peer.input.push_back(0);
  state_->changed.notify_all();
  return true;
}

bool LoopbackDevice::ResumeOutput() {
  std::lock_guard lock(state_->mutex);
  state_->side[side_].outputStopped = false;
  state_->changed.notify_all();
  return true;
}

std::optional<LineErrorCounts> LoopbackDevice::GetLineErrors() {
  std::lock_guard lock(state_->mutex);
  return state_->side[side_].errors;
}

void LoopbackDevice::InjectLineError(LineError e) {
  std::lock_guard lock(state_->mutex);
  auto& c = state_->side[side_].errors;
  switch (e) {
    case LineError::Break:
      c.brk++;
      break;
    case LineError::Frame:
      c.frame++;
      break;
    case LineError::Overrun:
      c.overrun++;
      break;
    case LineError::RxOverflow:
      c.rxOverflow++;
      break;
    case LineError::Parity:
      c.parity++;
      break;
    case LineError::Io:
      c.io++;
      break;
  }
}

void LoopbackDevice::InjectParityByte(uint8_t b) {
  std::lock_guard lock(state_->mutex);
  auto& me = state_->side[side_];
  me.errors.parity++;
  LoopbackState::PushReceived(me, b, true);
  state_->changed.notify_all();
}

void LoopbackDevice::SetRing(bool on) {
  std::lock_guard lock(state_->mutex);
  state_->side[side_].ring = on;
}

void LoopbackDevice::FailWith(int err) {
  std::lock_guard lock(state_->mutex);
  state_->side[side_].failErr = err;
  state_->changed.notify_all();
}

void LoopbackDevice::Close() {
  std::lock_guard lock(state_->mutex);
  state_->side[side_].closed = true;
  state_->changed.notify_all();
}

bool LoopbackDevice::OutputStopped() const {
  std::lock_guard lock(state_->mutex);
  return state_->side[side_].outputStopped;
}

LineSettings LoopbackDevice::Settings() const {
  std::lock_guard lock(state_->mutex);
  return state_->side[side_].settings;
}

namespace {
std::mutex parkMutex;
std::map<std::string, std::unique_ptr<LoopbackDevice>>& Parked() {
  static std::map<std::string, std::unique_ptr<LoopbackDevice>> parked;
  return parked;
}
}  // namespace

void ParkLoopbackEnd(const std::string& name, std::unique_ptr<LoopbackDevice> end) {
  std::lock_guard lock(parkMutex);
  Parked()[name] = std::move(end);
}

std::unique_ptr<LoopbackDevice> TakeLoopbackEnd(const std::string& name) {
  std::lock_guard lock(parkMutex);
  auto it = Parked().find(name);
  if (it == Parked().end()) return nullptr;
  auto end = std::move(it->second);
  Parked().erase(it);
  return end;
}

}  // namespace zova
