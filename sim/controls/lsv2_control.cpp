#include "controls/lsv2_control.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "controls/lsv2_wire.h"
#include "core/visual.h"

namespace zova::sim {

namespace {

using namespace lsv2wire;

// What the control reports for "T ST  " and "M AU  ".
const std::string kStatus = "R ST  1002006200000000000000000000000000000000000000000758";
// Data of a program block the control sends stays below this.
constexpr size_t kDataBlock = 120;
constexpr int kFrameTries = 4;

bool Starts(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

std::string Text(const std::string& arg) {
  return DecodeVisual(arg).bytes;
}

// The name in a telegram from Start up to its terminator.
std::string NameIn(const std::string& telegram, size_t start) {
  std::string name;
  for (size_t i = start; i < telegram.size() && static_cast<unsigned char>(telegram[i]) >= 32; ++i)
    name += telegram[i];
  return name;
}

bool ReadFile(const std::string& path, std::string& data, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::ostringstream s;
  s << in.rdbuf();
  data = s.str();
  return true;
}

bool WriteFile(const std::string& path, const std::string& data, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
  if (!out) error = "cannot write " + path;
  return static_cast<bool>(out);
}

void Pause(long ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

const std::vector<std::string> kLinkOptions{"--timeout", "--nak", "--corrupt", "--block"};

CommandShape Shape(size_t args, std::vector<std::string> values, std::vector<std::string> flags) {
  values.insert(values.end(), kLinkOptions.begin(), kLinkOptions.end());
  return {args, values, flags};
}

}  // namespace

Lsv2Control::Lsv2Control(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"lsv2-expect", Shape(1, {}, {"--prefix"}), true, Bind(&Lsv2Control::Expect)});
  AddCommand({"lsv2-send", Shape(1, {}, {}), true, Bind(&Lsv2Control::Send)});
  AddCommand({"lsv2-collide", Shape(1, {}, {}), true, Bind(&Lsv2Control::Collide)});
  AddCommand({"lsv2-receive",
              Shape(1, {"--wait", "--wait-ms", "--expect-name"}, {"--not-ready", "--keep-memory"}),
              true, Bind(&Lsv2Control::Receive)});
  AddCommand({"lsv2-request", Shape(2, {"--wait", "--wait-ms"}, {"--pt", "--refused"}), true,
              Bind(&Lsv2Control::Request)});
  AddCommand(
      {"lsv2-offer", Shape(2, {"--expect-request"}, {"--pr"}), true, Bind(&Lsv2Control::Offer)});
  AddCommand({"lsv2-test-send", Shape(2, {}, {}), true, Bind(&Lsv2Control::TestSend)});
  AddCommand({"okuma-startup", Shape(0, {}, {}), true, Bind(&Lsv2Control::OkumaStartup)});
  AddCommand({"okuma-list", Shape(4, {}, {}), true, Bind(&Lsv2Control::OkumaList)});
  AddCommand(
      {"okuma-request", Shape(2, {}, {"--refused"}), true, Bind(&Lsv2Control::OkumaRequest)});
  AddCommand({"okuma-offer", Shape(2, {}, {}), true, Bind(&Lsv2Control::OkumaOffer)});
  AddHeidenhainCommands();
}

void Lsv2Control::Note(const std::string& text) const {
  if (Options().verbose) std::cerr << "cncsim: " << text << "\n";
}

bool Lsv2Control::ReadLink(const SimCommand& cmd, Link& link, std::string& error) {
  bool ok = true;
  link.timeout = static_cast<int>(cmd.Num("--timeout", 10000, ok));
  link.nak = cmd.Num("--nak", 0, ok);
  link.corrupt = cmd.Num("--corrupt", 0, ok);
  link.block = cmd.Num("--block", 0, ok);
  if (!ok) error = cmd.name + ": --timeout, --nak, --corrupt and --block take numbers";
  return ok;
}

// ---- the link ----

bool Lsv2Control::ReadBlock(Link& link, std::string& block, std::string& error) {
  block.clear();
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, link.timeout) != ReadStatus::kData) {
      error = "a block broke off after " + StrToVisual(block);
      return false;
    }
    // Late ENQ repeats of the station before the frame are no block.
    if (block.empty() && b != static_cast<uint8_t>(kDle)) continue;
    block += static_cast<char>(b);
    if (block.size() > 2 && (b == kEtx || b == kEtb)) break;
  }
  uint8_t bcc = 0;
  if (ReadByte(bcc, link.timeout) != ReadStatus::kData) {
    error = "no BCC after " + StrToVisual(block);
    return false;
  }
  block += static_cast<char>(bcc);
  return true;
}

bool Lsv2Control::ReadTelegram(Link& link, std::string& telegram, std::string& error) {
  telegram.clear();
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, link.timeout) != ReadStatus::kData) {
      error = "no ENQ from the station";
      return false;
    }
    if (b == kEnq) break;
    Note("skipped " + CharToVisual(b) + " before ENQ");
  }
  if (!WriteBytes(std::string{kDle, '0'})) return false;
  bool first = true;
  int refused = 0;
  for (;;) {
    std::string bytes;
    if (!ReadBlock(link, bytes, error)) return false;
    const ParsedBlock block = ParseBlock(bytes);
    if (!block.valid || link.nak > 0) {
      if (block.valid) --link.nak;
      if (++refused >= kFrameTries) {
        error = "four bad frames: " + StrToVisual(bytes);
        return false;
      }
      Note("NAK for " + StrToVisual(bytes));
      if (!WriteBytes(std::string(1, kNak))) return false;
      continue;
    }
    refused = 0;
    telegram += first ? block.text : block.text.substr(std::min<size_t>(4, block.text.size()));
    first = false;
    if (!WriteBytes(std::string{kDle, '1'})) return false;
    if (block.last) break;
  }
  // The station closes with EOT.
  if (!ExpectByte(static_cast<uint8_t>(kEot), link.timeout, error)) return false;
  Note("got \"" + StrToVisual(telegram) + "\"");
  return true;
}

bool Lsv2Control::AwaitReady(Link& link, std::string& error) {
  bool dle = false;
  for (;;) {
    uint8_t b = 0;
    if (ReadByte(b, link.timeout) != ReadStatus::kData) {
      error = "no DLE \"0\" from the station";
      return false;
    }
    if (dle && b == '0') return true;
    // The station's own ENQ (it wanted to send too): it gives way.
    dle = b == static_cast<uint8_t>(kDle);
  }
}

bool Lsv2Control::SendTelegram(Link& link, const std::string& telegram, std::string& error,
                               bool handshakeDone) {
  if (!handshakeDone) {
    if (!WriteBytes(std::string(1, kEnq))) return false;
    if (!AwaitReady(link, error)) return false;
  }
  const size_t maxText = link.block > 0 ? static_cast<size_t>(link.block) : telegram.size() + 1;
  const std::vector<std::string> texts = BlockTexts(telegram, maxText);
  for (size_t i = 0; i < texts.size(); ++i) {
    bool acked = false;
    for (int tries = 0; tries < kFrameTries && !acked; ++tries) {
      const bool corrupt = link.corrupt > 0;
      if (corrupt) --link.corrupt;
      if (!WriteBytes(Frame(texts[i], i + 1 == texts.size(), corrupt))) return false;
      uint8_t b = 0;
      if (ReadByte(b, link.timeout) != ReadStatus::kData) {
        error = "no acknowledgement of \"" + StrToVisual(texts[i]) + "\"";
        return false;
      }
      if (b == kNak) continue;
      uint8_t digit = 0;
      if (b != kDle || ReadByte(digit, link.timeout) != ReadStatus::kData || digit != '1') {
        error = "\"" + StrToVisual(texts[i]) + "\" answered with " + CharToVisual(b) +
                CharToVisual(digit);
        return false;
      }
      acked = true;
    }
    if (!acked) {
      error = "\"" + StrToVisual(texts[i]) + "\" refused four times";
      return false;
    }
  }
  Note("sent \"" + StrToVisual(telegram) + "\"");
  return WriteBytes(std::string(1, kEot));
}

bool Lsv2Control::ExpectTelegram(Link& link, const std::string& want, std::string& got,
                                 std::string& error) {
  if (!ReadTelegram(link, got, error)) return false;
  if (Starts(got, want)) return true;
  error = "got \"" + StrToVisual(got) + "\", not \"" + StrToVisual(want) + "\"";
  return false;
}

bool Lsv2Control::Ask(Link& link, const std::string& telegram, const std::string& want,
                      std::string& answer, std::string& error) {
  return SendTelegram(link, telegram, error) && ExpectTelegram(link, want, answer, error);
}

// ---- dialogue pieces ----

bool Lsv2Control::TakeProgramData(Link& link, const std::string& area, std::string& data,
                                  std::string& error) {
  for (;;) {
    std::string t;
    if (!ReadTelegram(link, t, error)) return false;
    if (t == "T FD") return true;
    if (!Starts(t, "R " + area)) {
      error = "got \"" + StrToVisual(t) + "\" in the program";
      return false;
    }
    data += t.substr(4);
    if (!SendTelegram(link, "T NB", error)) return false;
  }
}

bool Lsv2Control::GiveProgramData(Link& link, const std::string& area, const std::string& file,
                                  std::string& error) {
  std::string program, answer;
  if (!ReadFile(file, program, error)) return false;
  for (const std::string& block : ProgramBlocks(program, kDataBlock))
    if (!Ask(link, "R " + area + block, "T NB", answer, error)) return false;
  return SendTelegram(link, "T FD", error);
}

bool Lsv2Control::TakeSendDialogue(const SimCommand& cmd, Link& link, std::string& error) {
  bool ok = true;
  long waits = cmd.Num("--wait", 0, ok);
  const long waitMs = cmd.Num("--wait-ms", 200, ok);
  std::string data;
  bool gotData = false;
  for (;;) {
    std::string t;
    if (!ReadTelegram(link, t, error)) return false;
    std::string reply;
    if (t == "T ST  " || t == "M AU  ") {
      reply = kStatus;
    } else if (Starts(t, "PRCL")) {
      reply = cmd.Has("--keep-memory") ? "M NR  " : "M RR  ";
    } else if (Starts(t, "R CL")) {
      reply = "M OK";
    } else if (Starts(t, "PRPP")) {
      const std::string name = NameIn(t, 4);
      if (cmd.Has("--expect-name") && name != cmd.Opt("--expect-name")) {
        error = "the station sends \"" + name + "\", not \"" + cmd.Opt("--expect-name") + "\"";
        return false;
      }
      if (cmd.Has("--not-ready")) return SendTelegram(link, "M NR  ", error);
      reply = "M RR  ";
    } else if (Starts(t, "R ") && t.size() >= 4) {
      data += t.substr(4);
      gotData = true;
      for (; waits > 0; --waits) {
        if (!SendTelegram(link, "T WA", error)) return false;
        Pause(waitMs);
      }
      reply = "T NB";
    } else if (t == "T FD") {
      // The end of a clearing program, or of the program itself.
      if (gotData) return WriteFile(cmd.args.back(), data, error);
      continue;
    } else {
      error = "unexpected \"" + StrToVisual(t) + "\"";
      return false;
    }
    if (!SendTelegram(link, reply, error)) return false;
  }
}

// ---- commands ----

bool Lsv2Control::Expect(const SimCommand& cmd, std::string& error) {
  Link link;
  std::string got;
  if (!ReadLink(cmd, link, error) || !ReadTelegram(link, got, error)) return false;
  const std::string want = Text(cmd.args[0]);
  if (cmd.Has("--prefix") ? Starts(got, want) : got == want) return true;
  error = "lsv2-expect: got \"" + StrToVisual(got) + "\", not \"" + cmd.args[0] + "\"";
  return false;
}

bool Lsv2Control::Send(const SimCommand& cmd, std::string& error) {
  Link link;
  return ReadLink(cmd, link, error) && SendTelegram(link, Text(cmd.args[0]), error);
}

bool Lsv2Control::Collide(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  if (!ExpectByte(static_cast<uint8_t>(kEnq), link.timeout, error)) return false;
  // ENQ against ENQ: the station has to give way with DLE "0".
  if (!WriteBytes(std::string(1, kEnq)) || !AwaitReady(link, error)) return false;
  return SendTelegram(link, Text(cmd.args[0]), error, true);
}

bool Lsv2Control::Receive(const SimCommand& cmd, std::string& error) {
  Link link;
  return ReadLink(cmd, link, error) && TakeSendDialogue(cmd, link, error);
}

bool Lsv2Control::Request(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  const std::string name = Text(cmd.args[0]);
  std::string answer;
  if (!cmd.Has("--pt")) {
    if (!SendTelegram(link, "TDPP   " + name, error)) return false;
    if (cmd.Has("--refused")) return ExpectTelegram(link, "TDPPF", answer, error);
    return TakeSendDialogue(cmd, link, error);
  }
  const std::string want = cmd.Has("--refused") ? "M NR" : "M RT";
  if (!Ask(link, "PTPP" + name, want, answer, error)) return false;
  if (cmd.Has("--refused")) return true;
  std::string data;
  if (!SendTelegram(link, "T NB", error) || !TakeProgramData(link, "PP", data, error) ||
      !SendTelegram(link, "M OK", error))
    return false;
  return WriteFile(cmd.args[1], data, error);
}

bool Lsv2Control::Offer(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  const std::string name = Text(cmd.args[0]);
  std::string answer;
  if (cmd.Has("--pr")) {
    return Ask(link, "PRPP" + name, "M RR", answer, error) &&
           GiveProgramData(link, "PP", cmd.args[1], error) &&
           ExpectTelegram(link, "M OK", answer, error);
  }
  if (!Ask(link, "RDPP  " + name, "PTPP", answer, error)) return false;
  if (cmd.Has("--expect-request") && answer != Text(cmd.Opt("--expect-request"))) {
    error = "the station asks \"" + StrToVisual(answer) + "\"";
    return false;
  }
  return Ask(link, "M RT  ", "T NB", answer, error) &&
         GiveProgramData(link, "PP", cmd.args[1], error);
}

bool Lsv2Control::TestSend(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  const std::string name = Text(cmd.args[0]);
  std::string answer;
  return Ask(link, "T ST  ", "R ST", answer, error) && Ask(link, "M AU  ", "R ST", answer, error) &&
         Ask(link, "PRCL" + name + "\r\n", "M RR  ", answer, error) &&
         Ask(link, "R CL%CL\r\n" + name + "\r\nM30\r\n", "T NB", answer, error) &&
         SendTelegram(link, "T FD", error) &&
         Ask(link, "PRPP" + name + "\r\n", "M RR  ", answer, error) &&
         GiveProgramData(link, "PP", cmd.args[1], error);
}

bool Lsv2Control::OkumaStartup(const SimCommand& cmd, std::string& error) {
  Link link;
  std::string answer;
  return ReadLink(cmd, link, error) && Ask(link, "PTCM", "M RT", answer, error) &&
         Ask(link, "T NB", "R CM00", answer, error) && Ask(link, "T NB", "T FD", answer, error) &&
         SendTelegram(link, "M OK", error);
}

bool Lsv2Control::OkumaList(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  std::string answer;
  const std::string request = "LIPM" + Text(cmd.args[0]) + "," + cmd.args[1] + "," + cmd.args[2];
  if (!SendTelegram(link, request, error) || !ReadTelegram(link, answer, error)) return false;
  if (Starts(answer, "M NP")) return WriteFile(cmd.args[3], answer, error);
  if (!Starts(answer, "M RT")) {
    error = "okuma-list: got \"" + StrToVisual(answer) + "\"";
    return false;
  }
  std::string listing;
  if (!Ask(link, "T NB", "DIPM", listing, error) || !Ask(link, "T NB", "T FD", answer, error) ||
      !SendTelegram(link, "M OK", error))
    return false;
  return WriteFile(cmd.args[3], listing.substr(4), error);
}

bool Lsv2Control::OkumaRequest(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  std::string answer, data;
  const std::string want = cmd.Has("--refused") ? "M NR" : "M RT";
  if (!Ask(link, "PTPM" + Text(cmd.args[0]), want, answer, error)) return false;
  if (cmd.Has("--refused")) return true;
  if (!SendTelegram(link, "T NB", error) || !TakeProgramData(link, "PM", data, error) ||
      !SendTelegram(link, "M OK", error))
    return false;
  return WriteFile(cmd.args[1], data, error);
}

bool Lsv2Control::OkumaOffer(const SimCommand& cmd, std::string& error) {
  Link link;
  std::string answer;
  return ReadLink(cmd, link, error) &&
         Ask(link, "PRPM" + Text(cmd.args[0]), "M RR", answer, error) &&
         GiveProgramData(link, "PM", cmd.args[1], error) &&
         ExpectTelegram(link, "M OK", answer, error);
}

}  // namespace zova::sim
