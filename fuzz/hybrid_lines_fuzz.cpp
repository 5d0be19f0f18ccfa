// The lines of a Hybrid upload: any bytes are taken without a fault, and
// lines sent each with CR LF and ended by SUB come back as they were, with
// one ">" for every LF.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "serial/variants/hybrid_dialogue.h"

namespace {

using zova::PromptedLineSplitter;
using End = PromptedLineSplitter::End;

struct Upload {
  std::vector<std::string> lines;
  size_t prompts = 0;
  bool ended = false;  // a SUB line came
};

Upload Take(std::string_view stream) {
  PromptedLineSplitter splitter;
  Upload out;
  std::string line;
  for (char ch : stream) {
    const PromptedLineSplitter::Step step = splitter.Take(ch);
    if (step.prompt) ++out.prompts;
    if (step.end == End::None) continue;
    if (splitter.Line().size() > PromptedLineSplitter::kMaxLine) std::abort();
    if (step.end == End::Sub) {
      out.ended = true;
      break;
    }
    line += splitter.Line();
    if (step.end == End::Line) {
      out.lines.push_back(line);
      line.clear();
    }
    splitter.Clear();
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  Take(in);

  // Round trip: the input cut into lines at its line ends; a line that
  // begins with SUB would end the upload, so it gets a blank before it.
  std::vector<std::string> sent(1);
  for (char ch : in) {
    if (ch == '\r' || ch == '\n')
      sent.emplace_back();
    else
      sent.back() += ch;
  }
  std::string stream;
  std::vector<std::string> want;
  for (const std::string& l : sent) {
    if (l.empty()) continue;
    std::string line(l[0] == '\x1a' ? 1 : 0, ' ');
    line += l;
    stream += line + "\r\n";
    want.push_back(line);
  }
  stream += '\x1a';
  const Upload back = Take(stream);
  if (!back.ended || back.lines != want || back.prompts != want.size()) std::abort();
  return 0;
}
