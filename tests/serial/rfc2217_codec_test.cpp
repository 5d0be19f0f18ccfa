// Telnet decoding, escaping and negotiation, and the COM-PORT-OPTION
// commands and reports, against byte sequences written out from RFC 854 and
// RFC 2217.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/device/rfc2217_codec.h"
#include "serial/device/telnet_codec.h"

namespace zova {
namespace {

using Bytes = std::vector<uint8_t>;
using telnet::Event;
using Kind = telnet::Event::Kind;

Bytes B(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(TelnetDecoder, DataAndEventsWhateverTheSplit) {
  struct Case {
    const char* what;
    std::vector<Bytes> chunks;
    Bytes data;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"plain", {B("AB")}, B("AB"), {}},
      {"doubled IAC is one data byte", {{'A', 0xFF, 0xFF, 'B'}}, {'A', 0xFF, 'B'}, {}},
      {"doubled IAC split across reads", {{'A', 0xFF}, {0xFF, 'B'}}, {'A', 0xFF, 'B'}, {}},
      {"negotiation in three reads", {{0xFF}, {0xFB}, {0x00}}, {}, {{Kind::Will, 0, {}}}},
      {"a server's opening",
       {{0xFF, 0xFB, 0x03, 0xFF, 0xFD, 0x03, 0xFF, 0xFE, 0x01, 0xFF, 0xFC, 0x2C}},
       {},
       {{Kind::Will, 3, {}}, {Kind::Do, 3, {}}, {Kind::Dont, 1, {}}, {Kind::Wont, 44, {}}}},
      {"baud answer between data",
       {{'x', 0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0, 'y'}},
       B("xy"),
       {{Kind::Subnegotiation, 44, {0x65, 0x00, 0x00, 0x25, 0x80}}}},
      {"doubled IAC inside a subnegotiation, split",
       {{0xFF, 0xFA, 0x2C, 0x6B, 0xFF}, {0xFF, 0xFF}, {0xF0, 'X'}},
       B("X"),
       {{Kind::Subnegotiation, 44, {0x6B, 0xFF}}}},
      {"NOP, GA, AYT and a stray SE carry nothing",
       {{'A', 0xFF, 0xF1, 'B', 0xFF, 0xF9, 'C', 0xFF, 0xF6, 0xFF, 0xF0, 'D'}},
       B("ABCD"),
       {}},
      {"unterminated subnegotiation gives way to the next command",
       {{0xFF, 0xFA, 0x2C, 0x65, 0x01, 0xFF, 0xFB, 0x00, 'Z'}},
       B("Z"),
       {{Kind::Will, 0, {}}}},
  };
  for (const Case& c : cases) {
    telnet::Decoder d;
    Bytes data;
    std::vector<Event> events;
    for (Bytes chunk : c.chunks) {
      size_t n = d.Decode(chunk.data(), chunk.size(), chunk.data(), events);
      data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
    }
    EXPECT_EQ(data, c.data) << c.what;
    EXPECT_EQ(events, c.events) << c.what;
  }
}

TEST(TelnetDecoder, OverlongSubnegotiationIsDroppedWhole) {
  Bytes in = Cat({{0xFF, 0xFA, 0x2C}, Bytes(1000, 0x65), {0xFF, 0xF0}, B("ok")});
  telnet::Decoder d;
  std::vector<Event> events;
  size_t n = d.Decode(in.data(), in.size(), in.data(), events);
  EXPECT_EQ(Bytes(in.begin(), in.begin() + static_cast<ptrdiff_t>(n)), B("ok"));
  EXPECT_TRUE(events.empty());
}

TEST(TelnetEscape, DoublesEveryIacAndCountsWhatWentOut) {
  Bytes out;
  const Bytes data = {0x01, 0xFF, 0x02, 0xFF, 0xFF};
  telnet::AppendEscaped(data.data(), data.size(), out);
  EXPECT_EQ(out, (Bytes{0x01, 0xFF, 0xFF, 0x02, 0xFF, 0xFF, 0xFF, 0xFF}));

  struct Case {
    size_t sent, data;
    bool split;
  };
  const Case cases[] = {{0, 0, false}, {1, 1, false}, {2, 2, true},  {3, 2, false},
                        {4, 3, false}, {5, 4, true},  {6, 4, false}, {8, 5, false}};
  for (const Case& c : cases) {
    bool split = !c.split;
    EXPECT_EQ(telnet::DataBytesSent(data.data(), data.size(), c.sent, split), c.data) << c.sent;
    EXPECT_EQ(split, c.split) << c.sent;
  }
}

// What went out counted one byte at a time, as the definition reads.
size_t DataBytesSentByteWise(const Bytes& data, size_t sent, bool& splitIac) {
  splitIac = false;
  size_t covered = 0, i = 0;
  for (; i < data.size() && covered < sent; ++i) {
    const size_t width = data[i] == 0xFF ? 2 : 1;
    splitIac = covered + width > sent;
    covered += width;
  }
  return i;
}

TEST(TelnetEscape, RunsAndSingleIacsCountAsByteByByteAtEveryCut) {
  // Runs without 0xFF, runs of 0xFF and single ones, at both ends too.
  Bytes data = {0xFF};
  for (int i = 0; i < 300; ++i) data.push_back(i % 7 == 0 || (i > 100 && i < 110) ? 0xFF : 'a');
  data.push_back(0xFF);
  Bytes escaped;
  telnet::AppendEscaped(data.data(), data.size(), escaped);
  Bytes undoubled;
  for (size_t i = 0; i < escaped.size(); ++i) {
    undoubled.push_back(escaped[i]);
    if (escaped[i] == 0xFF) {
      ASSERT_LT(i + 1, escaped.size());
      ASSERT_EQ(escaped[++i], 0xFF) << i;
    }
  }
  EXPECT_EQ(undoubled, data);
  for (size_t sent = 0; sent <= escaped.size() + 2; ++sent) {
    bool split = false, splitWanted = false;
    EXPECT_EQ(telnet::DataBytesSent(data.data(), data.size(), sent, split),
              DataBytesSentByteWise(data, sent, splitWanted))
        << sent;
    EXPECT_EQ(split, splitWanted) << sent;
  }
}

TEST(TelnetOptions, AnswersOnlyChangesAndRefusesWhatItDoesNotUse) {
  telnet::Options o;
  Bytes offer;
  o.Offer(offer);
  EXPECT_EQ(offer, (Bytes{0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x2C}));
  // One dialogue: each line is what the server says and what we answer.
  struct Step {
    Kind kind;
    uint8_t option;
    Bytes reply;
  };
  const Step dialogue[] = {
      {Kind::Do, 0, {}},                    // acknowledges our WILL BINARY
      {Kind::Will, 0, {}},                  // acknowledges our DO BINARY
      {Kind::Do, 44, {}},                   // takes the COM-PORT-OPTION
      {Kind::Will, 3, {0xFF, 0xFD, 0x03}},  // suppress go-ahead: agreed
      {Kind::Will, 3, {}},                  // already on: no loop
      {Kind::Do, 3, {0xFF, 0xFB, 0x03}},
      {Kind::Will, 1, {0xFF, 0xFE, 0x01}},  // echo: refused
      {Kind::Do, 1, {0xFF, 0xFC, 0x01}},
      {Kind::Dont, 1, {}},   // off already
      {Kind::Wont, 24, {}},  // off already
      {Kind::Do, 24, {0xFF, 0xFC, 0x18}},
      {Kind::Dont, 0, {0xFF, 0xFC, 0x00}},  // binary withdrawn
      {Kind::Wont, 0, {0xFF, 0xFE, 0x00}},
  };
  for (const Step& s : dialogue) {
    Bytes reply;
    o.Answer(Event{s.kind, s.option, {}}, reply);
    EXPECT_EQ(reply, s.reply) << static_cast<int>(s.kind) << " " << int(s.option);
  }
  EXPECT_TRUE(o.Local(44));
  EXPECT_FALSE(o.Local(0));
  EXPECT_FALSE(o.Remote(0));
  EXPECT_TRUE(o.Remote(3));

  telnet::Options refused;
  offer.clear();
  refused.Offer(offer);
  Bytes reply;
  refused.Answer(Event{Kind::Dont, 44, {}}, reply);
  EXPECT_TRUE(reply.empty()) << "a refusal of our offer needs no answer";
  EXPECT_TRUE(refused.LocalRefused(44));
}

TEST(ComPortCommands, ByteExact) {
  using rfc2217::Control;
  struct Case {
    const char* what;
    void (*append)(Bytes&);
    Bytes want;
  };
  const Case cases[] = {
      {"baud 9600",
       [](Bytes& o) { rfc2217::AppendSetBaudRate(9600, o); },
       {0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0}},
      {"baud 255 doubles its IAC",
       [](Bytes& o) { rfc2217::AppendSetBaudRate(255, o); },
       {0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xF0}},
      {"parity none",
       [](Bytes& o) { rfc2217::AppendSetParity(Parity::None, o); },
       {0xFF, 0xFA, 0x2C, 0x03, 0x01, 0xFF, 0xF0}},
      {"parity odd",
       [](Bytes& o) { rfc2217::AppendSetParity(Parity::Odd, o); },
       {0xFF, 0xFA, 0x2C, 0x03, 0x02, 0xFF, 0xF0}},
      {"DTR on",
       [](Bytes& o) { rfc2217::AppendSetControl(Control::DtrOn, o); },
       {0xFF, 0xFA, 0x2C, 0x05, 0x08, 0xFF, 0xF0}},
      {"RTS off",
       [](Bytes& o) { rfc2217::AppendSetControl(Control::RtsOff, o); },
       {0xFF, 0xFA, 0x2C, 0x05, 0x0C, 0xFF, 0xF0}},
      {"break on",
       [](Bytes& o) { rfc2217::AppendSetControl(Control::BreakOn, o); },
       {0xFF, 0xFA, 0x2C, 0x05, 0x05, 0xFF, 0xF0}},
      {"purge received",
       [](Bytes& o) { rfc2217::AppendPurgeData(true, false, o); },
       {0xFF, 0xFA, 0x2C, 0x0C, 0x01, 0xFF, 0xF0}},
      {"purge both",
       [](Bytes& o) { rfc2217::AppendPurgeData(true, true, o); },
       {0xFF, 0xFA, 0x2C, 0x0C, 0x03, 0xFF, 0xF0}},
      {"modem-state mask",
       [](Bytes& o) { rfc2217::AppendSetMask(rfc2217::Command::SetModemStateMask, 0xF0, o); },
       {0xFF, 0xFA, 0x2C, 0x0B, 0xF0, 0xFF, 0xF0}},
      {"line-state mask 0xFF",
       [](Bytes& o) { rfc2217::AppendSetMask(rfc2217::Command::SetLineStateMask, 0xFF, o); },
       {0xFF, 0xFA, 0x2C, 0x0A, 0xFF, 0xFF, 0xFF, 0xF0}},
  };
  for (const Case& c : cases) {
    Bytes out;
    c.append(out);
    EXPECT_EQ(out, c.want) << c.what;
  }
}

TEST(ComPortCommands, LineSettingsSendEverySettingAndOneFlowModePerDirection) {
  struct Case {
    const char* what;
    LineSettings s;
    uint8_t outFlow, inFlow;
  };
  auto make = [](bool xonOut, bool xonIn, bool rts) {
    LineSettings s;
    s.baud = 4800;
    s.dataBits = 7;
    s.parity = Parity::Even;
    s.stopBits = 2;
    s.xonXoffOut = xonOut;
    s.xonXoffIn = xonIn;
    s.rtsCts = rts;
    return s;
  };
  const Case cases[] = {
      {"none", make(false, false, false), 0x01, 0x0E},
      {"XON/XOFF both ways", make(true, true, false), 0x02, 0x0F},
      {"RTS/CTS", make(false, false, true), 0x03, 0x10},
      {"XON/XOFF out wins over RTS/CTS", make(true, false, true), 0x02, 0x10},
  };
  for (const Case& c : cases) {
    Bytes out;
    rfc2217::AppendLineSettings(c.s, out);
    const Bytes want = {
        0xFF, 0xFA, 0x2C, 0x01, 0x00,      0x00, 0x12, 0xC0, 0xFF, 0xF0,  // 4800
        0xFF, 0xFA, 0x2C, 0x02, 0x07,      0xFF, 0xF0,                    // 7 bits
        0xFF, 0xFA, 0x2C, 0x03, 0x03,      0xFF, 0xF0,                    // even
        0xFF, 0xFA, 0x2C, 0x04, 0x02,      0xFF, 0xF0,                    // 2 stop bits
        0xFF, 0xFA, 0x2C, 0x05, c.outFlow, 0xFF, 0xF0, 0xFF, 0xFA, 0x2C, 0x05, c.inFlow, 0xFF, 0xF0,
    };
    EXPECT_EQ(out, want) << c.what;
  }
}

TEST(ComPortReports, ParsedFromTheServersSubnegotiations) {
  using rfc2217::Command;
  using rfc2217::Report;
  struct Case {
    const char* what;
    Event e;
    std::optional<Report> want;
  };
  const Case cases[] = {
      {"baud answer",
       {Kind::Subnegotiation, 44, {0x65, 0x00, 0x01, 0xC2, 0x00}},
       Report{Command::SetBaudRate, 115200}},
      {"modem state",
       {Kind::Subnegotiation, 44, {0x6B, 0xB0}},
       Report{Command::NotifyModemState, 0xB0}},
      {"line state",
       {Kind::Subnegotiation, 44, {0x6A, 0x08}},
       Report{Command::NotifyLineState, 0x08}},
      {"flow suspend has no value",
       {Kind::Subnegotiation, 44, {0x6C}},
       Report{Command::FlowControlSuspend, 0}},
      {"purge answer", {Kind::Subnegotiation, 44, {0x70, 0x03}}, Report{Command::PurgeData, 3}},
      {"value missing", {Kind::Subnegotiation, 44, {0x6A}}, std::nullopt},
      {"baud too short", {Kind::Subnegotiation, 44, {0x65, 0x25, 0x80}}, std::nullopt},
      {"a client's code", {Kind::Subnegotiation, 44, {0x01, 0x00, 0x00, 0x25, 0x80}}, std::nullopt},
      {"signature", {Kind::Subnegotiation, 44, {0x64, 'x'}}, std::nullopt},
      {"past the last code", {Kind::Subnegotiation, 44, {0x71, 0x00}}, std::nullopt},
      {"another option", {Kind::Subnegotiation, 24, {0x6B, 0xB0}}, std::nullopt},
      {"empty", {Kind::Subnegotiation, 44, {}}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(rfc2217::ParseReport(c.e), c.want) << c.what;
}

TEST(ComPortReports, ModemBitsAndLineErrors) {
  ModemStatus m = rfc2217::ModemStatusFrom(0xB0);
  EXPECT_EQ(m, (ModemStatus{.cts = true, .dsr = true, .ring = false, .dcd = true}));
  EXPECT_EQ(rfc2217::ModemStatusFrom(0x4F), (ModemStatus{false, false, true, false}))
      << "the delta bits are no lines";
  LineErrorCounts counts;
  rfc2217::CountLineState(0x1E, counts);
  rfc2217::CountLineState(0x08, counts);
  rfc2217::CountLineState(0xE1, counts);  // data ready, shift registers, timeout
  EXPECT_EQ(counts, (LineErrorCounts{.brk = 1, .frame = 2, .overrun = 1, .parity = 1}));
}

}  // namespace
}  // namespace zova
