// Every FilFormat conversion on arbitrary bytes. The first byte picks the
// format, the line-end choice and the read size; the rest is the program.
// Besides running clean, a conversion must not depend on how its source is
// split into reads, and KOPI must copy exactly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/convert/conversions.h"
#include "files/convert/file_format.h"

namespace {

std::string Convert(int format, const zova::ConvertOptions& o, std::string_view data, size_t chunk,
                    zova::ConvertResult& result) {
  zova::StringSource source(data, chunk);
  zova::StringSink sink;
  result = zova::ConvertStream(format, o, source, sink);
  return sink.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int format = 1 + (data[0] & 0x0F) % (zova::kFormatCount - 1);
  zova::ConvertOptions o;
  o.crLineEnds = (data[0] & 0x10) != 0;
  o.fileName = "D:\\CNC\\PARTS\\O1234.NC";
  o.programDir = "D:\\CNC\\";
  o.programExt = ".NC";
  o.startCode = "\x12%";
  const size_t chunk = 1 + (data[0] >> 5);
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  zova::ConvertResult whole, pieces;
  std::string a = Convert(format, o, text, 0, whole);
  std::string b = Convert(format, o, text, chunk, pieces);
  if (whole != pieces || a != b) std::abort();
  if (whole == zova::ConvertResult::Failed) std::abort();
  if (whole == zova::ConvertResult::Unchanged && !a.empty()) std::abort();
  if (format == zova::kFormatKopi && a != text) std::abort();
  return 0;
}
