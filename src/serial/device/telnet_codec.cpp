#include "serial/device/telnet_codec.h"

#include <algorithm>
#include <cstring>

namespace zova::telnet {

namespace {

Event::Kind VerbKind(uint8_t verb) {
  switch (verb) {
    case kWill:
      return Event::Kind::Will;
    case kWont:
      return Event::Kind::Wont;
    case kDo:
      return Event::Kind::Do;
    default:
      return Event::Kind::Dont;
  }
}

}  // namespace

void Decoder::Command(uint8_t b) {
  if (b == kWill || b == kWont || b == kDo || b == kDont) {
    verb_ = b;
    state_ = State::Verb;
  } else if (b == kSb) {
    state_ = State::SbOption;
  } else {
    state_ = State::Data;
  }
}

size_t Decoder::Decode(const uint8_t* in, size_t n, uint8_t* out, std::vector<Event>& events) {
  size_t o = 0, i = 0;
  while (i < n) {
    if (state_ == State::Data) {
      // Runs of plain data are the bulk of a transfer: move them whole.
      const void* hit = std::memchr(in + i, kIac, n - i);
      size_t run = hit ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - (in + i)) : n - i;
      std::memmove(out + o, in + i, run);
      o += run;
      i += run;
      if (i < n) {
        state_ = State::Iac;
        ++i;
      }
      continue;
    }
    uint8_t b = in[i++];
    switch (state_) {
      case State::Iac:
        if (b == kIac) {
          out[o++] = kIac;
          state_ = State::Data;
        } else {
          Command(b);
        }
        break;
      case State::Verb:
        events.push_back(Event{VerbKind(verb_), b, {}});
        state_ = State::Data;
        break;
      case State::SbOption:
        sbOption_ = b;
        sb_.clear();
        sbOverflow_ = false;
        state_ = State::SbData;
        break;
      case State::SbData:
        if (b == kIac) {
          state_ = State::SbIac;
        } else if (sb_.size() < kMaxSubnegotiation) {
          sb_.push_back(b);
        } else {
          sbOverflow_ = true;
        }
        break;
      case State::SbIac:
        if (b == kIac) {
          if (sb_.size() < kMaxSubnegotiation)
            sb_.push_back(kIac);
          else
            sbOverflow_ = true;
          state_ = State::SbData;
        } else if (b == kSe) {
          if (!sbOverflow_) events.push_back(Event{Event::Kind::Subnegotiation, sbOption_, sb_});
          state_ = State::Data;
        } else {
          // An unterminated subnegotiation: RFC 854 leaves it undefined, so
          // drop it and take the byte as the command it names.
          Command(b);
        }
        break;
      case State::Data:
        break;
    }
  }
  return o;
}

void AppendEscaped(const uint8_t* data, size_t n, std::vector<uint8_t>& out) {
  // 0xFF is rare in a program: the runs between them go in whole, which a
  // byte-wise loop made the largest cost of a send.
  out.reserve(out.size() + n + 8);
  const uint8_t* end = data + n;
  while (data < end) {
    const void* hit = std::memchr(data, kIac, static_cast<size_t>(end - data));
    const uint8_t* next = hit ? static_cast<const uint8_t*>(hit) + 1 : end;
    out.insert(out.end(), data, next);
    if (hit) out.push_back(kIac);
    data = next;
  }
}

size_t DataBytesSent(const uint8_t* data, size_t n, size_t sent, bool& splitIac) {
  splitIac = false;
  size_t covered = 0, i = 0;
  while (i < n && covered < sent) {
    const void* hit = std::memchr(data + i, kIac, n - i);
    const size_t run =
        hit ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - data) - i : n - i;
    const size_t take = std::min(run, sent - covered);
    i += take;
    covered += take;
    if (take < run || i == n || covered == sent) break;
    if (covered + 2 > sent) splitIac = true;
    covered += 2;
    ++i;
  }
  return i;
}

void Options::Offer(std::vector<uint8_t>& out) {
  us_.fill(No);
  him_.fill(No);
  us_[kOptBinary] = WantYes;
  him_[kOptBinary] = WantYes;
  us_[kOptComPort] = WantYes;
  const uint8_t offer[] = {kIac,       kWill, kOptBinary, kIac,       kDo,
                           kOptBinary, kIac,  kWill,      kOptComPort};
  out.insert(out.end(), offer, offer + sizeof offer);
}

namespace {

// Binary both ways carries every byte unchanged. Servers offer to suppress
// go-ahead first and agreeing costs nothing. The COM-PORT-OPTION is the
// client's to enable, never the server's.
bool AcceptLocal(uint8_t option) {
  return option == kOptBinary || option == kOptSuppressGoAhead || option == kOptComPort;
}

bool AcceptRemote(uint8_t option) {
  return option == kOptBinary || option == kOptSuppressGoAhead;
}

}  // namespace

void Options::Answer(const Event& e, std::vector<uint8_t>& out) {
  using Kind = Event::Kind;
  if (e.kind == Kind::Subnegotiation) return;
  bool local = e.kind == Kind::Do || e.kind == Kind::Dont;
  bool enable = e.kind == Kind::Do || e.kind == Kind::Will;
  State& q = local ? us_[e.option] : him_[e.option];
  uint8_t reply = 0;
  if (enable) {
    if (q == WantYes) {
      q = Yes;
    } else if (q == No) {
      bool accept = local ? AcceptLocal(e.option) : AcceptRemote(e.option);
      if (accept) q = Yes;
      reply = local ? (accept ? kWill : kWont) : (accept ? kDo : kDont);
    }
  } else if (q != No) {
    if (q == Yes) reply = local ? kWont : kDont;
    q = No;
  }
  if (reply) out.insert(out.end(), {kIac, reply, e.option});
}

}  // namespace zova::telnet
