// The logging box's framing: any bytes are taken without harm, a report is
// decided the same whether its bytes come alone or among others, and a word
// the box reports comes back whole whatever noise went before it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "statuslog/box/box_framer.h"

using zova::box::BoxEvent;
using zova::box::BoxFramer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint16_t word = static_cast<uint16_t>(data[0] << 8 | data[1]);
  const std::string noise(reinterpret_cast<const char*>(data) + 2, size - 2);

  // Any bytes: digits kept are digits, and a report's word is their last four.
  BoxFramer f;
  for (char ch : noise) {
    if (f.Feed(ch) == BoxEvent::Report && f.Word() != zova::box::ReportWord(f.Digits()))
      std::abort();
    for (char d : f.Digits())
      if (!zova::box::IsReportDigit(d)) std::abort();
  }

  // Round trip: after the noise (and a cut report it may leave open, given
  // up as a failed read gives it up) the box's report decodes to its word.
  f.Clear();
  char report[8];
  std::snprintf(report, sizeof report, "\x02%04X\x03", word);
  int reports = 0;
  for (const char* p = report; *p; ++p)
    if (f.Feed(*p) == BoxEvent::Report) {
      ++reports;
      if (f.Word() != word) std::abort();
    }
  if (reports != 1) std::abort();
  return 0;
}
