// The Mazatrol line rules on any bytes: replies are cut at EOT however the
// bytes arrive, a line a control frames comes back with its check passing,
// a learned place reads back the test program's number and title, and the
// name and send rules take any text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "protocols/mazatrol/mazatrol_framer.h"
#include "protocols/mazatrol/mazatrol_layout.h"
#include "protocols/mazatrol/mazatrol_send_lines.h"

namespace {

using namespace zova::mazatrol;

std::vector<std::string> Replies(std::string_view bytes) {
  std::vector<std::string> out;
  ReplyCollector c;
  for (char ch : bytes) {
    if (!c.Feed(ch)) continue;
    out.push_back(c.Reply());
    c.Reset();
  }
  return out;
}

void CheckLearning(std::string_view line) {
  if (auto n = FindNumberPlace(line)) {
    const auto got = DecodeNumber(line, {1, n->start, n->width, n->swap});
    if (!got || *got != (n->width == 8 ? 33333333 : 3333)) std::abort();
  }
  if (auto t = FindTitlePlace(line)) {
    if (t->start % 2 != 1 || t->length < 1) std::abort();
    const std::string title = DecodeTitle(line, {1, "", t->start, t->length, t->plain});
    if (title != std::string(static_cast<size_t>(t->length), '3')) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> replies = Replies(in);
  for (const std::string& r : replies) {
    if (r.find(kEot) != std::string::npos) std::abort();
    KindOf(r);
    if (auto line = ExtractLine(r)) CheckLine(*line, 130);
  }

  // Round trip: each piece of the input between EOTs (ETX taken out) as a
  // line a control frames comes back whole with its check passing.
  std::string text;
  for (char ch : in)
    if (ch != kEtx && ch != kEot) text += ch;
  const std::string line = WithCheck(text);
  const std::string telegram = std::string(kProgramLine) + text + kEtx + LineCheck(text);
  const auto back = ExtractLine(telegram);
  if (!back || *back != line) std::abort();
  const int length = static_cast<int>(line.size());
  if (length >= 10 && length % 2 == 0 && !CheckLine(line, length).empty()) std::abort();
  // The station's telegram of the line carries the same text and check.
  const std::string sent = LineTelegram(line);
  if (sent.substr(4, text.size()) != text || sent.back() != kEot) std::abort();

  CheckLearning(in);
  zova::CharSet extra;
  extra.set('/');
  const std::string name = TitleFileName(in, size % 2 == 0, extra, 4, ".Maz");
  if (!name.empty() && name.find('\0') != std::string::npos) std::abort();
  const std::string stored = StoredForm(in);
  if (stored.find_first_of("\r\n") != std::string::npos) std::abort();
  if (in.find_first_of("\x1D\x1E") == std::string_view::npos && LineForm(stored) != in)
    std::abort();

  SjekkFormatter f(static_cast<int>(size % 140));
  size_t from = 0;
  for (size_t i = 0; i <= in.size(); ++i) {
    if (i < in.size() && in[i] != '\n') continue;
    for (const std::string& l : f.Feed(in.substr(from, i - from)))
      if (l.find_first_of(std::string{kStx, kEtx, kEot}) != std::string::npos) std::abort();
    from = i + 1;
  }
  f.Finish();
  return 0;
}
