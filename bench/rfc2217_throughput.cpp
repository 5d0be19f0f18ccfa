// A program through ser2net serving a pseudo-terminal, with the station's
// device in RFC 2217 mode against the same through a raw TCP port: what the
// Telnet layer (IAC doubling on the way out, decoding on the way in, the
// option talk) costs.
//
//   rfc2217_throughput [--mb N] [--rounds N]
//
// send      the program written one byte per Write, as a driver sends it; the
//           time runs until the control's end has read the last byte
// send-1k   the same in Writes of 1 KB
// receive   the control's end writes the program; the device reads it with
//           Read into 4 KB
// The program is --mb MB (1) of NC text with one 0xFF byte per line, so that
// the doubling is exercised; the fastest of --rounds (3) is reported.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "ser2net_server.h"
#include "serial/device/open_device.h"

namespace {

using zova::test::Ser2net;
using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "rfc2217_throughput: %s\n", what.c_str());
  std::exit(1);
}

std::string Program(size_t bytes) {
  std::string p;
  for (int n = 1; p.size() < bytes; ++n)
    p += "N" + std::to_string(n) + " G01 X12.345 Y-6.789 Z0.5 F250 \xFF\r\n";
  p.resize(bytes);
  return p;
}

// Reads the control's end until Want bytes came; false on a stall of 5 s.
bool Drain(int fd, size_t want) {
  static char buf[65536];
  size_t got = 0;
  while (got < want) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) return false;
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

double Send(zova::SerialDevice& dev, int control, const std::string& prog, size_t block) {
  bool ok = false;
  auto start = Clock::now();
  std::thread reader([&] { ok = Drain(control, prog.size()); });
  const auto* p = reinterpret_cast<const uint8_t*>(prog.data());
  for (size_t at = 0; at < prog.size();) {
    zova::IoResult r = dev.Write(p + at, std::min(block, prog.size() - at), 5000);
    if (r.count == 0) break;
    at += r.count;
  }
  reader.join();
  if (!ok) Fail("the send stalled");
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Receive(zova::SerialDevice& dev, const zova::test::PtyPair& pty, const std::string& prog) {
  auto start = Clock::now();
  std::thread writer([&] { pty.Send(prog); });
  uint8_t buf[4096];
  size_t got = 0;
  while (got < prog.size()) {
    zova::IoResult r = dev.Read(buf, sizeof buf, 5000);
    if (r.count == 0) break;
    got += r.count;
  }
  writer.join();
  if (got != prog.size()) Fail("the reception stalled");
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Figures {
  double send = 1e9, send1k = 1e9, receive = 1e9;
};

Figures Measure(Ser2net::Mode mode, const std::string& prog, int rounds) {
  Figures f;
  for (int round = 0; round < rounds; ++round) {
    zova::test::PtyPair pty;
    if (!pty.Ok()) Fail("no pseudo-terminal");
    Ser2net server(pty.SlavePath(), mode);
    if (!server.Error().empty()) Fail(server.Error());
    int err = 0;
    auto dev = zova::OpenDeviceByName(server.Address(), err);
    if (!dev) Fail("cannot open " + server.Address() + ": " + std::strerror(err));
    zova::LineSettings s;
    s.baud = 115200;
    dev->Configure(s, err);
    f.send = std::min(f.send, Send(*dev, pty.Master(), prog, 1));
    f.send1k = std::min(f.send1k, Send(*dev, pty.Master(), prog, 1024));
    f.receive = std::min(f.receive, Receive(*dev, pty, prog));
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  double mb = 1;
  int rounds = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--mb") == 0)
      mb = std::atof(argv[i + 1]);
    else if (std::strcmp(argv[i], "--rounds") == 0)
      rounds = std::atoi(argv[i + 1]);
    else
      Fail(std::string("unknown option ") + argv[i]);
  }
  if (Ser2net::Program().empty()) Fail("ser2net is not installed (Debian package ser2net)");
  std::string prog = Program(static_cast<size_t>(mb * 1e6));
  Figures rfc = Measure(Ser2net::Mode::Rfc2217, prog, rounds);
  Figures raw = Measure(Ser2net::Mode::RawTcp, prog, rounds);
  auto row = [&](const char* what, double a, double b) {
    std::printf("%-9s rfc2217 %7.3f s %7.2f MB/s   raw tcp %7.3f s %7.2f MB/s   ratio %.2f\n", what,
                a, prog.size() / a / 1e6, b, prog.size() / b / 1e6, a / b);
  };
  std::printf("%zu bytes through ser2net %s, fastest of %d\n", prog.size(), "serving a pty",
              rounds);
  row("send", rfc.send, raw.send);
  row("send-1k", rfc.send1k, raw.send1k);
  row("receive", rfc.receive, raw.receive);
  return 0;
}
