#include "tools/offset_reader.h"

#include <algorithm>
#include <cmath>

#include "core/latin1.h"
#include "core/textfile.h"
#include "core/uihost.h"
#include "tools/presetter.h"
#include "tools/register_file.h"

namespace zova {

namespace {

bool Has(std::string_view s, std::string_view k) {
  return s.find(k) != std::string_view::npos;
}

// The number after Label (blanks skipped: some controls pad their columns),
// scaled when written without a decimal point.
bool Value(std::string_view line, std::string_view label, double mult, double& v) {
  size_t at = line.find(label);
  if (at == std::string_view::npos) return false;
  std::string_view rest = line.substr(at + label.size());
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (!NumberAfter(rest, "", v)) return false;
  size_t end = rest.find_first_not_of("+-0123456789.,");
  std::string_view text = rest.substr(0, end);
  if (mult > 1 && text.find_first_of(".,") == std::string_view::npos) v /= mult;
  return true;
}

bool ToolNumber(std::string_view line, std::string_view label, int32_t& no) {
  double v = 0;
  if (!NumberAfter(line, label, v) || v < 0 || v > 2147483647.0) return false;
  no = static_cast<int32_t>(std::lround(v));
  return true;
}

void Add(std::vector<OffsetUpdate>& out, int32_t no, int real, double v) {
  out.push_back({no, real, v});
}

}  // namespace

std::vector<OffsetUpdate> ParseOffsetLine(std::string_view raw, double mult) {
  std::string upper = UpperCase(raw);
  std::string_view line = upper;
  std::vector<OffsetUpdate> out;
  int32_t no = 0;
  double v = 0;
  if (Has(line, "G10L41T")) {
    if (!ToolNumber(line, "G10L41T", no)) return out;
    if (Value(line, "E", 1, v)) Add(out, no, kR, v);
    if (Value(line, "H", 1, v)) Add(out, no, kL, v);
  } else if (Has(line, "G10") && Has(line, " L1")) {
    static constexpr std::pair<const char*, int> kTables[] = {
        {" L10", kL}, {" L11", kDL}, {" L12", kR}, {" L13", kDR}};
    for (const auto& [key, real] : kTables)
      if (Has(line, key) && ToolNumber(line, " P", no) && Value(line, " R", mult, v))
        Add(out, no, real, v);
  } else if (Has(line, "G92 D")) {
    if (!ToolNumber(line, "G92 D", no)) return out;
    std::string_view rest = line.substr(line.find("G92 D") + 5);
    if (Value(rest, " D", 1, v)) Add(out, no, kL, v);
    if (Value(rest, " P", 1, v)) Add(out, no, kR, v);
  } else if (Has(line, "#TN")) {
    if (!ToolNumber(line, "#TN", no)) return out;
    if (Value(line, "#I1=", 1, v) || Value(line, "#I1", 1, v)) Add(out, no, kL, v);
    if (Value(line, "#I2=", 1, v) || Value(line, "#I2", 1, v)) Add(out, no, kR, v);
  } else if (!line.empty() && line[0] == 'D' && Has(line, "P 1=")) {
    if (!ToolNumber(line, "D", no)) return out;
    // P 1 is the length and P 2 the radius; the other parameters are the
    // control's own.
    if (Value(line, "P 1=", 1, v)) Add(out, no, kL, v);
    if (Value(line, "P 2=", 1, v)) Add(out, no, kR, v);
  }
  return out;
}

void ApplyOffsetUpdates(const std::vector<OffsetUpdate>& updates,
                        std::vector<ToolRecord>& records) {
  for (const auto& u : updates) {
    auto it = std::lower_bound(records.begin(), records.end(), u.ToolNo,
                               [](const ToolRecord& t, int32_t n) { return t.ToolNo < n; });
    if (it == records.end() || it->ToolNo != u.ToolNo) {
      ToolRecord fresh;
      fresh.ToolNo = u.ToolNo;
      it = records.insert(it, fresh);
    }
    it->Reals[static_cast<size_t>(u.Real)] = u.Value;
  }
}

bool StoreOffsetProgram(std::string_view file, std::string_view reg, bool expires, double mult,
                        std::string_view caption) {
  auto fail = [&] {
    ShowNotice(caption, "Feil ved lagring");
    return false;
  };
  std::vector<OffsetUpdate> updates;
  TextFile in;
  bool ok = true;
  OpenRead(file, in, ok);
  if (!ok) return fail();
  std::string line;
  while (ok) {
    ReadTextLine(in, line, ok);
    if (!ok) break;
    auto u = ParseOffsetLine(line, mult);
    updates.insert(updates.end(), u.begin(), u.end());
  }
  TToolRegister r;
  if (r.Open(reg, RegisterMode::Write) != kRegOk) return fail();
  std::vector<RawRecord> raw;
  std::string error;
  std::vector<ToolRecord> records;
  if (!expires) {
    if (!r.ReadAll(RecordKind::Tool, raw, error)) return fail();  // never repair
    records = DecodeTools(raw);
  }
  ApplyOffsetUpdates(updates, records);
  if (!r.Replace(records)) return fail();
  return true;
}

}  // namespace zova
