// Register images as another program may have left them: checked, and when
// usable decoded, re-encoded byte for byte and fed to the offset writers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "tools/offset_program.h"
#include "tools/tool_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zova::OffsetJob job;
  job.Limit = 99;
  job.Pockets = 20;
  job.Mult = 1000;
  job.Decimals = 0;
  if (zova::CheckRegisterImage(bytes, zova::RecordKind::Tool).empty()) {
    for (const auto& r : zova::SplitRecords(bytes)) {
      zova::ToolRecord t = zova::DecodeTool(r);
      // Decoding is exact: the value survives a second trip unchanged.
      if (zova::DecodeTool(zova::EncodeTool(t)).Reals != t.Reals) std::abort();
      job.Tools.push_back(t);
    }
  }
  if (zova::CheckRegisterImage(bytes, zova::RecordKind::Turn).empty()) {
    for (const auto& r : zova::SplitRecords(bytes)) job.Turns.push_back(zova::DecodeTurn(r));
    job.Nominal = job.Turns;
  }
  for (int format : {3, 4, 14, 20, 23, 32, 33, 42}) {
    job.Format = format;
    zova::OffsetResult r = zova::BuildOffsetProgram(job);
    (void)r;
  }
  return 0;
}
