#include "tools/tool_template.h"

#include <algorithm>

#include "core/numformat.h"
#include "core/numparse.h"
#include "tools/offset_output.h"
#include "tools/register_file.h"

namespace zova {

namespace {

// Widths beyond a line's worth of zeros are a typing error, not a request.
constexpr int kMaxWidth = 255;
constexpr int kMaxDecimals = 18;

int SpecInt(const std::string& s, int limit) {
  return std::clamp(ParseInteger(s).value_or(0), 0, limit);
}

void FillField(std::string& line, std::string_view start, std::string_view end, double value) {
  size_t p = line.find(start);
  size_t q = line.find(end);
  if (p == std::string::npos || q == std::string::npos || !(p < q)) return;
  std::string format = line.substr(p + start.size(), q - p - start.size());
  line.erase(p, q + end.size() - p);
  // The field format is positional, "width,decimals,factor": a lone "3" is a width
  // (the default template's "#T3!T"), never a factor.
  int width = 0, decimals = 0;
  std::string head;
  SplitFirst(",", format, head);
  width = SpecInt(head, kMaxWidth);
  if (!format.empty()) {
    SplitFirst(",", format, head);
    decimals = SpecInt(head, kMaxDecimals);
  }
  if (!format.empty())
    if (auto factor = ParseFloat(format)) value *= *factor;
  if (decimals > 0) width += decimals + 1;
  line.insert(p, FloatToStrZero(width, decimals, value));
}

}  // namespace

std::string FormatToolLine(int toolNo, std::string_view tmpl, double l, double d) {
  std::string line(tmpl);
  FillField(line, "#T", "!T", toolNo);
  FillField(line, "#D", "!D", d);
  FillField(line, "#L", "!L", l);
  return line;
}

bool BuildTemplateProgram(const std::vector<ToolRecord>& tools, std::string_view firstLine,
                          std::string_view emptyText, std::string_view lastLine,
                          std::string_view toolLine, std::string& out) {
  OffsetText text;
  if (tools.empty() && !emptyText.empty()) {
    text.Raw(emptyText);
    out = std::move(text.out);
    return true;
  }
  if (!firstLine.empty()) text.Line(firstLine);
  for (const auto& t : tools) text.Line(FormatToolLine(t.ToolNo, toolLine, t.L(), t.R()));
  if (!lastLine.empty()) text.Line(lastLine);
  out = std::move(text.out);
  return !tools.empty();
}

bool WriteTemplateProgram(std::string_view reg, std::string_view target, std::string_view firstLine,
                          std::string_view emptyText, std::string_view lastLine,
                          std::string_view toolLine) {
  RegisterLoad load = LoadRegister(reg, RecordKind::Tool);
  if (!load.ok() && load.code != kRegNotFound) return false;
  std::string text;
  bool ok = BuildTemplateProgram(DecodeTools(load.records), firstLine, emptyText, lastLine,
                                 toolLine, text);
  return WriteOffsetFile(target, text) && ok;
}

}  // namespace zova
