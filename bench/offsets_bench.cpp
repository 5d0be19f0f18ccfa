// Offset program for a register of 10,000 tools, for every format: register
// read, check, program built and written (the whole WriteOffsetProgram).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/paths.h"
#include "tools/offset_program.h"
#include "tools/register_file.h"

namespace {

constexpr int kTools = 10000;

struct Fixture {
  std::string dir = zova::TempDir() + "zova-offsets-bench/";
  std::string mill = dir + "MILL.REG", turn = dir + "TURN.REG", program = dir + "P.H";
  Fixture() {
    zova::ForceDirectories(dir);
    std::remove(mill.c_str());
    std::remove(turn.c_str());
    zova::TToolRegister m, t;
    m.Open(mill, zova::RegisterMode::Write);
    t.Open(turn, zova::RegisterMode::Write);
    std::vector<zova::ToolRecord> tools;
    for (int i = 1; i <= kTools; ++i) {
      zova::ToolRecord r;
      r.ToolNo = i;
      r.Reals[zova::kL] = 100 + i * 0.001;
      r.Reals[zova::kR] = 5 + (i % 7);
      r.Reals[zova::kFlag] = i % 10 == 0;
      tools.push_back(r);
      zova::TurnRecord u;
      u.ToolNo = i;
      u.X = 10 + i * 0.01;
      u.Z = -20;
      u.NoseRadius = 0.4;
      u.Hidden = i % 10 == 0;
      auto raw = zova::EncodeTurn(u);
      t.Write(i - 1, raw);
    }
    m.Replace(tools);
    std::FILE* f = std::fopen(program.c_str(), "wb");
    for (int i = 1; i <= kTools; ++i) std::fprintf(f, "%d TOOL DEF %d L+0 R+0\r\n", i, i);
    std::fclose(f);
  }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

void Offsets(benchmark::State& state, int format) {
  Fixture& fx = TheFixture();
  zova::OffsetRequest rq;
  rq.Settings.Format = format;
  rq.Settings.Limit = 20000;
  rq.Settings.Pockets = 10000;
  rq.Settings.ProgramNr = ":5007";
  rq.Keys.ToolReg = zova::IsTurningFormat(format) ? fx.turn : fx.mill;
  rq.Keys.ToolLine = "T#T3!T L#L4,3!L R#D4,3,0.5!D";
  rq.Keys.FirstToolLine = rq.Keys.LastToolLine = "%";
  rq.SourceProgram = fx.program;
  rq.Target = fx.dir + "OUT.TOL";
  for (auto _ : state) {
    zova::OffsetFileResult r = zova::WriteOffsetProgram(rq);
    if (!r.Ok) state.SkipWithError(r.Error.c_str());
    benchmark::DoNotOptimize(r);
  }
}

const bool kRegistered = [] {
  for (int f = 1; f < zova::kToolFormatCount; ++f) {
    if (f == zova::kToolOriginal) continue;
    std::string name = "Offsets/" + std::to_string(f) + "/" + std::string(zova::ToolFormatName(f));
    benchmark::RegisterBenchmark(name.c_str(), Offsets, f)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
