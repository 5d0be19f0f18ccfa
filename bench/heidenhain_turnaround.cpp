// The station's own turnaround in the Heidenhain block protocol, measured on
// the real station (headless) over pseudo-terminals against fast answering
// ends: every line stores a program through the block protocol and reads it
// back, all lines at once.
//
//   heidenhain_turnaround [--lines N] [--kb N] [--port KEY=VALUE]...
//
// --lines (20) Heidenhain lines, each with a program of --kb KB (1024). Per
// block the answering end times the station: storing, from the last byte of
// its block to the station's ACK; reading, from its ACK to the last byte of
// the station's next block (or its ETX). Both include the pseudo-terminal's
// way there and back, so they bound the station's own time from above. The
// median and the 99th percentile of each, and of all blocks together, are
// set against 1 ms and 5 ms. The stored and the read-back programs must be
// the program, byte for byte. --port adds a key to every port section (the
// default line has DTR/DSR flow, whose hold is looked at before every byte;
// DtrDsr=False lets a block go to the kernel in one write).
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "station_run.h"

namespace {

using namespace bench;

constexpr char kSoh = 1, kStx = 2, kEtx = 3, kEot = 4, kAck = 6, kEtb = 23;
constexpr int kAnswerMs = 20000;

// The answering end's own block check: the exclusive OR from the lead byte
// to ETB, lifted above the control characters by the trailing blank.
std::string Block(char lead, std::string text) {
  auto check = [&] {
    uint8_t x = static_cast<uint8_t>(lead ^ kEtb);
    for (char c : text) x ^= static_cast<uint8_t>(c);
    return x;
  };
  if (check() < 32) {
    if (!text.empty() && text.back() == ' ')
      text.pop_back();
    else
      text += ' ';
  }
  return std::string(1, lead) + text + kEtb + static_cast<char>(check());
}

// A Heidenhain program of about Bytes, every line without a trailing blank.
std::vector<std::string> ProgramLines(size_t bytes, int n) {
  std::vector<std::string> lines{"0 BEGIN PGM P" + std::to_string(n) + " MM"};
  size_t size = lines[0].size() + 2;
  char line[64];
  for (long i = 1; size < bytes; ++i) {
    std::snprintf(line, sizeof line, "%ld L X+%ld.%03ld Y-%ld.5 Z+0 R0 F%ld", i, i % 500,
                  (i * 7) % 1000, i % 300, 100 + i % 900);
    lines.emplace_back(line);
    size += lines.back().size() + 2;
  }
  lines.push_back(std::to_string(lines.size()) + " END PGM P" + std::to_string(n) + " MM");
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

// One answering end: its pseudo-terminal, what it has read and not used,
// and the turnarounds it measured, in microseconds.
class Answerer {
 public:
  Answerer(const Pty& pty, int n) : pty_(pty), n_(n) {}

  void Run(const std::vector<std::string>& lines) {
    const std::string name = "P" + std::to_string(n_);
    WriteAll(Block(kSoh, "H" + name + "A"));
    Until(kAck);
    for (const std::string& l : lines) {
      WriteAll(Block(kStx, l));
      const auto sent = Clock::now();
      Until(kAck);
      store_.push_back(Micros(sent));
    }
    WriteAll(std::string{kEtx, kEot});
    // The station files the program before it takes the next header.
    WriteAll(Block(kSoh, "H" + name + "E"));
    Until(kAck);
    auto asked = Clock::now();
    for (;;) {
      std::string text;
      const bool end = NextBlock(text);
      read_.push_back(Micros(asked));
      if (end) break;
      back_.push_back(text);
      WriteAll(std::string(1, kAck));
      asked = Clock::now();
    }
    WriteAll(std::string(1, kEot));
  }
  const std::vector<double>& Store() const { return store_; }
  const std::vector<double>& Read() const { return read_; }
  const std::vector<std::string>& Back() const { return back_; }

 private:
  static double Micros(Clock::time_point since) {
    return std::chrono::duration<double, std::micro>(Clock::now() - since).count();
  }
  void WriteAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t w = ::write(pty_.master, bytes.data() + done, bytes.size() - done);
      if (w > 0) {
        done += static_cast<size_t>(w);
      } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
        Fail("line " + std::to_string(n_) + ": write failed");
      } else {
        pollfd p{pty_.master, POLLOUT, 0};
        ::poll(&p, 1, kAnswerMs);
      }
    }
  }
  char Byte() {
    while (at_ == buf_.size()) {
      buf_.clear();
      at_ = 0;
      pollfd p{pty_.master, POLLIN, 0};
      if (::poll(&p, 1, kAnswerMs) <= 0) Fail("line " + std::to_string(n_) + ": no answer");
      char chunk[4096];
      const ssize_t r = ::read(pty_.master, chunk, sizeof chunk);
      if (r > 0) buf_.assign(chunk, static_cast<size_t>(r));
    }
    return buf_[at_++];
  }
  void Until(char want) {
    for (char c; (c = Byte()) != want;)
      if (c == 0x15) Fail("line " + std::to_string(n_) + ": NAK");
  }
  // The station's next block, checked; true at its ETX.
  bool NextBlock(std::string& text) {
    char c;
    while ((c = Byte()) != kStx && c != kEtx) {
    }
    if (c == kEtx) return true;
    std::string framed(1, kStx);
    while ((c = Byte()) != kEtb) framed += c;
    const char check = Byte();
    text = framed.substr(1);
    if (Block(kStx, text) != framed + kEtb + check)
      Fail("line " + std::to_string(n_) + ": a wrong block check");
    if (!text.empty() && text.back() == ' ') text.pop_back();
    return false;
  }

  const Pty& pty_;
  int n_;
  std::string buf_;
  size_t at_ = 0;
  std::vector<double> store_, read_;
  std::vector<std::string> back_;
};

// Keys from --port, added to every port section.
std::string g_portKeys;

std::string WriteIni(const TempDir& dir, const std::vector<std::unique_ptr<Pty>>& ptys) {
  std::string ini = "[Program]\r\nMaskiner=" + std::to_string(ptys.size()) +
                    "\r\nTemp=" + dir.path + "\r\nWebPort=0\r\n\r\n";
  for (size_t i = 0; i < ptys.size(); ++i) {
    const std::string m = std::to_string(i + 1);
    fs::create_directories(MachineDir(dir, static_cast<int>(i) + 1));
    ini += "[Maskin" + m + "]\r\nNavn=TNC " + m + "\r\nProtokoll=HEIDENHAIN\r\nPort=COM" + m +
           "\r\nKatalog=" + MachineDir(dir, static_cast<int>(i) + 1) + "\r\nExt=.H\r\n\r\n";
    ini += "[COM" + m + "]\r\nEnhet=" + ptys[i]->slave +
           "\r\nKode=ASCII\r\nTimeMultiplier=100\r\n" + g_portKeys + "\r\n";
  }
  WriteFile(dir / "Zova.ini", ini);
  return dir / "Zova.ini";
}

struct Figures {
  double median = 0, p99 = 0, max = 0;
  size_t count = 0, over5ms = 0, over50ms = 0;
};

Figures Of(std::vector<double> v) {
  Figures f;
  if (v.empty()) return f;
  std::sort(v.begin(), v.end());
  f.count = v.size();
  f.median = v[v.size() / 2];
  f.p99 = v[std::min(v.size() - 1, v.size() * 99 / 100)];
  f.max = v.back();
  for (double x : v) {
    f.over5ms += x >= 5000;
    f.over50ms += x >= 50000;
  }
  return f;
}

void Report(const char* what, const Figures& f) {
  std::printf(
      "%-24s %8zu blocks  median %6.3f ms %s 1 ms  p99 %6.3f ms %s 5 ms  max %7.3f ms"
      "  (%zu from 5 ms, %zu from 50 ms)\n",
      what, f.count, f.median / 1000, f.median < 1000 ? "<" : ">=", f.p99 / 1000,
      f.p99 < 5000 ? "<" : ">=", f.max / 1000, f.over5ms, f.over50ms);
  std::fflush(stdout);
}

long Option(int& i, int argc, char** argv) {
  if (i + 1 >= argc) Fail(std::string(argv[i]) + " needs a number");
  return std::atol(argv[++i]);
}

}  // namespace

int main(int argc, char** argv) {
  int lines = 20;
  long kb = 1024;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--lines")
      lines = static_cast<int>(Option(i, argc, argv));
    else if (a == "--kb")
      kb = Option(i, argc, argv);
    else if (a == "--port" && i + 1 < argc)
      g_portKeys += std::string(argv[++i]) + "\r\n";
    else
      Fail("unknown argument " + a);
  }
  if (lines < 1 || kb < 1) Fail("--lines and --kb must be positive");
  TempDir dir;
  std::vector<std::unique_ptr<Pty>> ptys;
  for (int i = 0; i < lines; ++i) ptys.push_back(std::make_unique<Pty>());
  const std::string ini = WriteIni(dir, ptys);
  std::vector<std::vector<std::string>> programs;
  for (int i = 1; i <= lines; ++i)
    programs.push_back(ProgramLines(static_cast<size_t>(kb) * 1024, i));

  Station station(dir, ini);
  for (const auto& p : ptys) p->WaitSlave(true);
  Sleep(500);  // the station purges each line after it opened it
  std::vector<std::unique_ptr<Answerer>> ends;
  std::vector<std::thread> threads;
  const auto start = Clock::now();
  for (int i = 0; i < lines; ++i) {
    ends.push_back(std::make_unique<Answerer>(*ptys[static_cast<size_t>(i)], i + 1));
    threads.emplace_back(
        [&, i] { ends[static_cast<size_t>(i)]->Run(programs[static_cast<size_t>(i)]); });
  }
  for (std::thread& t : threads) t.join();
  const double seconds = Since(start);
  const std::string cpu = station.CpuText();
  station.Stop();

  std::vector<double> store, read, all;
  for (int i = 0; i < lines; ++i) {
    const Answerer& e = *ends[static_cast<size_t>(i)];
    const std::string program = Joined(programs[static_cast<size_t>(i)]);
    if (ReadFile(MachineDir(dir, i + 1) + "P" + std::to_string(i + 1) + ".H") != program)
      Fail("line " + std::to_string(i + 1) + ": the stored program differs");
    if (Joined(e.Back()) != program)
      Fail("line " + std::to_string(i + 1) + ": the program read back differs");
    store.insert(store.end(), e.Store().begin(), e.Store().end());
    read.insert(read.end(), e.Read().begin(), e.Read().end());
  }
  all = store;
  all.insert(all.end(), read.begin(), read.end());
  std::printf("%d Heidenhain lines, %ld KB each, stored and read back byte for byte in %.1f s\n",
              lines, kb, seconds);
  Report("storing (block to ACK)", Of(store));
  Report("reading (ACK to block)", Of(read));
  Report("all blocks", Of(all));
  std::printf("station CPU time: %s\n", cpu.c_str());
  return 0;
}
