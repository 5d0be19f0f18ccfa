// FindProgramName on a 100-character header text, every method in fetch and
// save mode. The text carries something for most methods to find, so each
// does its full work.

#include <benchmark/benchmark.h>

#include <string>

#include "files/namesearch/find_program_name.h"

namespace {

std::string Header() {
  std::string h =
      "% O1234(S)(DIR)(PART-1)NAME=\"P7\"G65P9000I5J12K3X12Y34 "
      "N5545P34333231E98=345E97=1$O1.MIN M30G0X0Y0Z0F1000";
  h.resize(99, 'G');
  return h + " ";
}

void BM_FindProgramName(benchmark::State& state) {
  const std::string header = Header();
  zova::FindInput in;
  in.method = static_cast<int>(state.range(0));
  in.mode = static_cast<zova::SearchMode>(state.range(1));
  if (in.mode == zova::smSave)
    in.keys = {"(", "(", ")", "(", "(", ")"};
  else
    in.keys = {"M30", "(", ")", "M30", "(", ")"};
  in.headerText = header;
  in.programExt = ".NC";
  in.extraChars.set('/');
  for (auto _ : state) {
    zova::NameResult r;
    zova::FindProgramName(in, r);
    benchmark::DoNotOptimize(r.name.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(in.mode == zova::smSave ? "save" : "fetch");
}

BENCHMARK(BM_FindProgramName)->ArgsProduct({benchmark::CreateDenseRange(0, 26, 1), {0, 1}});

}  // namespace
