// The Heidenhain file transfer a control runs over LSV2 framing: the
// station logs on with "A_LGFILE", may change the directory with "C_DC"
// (the name ended by NUL), announces a program with "C_FL" (the name and
// the Terminator), sends "S_FL" data blocks of lines each ended by the
// Terminator, ends with "T_FD" and logs off with "A_LO"; every one of them
// is answered "T_OK". To fetch, the station sends "R_FL" and the name, and
// the control sends the program as "S_FL" blocks (lines ended by NUL, each
// answered "T_OK"), then "T_FD".

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "controls/lsv2_control.h"
#include "core/visual.h"

namespace zova::sim {

namespace {

const std::string kOk = "T_OK";
const std::string kRefused = "T_ER";
// A data block the control sends stays below this.
constexpr size_t kDataBlock = 120;

bool Starts(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The name from Start up to the first control character.
std::string NameFrom(const std::string& telegram, size_t start) {
  std::string name;
  for (size_t i = start; i < telegram.size() && static_cast<unsigned char>(telegram[i]) >= 32; ++i)
    name += telegram[i];
  return name;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The program's lines, each ended by NUL, in blocks below kDataBlock.
std::vector<std::string> NulBlocks(const std::string& program) {
  std::vector<std::string> blocks;
  std::string block;
  std::istringstream in(program);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line += '\0';
    if (!block.empty() && block.size() + line.size() >= kDataBlock) {
      blocks.push_back(block);
      block.clear();
    }
    block += line;
  }
  if (!block.empty()) blocks.push_back(block);
  return blocks;
}

const std::vector<std::string> kLinkOptions{"--timeout", "--nak", "--corrupt", "--block"};

CommandShape HhShape(size_t args, std::vector<std::string> values, std::vector<std::string> flags) {
  values.insert(values.end(), kLinkOptions.begin(), kLinkOptions.end());
  return {args, values, flags};
}

}  // namespace

void Lsv2Control::AddHeidenhainCommands() {
  AddCommand({"hh-lsv2-receive",
              HhShape(1, {"--terminator", "--expect-name", "--expect-dir", "--wait"}, {"--refuse"}),
              true, Bind(&Lsv2Control::HhReceive)});
  AddCommand({"hh-lsv2-serve", HhShape(2, {}, {"--missing"}), true, Bind(&Lsv2Control::HhServe)});
}

bool Lsv2Control::HhReceive(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  bool ok = true;
  long waits = cmd.Num("--wait", 0, ok);
  if (!ok) {
    error = "hh-lsv2-receive: --wait takes a number";
    return false;
  }
  const std::string terminator = DecodeVisual(cmd.Opt("--terminator", "[NUL]")).bytes;
  std::string data;
  bool finished = false;
  for (;;) {
    std::string t;
    if (!ReadTelegram(link, t, error)) return false;
    std::string reply = kOk;
    if (t == "A_LGFILE") {
    } else if (Starts(t, "C_DC")) {
      const std::string dir = t.substr(4);
      if (dir.empty() || dir.back() != '\0') {
        error = "\"" + StrToVisual(t) + "\" does not end with NUL";
        return false;
      }
      if (cmd.Has("--expect-dir") && dir != cmd.Opt("--expect-dir") + '\0') {
        error = "the station changes to \"" + StrToVisual(dir) + "\"";
        return false;
      }
    } else if (Starts(t, "C_FL")) {
      const std::string name = NameFrom(t, 4);
      if (t.substr(4 + name.size()) != terminator) {
        error = "\"" + StrToVisual(t) + "\" does not end with the terminator";
        return false;
      }
      if (cmd.Has("--expect-name") && name != cmd.Opt("--expect-name")) {
        error = "the station sends \"" + name + "\", not \"" + cmd.Opt("--expect-name") + "\"";
        return false;
      }
      if (cmd.Has("--refuse")) reply = kRefused;
    } else if (Starts(t, "S_FL")) {
      data += t.substr(4);
      for (; waits > 0; --waits) {
        if (!SendTelegram(link, "T WA", error)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
      }
    } else if (t == "T_FD") {
      finished = true;
    } else if (t == "A_LO") {
      if (!SendTelegram(link, kOk, error)) return false;
      if (cmd.Has("--refuse")) return true;
      if (!finished) {
        error = "the station logged off before \"T_FD\"";
        return false;
      }
      std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
      out << Replace(data, terminator, "\r\n");
      if (!out) error = "cannot write " + cmd.args[0];
      return static_cast<bool>(out);
    } else {
      error = "unexpected \"" + StrToVisual(t) + "\"";
      return false;
    }
    if (!SendTelegram(link, reply, error)) return false;
  }
}

bool Lsv2Control::HhServe(const SimCommand& cmd, std::string& error) {
  Link link;
  if (!ReadLink(cmd, link, error)) return false;
  std::string program;
  if (!cmd.Has("--missing")) {
    std::ifstream in(cmd.args[1], std::ios::binary);
    if (!in) {
      error = "cannot read " + cmd.args[1];
      return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    program = s.str();
  }
  for (;;) {
    std::string t, answer;
    if (!ReadTelegram(link, t, error)) return false;
    if (t == "A_LGFILE" || Starts(t, "C_DC")) {
      if (!SendTelegram(link, kOk, error)) return false;
    } else if (t == "A_LO") {
      return SendTelegram(link, kOk, error);
    } else if (Starts(t, "R_FL")) {
      const std::string name = NameFrom(t, 4);
      if (name != cmd.args[0]) {
        error = "the station asks for \"" + name + "\", not \"" + cmd.args[0] + "\"";
        return false;
      }
      if (cmd.Has("--missing")) {
        if (!SendTelegram(link, kRefused, error)) return false;
        continue;
      }
      for (const std::string& block : NulBlocks(program))
        if (!Ask(link, "S_FL" + block, kOk, answer, error)) return false;
      if (!SendTelegram(link, "T_FD", error)) return false;
    } else {
      error = "unexpected \"" + StrToVisual(t) + "\"";
      return false;
    }
  }
}

}  // namespace zova::sim
