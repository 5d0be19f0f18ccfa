#include "files/convert/conversions.h"
#include "files/convert/file_format.h"

namespace zova {

namespace {

bool RunConversion(int format, const ConvertOptions& o, LineInput& in, LineOutput& out,
                   ByteSink& sink, bool& unchanged) {
  switch (format) {
    case kFormatNJ:
      return ConvertNJ(in, out, false);
    case kFormatNJBTR:
      return ConvertNJ(in, out, true);
    case kFormatNJNC:
      return ConvertNJNC(in, out, o.crLineEnds);
    case kFormatEMCO:
      return ConvertEmco(in, out, o.fileName);
    case kFormatNJCinci:
      return ConvertNJCinci(in, out, o.crLineEnds);
    case kFormatProsent:
      return ConvertProsent(in, out);
    case kFormatHakmo:
      return ConvertHakmo(in, out);
    case kFormatOkuma3000:
      return ConvertOkuma3000(in, out, o.startCode);
    case kFormatKbgCnc200:
      return ConvertKbgCnc200(in, out);
    case kFormatKommentarer:
      return ConvertKommentarer(in, out, o);
    case kFormatSiemensClear:
      return ConvertSiemensClear(in, out, sink);
    case kFormatKopi:
      return ConvertKopi(in, out, sink);
    case kFormatSMT:
      return ConvertSmt(in, out);
    case kFormatOkuma5000:
      return ConvertOkuma5000(in, out, unchanged);
    case kFormatFanuc:
      return ConvertFanuc(in, out);
    default:
      return false;
  }
}

}  // namespace

ConvertResult ConvertStream(int format, const ConvertOptions& options, ByteSource& source,
                            ByteSink& sink) {
  if (format == kFormatStandard) return ConvertResult::Unchanged;
  LineInput in(source);
  LineOutput out(sink);
  bool unchanged = false;
  bool ok = RunConversion(format, options, in, out, sink, unchanged);
  ok = out.Flush() && ok;
  if (!ok) return ConvertResult::Failed;
  return unchanged ? ConvertResult::Unchanged : ConvertResult::Converted;
}

}  // namespace zova
