#pragma once
// Telnet (RFC 854) as the network serial servers speak it: bytes in, data and
// events out, no I/O. The decoder keeps its state between calls, so a command
// split across two reads (an IAC at the end of one, its verb at the start of
// the next) decodes as though it came in one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zova::telnet {

constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;

constexpr uint8_t kOptBinary = 0;
constexpr uint8_t kOptSuppressGoAhead = 3;
constexpr uint8_t kOptComPort = 44;

struct Event {
  enum class Kind : uint8_t { Will, Wont, Do, Dont, Subnegotiation };
  Kind kind = Kind::Will;
  uint8_t option = 0;
  // Subnegotiation only: the bytes between the option and IAC SE, undoubled.
  std::vector<uint8_t> payload;
  bool operator==(const Event&) const = default;
};

class Decoder {
 public:
  // Longest subnegotiation kept; a longer one is dropped whole (the ones this
  // station reads are at most five bytes).
  static constexpr size_t kMaxSubnegotiation = 64;

  // Decodes N bytes: the data goes to Out, which may be In itself (the data
  // never runs ahead of its input), the events are appended. Returns the
  // number of data bytes. Commands other than negotiations and
  // subnegotiations (NOP, GA, AYT, ...) carry nothing for a serial line and
  // are dropped.
  size_t Decode(const uint8_t* in, size_t n, uint8_t* out, std::vector<Event>& events);

 private:
  enum class State : uint8_t { Data, Iac, Verb, SbOption, SbData, SbIac };
  void Command(uint8_t b);

  State state_ = State::Data;
  uint8_t verb_ = 0;
  uint8_t sbOption_ = 0;
  bool sbOverflow_ = false;
  std::vector<uint8_t> sb_;
};

// Appends the data with every 0xFF doubled.
void AppendEscaped(const uint8_t* data, size_t n, std::vector<uint8_t>& out);

// How many data bytes the first Sent bytes of their escaped form carry. When
// Sent ends between the two halves of a doubled 0xFF, that byte counts as
// sent and SplitIac is set: its second half is owed before anything else.
size_t DataBytesSent(const uint8_t* data, size_t n, size_t sent, bool& splitIac);

// The option negotiation of one connection (RFC 1143's states without the
// queue): a request is answered only when it changes an option's state, so
// two sides never loop, and options this station does not use are refused.
class Options {
 public:
  // Opens a connection: WILL BINARY, DO BINARY, WILL COM-PORT-OPTION.
  void Offer(std::vector<uint8_t>& out);
  // Appends the answer due to a negotiation from the other side, if any.
  void Answer(const Event& e, std::vector<uint8_t>& out);
  bool Local(uint8_t option) const { return us_[option] == Yes; }
  bool Remote(uint8_t option) const { return him_[option] == Yes; }
  // The other side refused an option we offered (or withdrew it).
  bool LocalRefused(uint8_t option) const { return us_[option] == No; }

 private:
  enum State : uint8_t { No, WantYes, Yes };
  std::array<State, 256> us_{}, him_{};
};

}  // namespace zova::telnet
