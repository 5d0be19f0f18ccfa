#include "controls/fapt_control.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "core/visual.h"

namespace zova::sim {

namespace {

constexpr char kSoh = 1, kStx = 2, kBs = 8, kDc2 = 18;
constexpr size_t kBlock = 63;

bool Bracketed(const SimCommand& cmd, const std::string& key, const std::string& fallback,
               std::string& out, std::string& error) {
  const VisualDecoded d = DecodeVisual(cmd.Opt(key, fallback));
  if (d.error) {
    error = cmd.name + ": " + key + ": bad bracket notation";
    return false;
  }
  out = d.bytes;
  return true;
}

}  // namespace

FaptControl::FaptControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"fapt-send",
              {1, {"--name", "--marker", "--corrupt", "--lead"}, {}},
              true,
              Bind(&FaptControl::Send)});
  AddCommand({"fapt-receive", {1, {"--first", "--quiet"}, {}}, true, Bind(&FaptControl::Receive)});
}

bool FaptControl::Send(const SimCommand& cmd, std::string& error) {
  std::string marker, lead;
  if (!Bracketed(cmd, "--marker", "MLL>MLL=", marker, error) ||
      !Bracketed(cmd, "--lead", "", lead, error))
    return false;
  bool ok = true;
  const long corrupt = cmd.Num("--corrupt", 0, ok);
  if (!ok || corrupt < 0) {
    error = "fapt-send: --corrupt takes a block number";
    return false;
  }
  std::ifstream in(cmd.args[0], std::ios::binary);
  if (!in) {
    error = "fapt-send: cannot read " + cmd.args[0];
    return false;
  }
  std::ostringstream body;
  body << in.rdbuf();
  std::string data = cmd.Has("--name") ? marker + cmd.Opt("--name") + "\r\n" : "";
  data += body.str();
  if (data.empty() || data.size() % kBlock) data.append(kBlock - data.size() % kBlock, '\0');
  std::string wire = lead + kSoh;
  const size_t blocks = data.size() / kBlock;
  for (size_t b = 0; b < blocks; ++b) {
    wire += data.substr(b * kBlock, kBlock);
    const bool last = b + 1 == blocks;
    wire += static_cast<long>(b + 1) == corrupt ? '?' : last ? kBs : kStx;
  }
  if (Options().verbose) std::cerr << "cncsim: sending " << blocks << " blocks\n";
  if (!WriteBytes(wire)) {
    error = "fapt-send: the line was dropped";
    return false;
  }
  return true;
}

bool FaptControl::Receive(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int first = static_cast<int>(cmd.Num("--first", 10000, ok));
  const int quiet = static_cast<int>(cmd.Num("--quiet", 2000, ok));
  if (!ok) {
    error = "fapt-receive: a number option is not a number";
    return false;
  }
  // Each byte must be the one the form puts there.
  size_t count = 0;
  auto next = [&](uint8_t& b, const char* what) {
    const ReadStatus status = ReadByte(b, count == 0 ? first : quiet);
    ++count;
    if (status == ReadStatus::kData) return true;
    error = std::string("fapt-receive: ") +
            (status == ReadStatus::kGone ? "the line was dropped" : "nothing came") + " where " +
            what + " belonged";
    return false;
  };
  auto expect = [&](char want, const char* what) {
    uint8_t b = 0;
    if (!next(b, what)) return false;
    if (b == static_cast<uint8_t>(want)) return true;
    error = std::string("fapt-receive: ") + what + " expected, got " +
            StrToVisual(std::string(1, static_cast<char>(b)));
    return false;
  };
  if (!expect(kDc2, "DC2") || !expect(kSoh, "SOH")) return false;
  std::string data;
  for (size_t block = 1;; ++block) {
    for (size_t i = 0; i < kBlock; ++i) {
      uint8_t b = 0;
      if (!next(b, "a data byte")) return false;
      data += static_cast<char>(b);
    }
    uint8_t sep = 0;
    if (!next(sep, "a separator")) return false;
    if (sep == kBs) break;
    if (sep != kStx) {
      error = "fapt-receive: block " + std::to_string(block) + " followed by " +
              StrToVisual(std::string(1, static_cast<char>(sep)));
      return false;
    }
  }
  for (size_t i = 0; i < kBlock; ++i)
    if (!expect('\0', "a NUL of the trailing block")) return false;
  // The padding of the last block is no part of the program.
  size_t keep = data.size();
  while (keep > data.size() - kBlock && data[keep - 1] == '\0') --keep;
  data.resize(keep);
  std::ofstream out(cmd.args[0], std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) {
    error = "cannot write " + cmd.args[0];
    return false;
  }
  if (Options().verbose) std::cerr << "cncsim: received " << data.size() << " bytes\n";
  return true;
}

}  // namespace zova::sim
