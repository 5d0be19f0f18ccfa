// Throughput of every FilFormat conversion, source file in, /dev/null out.
//
//   ZOVA_BENCH_PROGRAM=/tmp/big.nc convert_bench
//
// uses that program, writing it first (10 million blocks, 200 MB) when it does
// not exist; without the variable a 10 MB program in $TMPDIR is used. Peak
// resident memory is what /usr/bin/time -v reports for the whole run: the
// conversions stream, so it does not grow with the program.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/convert/conversions.h"
#include "files/convert/file_format.h"

namespace {

constexpr const char* kNames[] = {"STANDARD",  "NJ",        "NJBTR",       "NJNC",
                                  "EMCO",      "NJCINCI",   "PROSENT",     "HAKMO",
                                  "OKUMA3000", "KBGCNC200", "KOMMENTARER", "SIEMENSCLEAR",
                                  "KOPI",      "SMT",       "OKUMA5000",   "FANUC"};

// Blocks of 20 bytes with their CR LF, between "%" lines.
bool WriteProgram(const std::string& path, long blocks) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fputs("%\r\nO1234(BENCH)\r\n", f);
  char line[32];
  for (long i = 0; i < blocks; ++i) {
    std::snprintf(line, sizeof line, "N%07ldG1X%03ld.5Y7\r\n", i % 10000000, i % 1000);
    std::fputs(line, f);
  }
  std::fputs("M30\r\n%\r\n", f);
  return std::fclose(f) == 0;
}

const std::string& ProgramPath() {
  static const std::string path = [] {
    const char* env = std::getenv("ZOVA_BENCH_PROGRAM");
    std::string p = env ? env : (std::filesystem::temp_directory_path() / "zova_convert_bench.nc");
    long blocks = env ? 10000000 : 500000;
    if (!std::filesystem::exists(p) && !WriteProgram(p, blocks)) std::abort();
    return p;
  }();
  return path;
}

void BM_Convert(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  const std::string& path = ProgramPath();
  const auto size = static_cast<int64_t>(std::filesystem::file_size(path));
  zova::ConvertOptions options;
  options.fileName = path;
  options.programExt = ".NC";
  options.startCode = "\x12";
  for (auto _ : state) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    std::FILE* out = std::fopen("/dev/null", "wb");
    if (!in || !out) std::abort();
    zova::FileSource source(in);
    zova::FileSink sink(out);
    auto result = zova::ConvertStream(format, options, source, sink);
    if (result == zova::ConvertResult::Failed) state.SkipWithError("conversion failed");
    std::fclose(in);
    std::fclose(out);
  }
  // SIEMENSCLEAR reads its source twice; count what each conversion reads once.
  state.SetBytesProcessed(state.iterations() * size);
  state.SetLabel(kNames[format]);
}

BENCHMARK(BM_Convert)->DenseRange(1, zova::kFormatCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace
