// Throughput of storing a received program and of the line codes.
//
//   ZOVA_BENCH_MB=100 storage_bench
//
// stores a received program of that many megabytes (default 100) with its
// line ends normalised and byte for byte, receives it character by character,
// and encodes and decodes a buffer with the ISO and EIA tables. Files live in
// a fresh directory under $TMPDIR, removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/model/station_model.h"
#include "files/transfer/char_codes.h"
#include "files/transfer/tfile.h"

namespace {

namespace fs = std::filesystem;

class Driver : public zova::TFile {
 public:
  using TFile::TFile;
  void Execute() override {}
};

int64_t ProgramBytes() {
  const char* mb = std::getenv("ZOVA_BENCH_MB");
  const long n = mb ? std::atol(mb) : 100;
  return static_cast<int64_t>(n > 0 ? n : 100) << 20;
}

// Blocks of about 20 bytes, LF line ends (so normalisation has work to do)
// or CR LF (the byte-for-byte case).
std::string Program(int64_t bytes, bool crlf) {
  std::string text = "%" + std::string(crlf ? "\r\n" : "\n") + "(BENCH)\n";
  char line[40];
  for (long i = 0; static_cast<int64_t>(text.size()) < bytes; ++i) {
    std::snprintf(line, sizeof line, "N%07ldG1X%03ld.5Y7%s", i % 10000000, i % 1000,
                  crlf ? "\r\n" : "\n");
    text += line;
  }
  return text;
}

struct World {
  fs::path root;
  zova::StationModel model{2};
  zova::UiLinks links;
  std::unique_ptr<Driver> driver;
  std::string lfFile, crlfFile;
  int64_t bytes = ProgramBytes();

  World() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/zova-storage-bench-XXXXXX";
    root = ::mkdtemp(tmpl.data());
    fs::create_directories(root / "M1");
    fs::create_directories(root / "tmp");
    std::ofstream(root / "Zova.ini")
        << "[Program]\nTemp=" << (root / "tmp/").string()
        << "\n[Maskin1]\nKatalog=" << (root / "M1/").string() << "\nBakFiler=False\n";
    zova::Globals().IniFil = (root / "Zova.ini").string();
    zova::Globals().DataKatalog = root.string() + "/";
    links.model = &model;
    driver = std::make_unique<Driver>(links, model.Request(1), 1);
    lfFile = (root / "lf.rx").string();
    crlfFile = (root / "crlf.rx").string();
    std::ofstream(lfFile, std::ios::binary) << Program(bytes, false);
    std::ofstream(crlfFile, std::ios::binary) << Program(bytes, true);
  }
  ~World() { fs::remove_all(root); }
};

World& TheWorld() {
  static World w;
  return w;
}

void Store(benchmark::State& state, bool byteForByte) {
  World& w = TheWorld();
  Driver& d = *w.driver;
  for (auto _ : state) {
    d.TempName = byteForByte ? w.crlfFile : w.lfFile;
    d.TransferName = "BENCH";
    bool ok = false;
    d.StoreReceived(true, false, ok, 0, byteForByte);
    if (!ok) state.SkipWithError("store failed");
  }
  state.SetBytesProcessed(state.iterations() * w.bytes);
}

void BM_StoreNormalised(benchmark::State& state) {
  Store(state, false);
}
BENCHMARK(BM_StoreNormalised)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreByteForByte(benchmark::State& state) {
  Store(state, true);
}
BENCHMARK(BM_StoreByteForByte)->Unit(benchmark::kMillisecond)->UseRealTime();

// The receive file written a character at a time, as the serial layer does.
void BM_ReceiveChars(benchmark::State& state) {
  World& w = TheWorld();
  Driver& d = *w.driver;
  const std::string text = Program(16 << 20, false);
  for (auto _ : state) {
    bool ok = false;
    d.OpenReceiveFile(ok);
    for (char c : text) d.StoreChar(c, ok);
    d.CloseFile(ok);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReceiveChars)->Unit(benchmark::kMillisecond)->UseRealTime();

void Codes(benchmark::State& state, int code) {
  std::string buf = Program(16 << 20, true);
  for (auto _ : state) {
    zova::EncodeBuffer(code, buf.data(), buf.size());
    zova::DecodeBuffer(code, buf.data(), buf.size());
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buf.size()));
}

void BM_IsoEncodeDecode(benchmark::State& state) {
  Codes(state, zova::kCodeIso);
}
BENCHMARK(BM_IsoEncodeDecode)->Unit(benchmark::kMillisecond);

void BM_EiaEncodeDecode(benchmark::State& state) {
  Codes(state, zova::kCodeEia);
}
BENCHMARK(BM_EiaEncodeDecode)->Unit(benchmark::kMillisecond);

}  // namespace
