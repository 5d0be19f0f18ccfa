#include "protocols/mazatrol/mazatrol_framer.h"

namespace zova::mazatrol {

namespace {

constexpr size_t kMinLine = 10;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string LineCheck(std::string_view text) {
  int sum = 0;
  for (char ch : text) sum = (sum + static_cast<unsigned char>(ch) - 48) & 0xFF;
  static constexpr char kHex[] = "0123456789ABCDEF";
  return {kHex[sum >> 4], kHex[sum & 15]};
}

ReplyKind KindOf(std::string_view reply) {
  if (reply.empty()) return ReplyKind::Empty;
  if (StartsWith(reply, kProgramLine)) return ReplyKind::ProgramLine;
  if (StartsWith(reply, kTapeMark)) return ReplyKind::TapeMark;
  if (StartsWith(reply, kRequest)) return ReplyKind::Request;
  if (StartsWith(reply, kSectionEnd)) return ReplyKind::SectionEnd;
  if (StartsWith(reply, kEnd)) return ReplyKind::End;
  if (reply[0] == 'q') return ReplyKind::Status;
  return ReplyKind::Other;
}

bool ReplyCollector::Feed(char ch) {
  if (ch == kEot) return true;
  reply_ += ch;
  return false;
}

std::string ShortTelegram(std::string_view text) {
  return std::string(text) + kEot;
}

std::string LineTelegram(std::string_view line) {
  const size_t body = line.size() >= 2 ? line.size() - 2 : line.size();
  std::string t(kAnswerRepeat);
  t += kStx;
  t.append(line.substr(0, body));
  t += kEtx;
  t.append(line.substr(body));
  t += kEot;
  return t;
}

std::optional<std::string> ExtractLine(std::string_view reply) {
  if (reply.size() < 3) return std::nullopt;
  std::string_view rest = reply.substr(3);
  const size_t etx = rest.find(kEtx);
  if (etx == std::string_view::npos) return std::nullopt;
  std::string line(rest.substr(0, etx));
  line.append(rest.substr(etx + 1));
  return line;
}

std::string CheckLine(std::string_view line, int linjeLengde) {
  const size_t n = line.size();
  if (n < kMinLine || n % 2 != 0 || (linjeLengde >= 1 && n != static_cast<size_t>(linjeLengde)))
    return "Lengde=" + std::to_string(n);
  const std::string check = LineCheck(line.substr(0, n - 2));
  if (line.substr(n - 2) != check) return "BCC=" + check;
  return "";
}

}  // namespace zova::mazatrol
