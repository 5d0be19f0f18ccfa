#pragma once
// The text of an offset program as it is built: lines end in CR LF, raw text
// is added as it stands.

#include <string>
#include <string_view>
#include <vector>

namespace zova {

struct OffsetText {
  std::string out;
  void Line(std::string_view s) {
    out.append(s);
    out.append("\r\n");
  }
  void Raw(std::string_view s) { out.append(s); }
  std::vector<std::string> warnings;
};

// Writes Text as Target (a station path). False when it cannot be created,
// written or closed.
bool WriteOffsetFile(std::string_view target, std::string_view text);

}  // namespace zova
