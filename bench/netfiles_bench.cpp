// Sorting a drop directory: 10,000 programs of 2 kB each for 20 program
// directories, imported once they have settled. The reporting pauses run on
// a manual clock; what is measured is naming, directory preparation and the
// moves.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/clock.h"
#include "core/globals.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "netfiles/tkattemp.h"

namespace {

using namespace zova;

constexpr int kFiles = 10000;

struct BenchStation {
  BenchStation() {
    char tmpl[] = "/tmp/zova-netbench-XXXXXX";
    dir = std::string(mkdtemp(tmpl)) + "/";
    std::ofstream(dir + "Zova.ini")
        << "[Program]\nMaskiner=1\nTemp=" << dir << "\n[Maskin1]\nKatalog=" << dir
        << "pc/\nFtpFilNavn=PARENTESER\nBackupdirs=1\n";
    std::filesystem::create_directories(dir + "pc");
    Globals().IniFil = dir + "Zova.ini";
    Globals().DataKatalog = dir;
    links.model = &model;
    SetClock(&clock);
  }
  ~BenchStation() {
    SetClock(nullptr);
    std::filesystem::remove_all(dir);
  }
  void Fill(const std::string& drop) {
    std::string body(2048, 'X');
    for (int i = 0; i < kFiles; ++i) {
      std::string head = "%\r\n(S)(P" + std::to_string(i % 20) + ")\r\n";
      std::ofstream(drop + "O" + std::to_string(i) + ".NC", std::ios::binary)
          << head << body.substr(head.size());
    }
  }
  std::string dir;
  ManualClock clock{std::chrono::system_clock::now()};
  StationModel model{1};
  UiLinks links;
};

void BM_ImportDropDirectory(benchmark::State& state) {
  BenchStation s;
  TKatTemp driver(s.links, s.model.Request(1), 1);
  std::string drop = FsPath(driver.UtvKatalog2);
  for (auto _ : state) {
    state.PauseTiming();
    s.Fill(drop);
    state.ResumeTiming();
    driver.ImportDropDirectory();
    if (driver.Cycle.count != kFiles) state.SkipWithError("not every file was imported");
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(kFiles) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportDropDirectory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
