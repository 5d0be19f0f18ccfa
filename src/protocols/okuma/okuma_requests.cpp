#include "protocols/okuma/okuma_requests.h"

#include <cstdio>

#include "core/latin1.h"

namespace zova::okuma {

namespace {

// A plain decimal count; anything else is no number.
std::optional<size_t> EntryNumber(std::string_view s) {
  s = s.substr(0, s.find_last_not_of(' ') + 1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  if (s.empty() || s.size() > 9) return std::nullopt;
  size_t n = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return std::nullopt;
    n = n * 10 + static_cast<size_t>(ch - '0');
  }
  return n;
}

}  // namespace

OkumaRequest ClassifyOkumaTelegram(std::string_view telegram) {
  const std::string_view head = telegram.substr(0, 4);
  if (head == "PTCM") return OkumaRequest::kStartup;
  if (head == "LIPM") return OkumaRequest::kListDirectory;
  if (head == "PTPM") return OkumaRequest::kSendProgram;
  if (head == "MCPM") return OkumaRequest::kNameSequence;
  if (head == "PRPM") return OkumaRequest::kReceiveProgram;
  return OkumaRequest::kNone;
}

ListRequest ParseListRequest(std::string_view telegram) {
  ListRequest r;
  std::string_view rest = telegram.size() > 4 ? telegram.substr(4) : std::string_view();
  const size_t c1 = rest.find(',');
  r.mask = std::string(rest.substr(0, c1));
  if (c1 == std::string_view::npos) return r;
  rest.remove_prefix(c1 + 1);
  const size_t c2 = rest.find(',');
  r.first = EntryNumber(rest.substr(0, c2)).value_or(0);
  if (c2 != std::string_view::npos) r.last = EntryNumber(rest.substr(c2 + 1));
  return r;
}

std::string ListingLine(const DirEntry& entry) {
  std::string line = entry.directory ? "<" + entry.name + ">" : UpperCase(entry.name);
  char tail[64];
  const std::tm& t = entry.modified;
  std::snprintf(tail, sizeof tail, "%9llu %04d.%02d.%02d %02d:%02d:%02d 00",
                static_cast<unsigned long long>(entry.size), t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return line + tail;
}

std::string JoinListing(const std::vector<std::string>& lines, const ListRequest& request) {
  std::string out;
  if (lines.empty()) return out;
  size_t last = lines.size() - 1;
  if (request.last && *request.last < last) last = *request.last;
  for (size_t i = request.first; i <= last && i < lines.size(); ++i) out += lines[i] + "\n";
  return out;
}

ReadinessStep OnReadiness(bool ready, bool& ncReady, bool resetKey) {
  ReadinessStep step;
  if (ready == ncReady) return step;
  ncReady = ready;
  step.changed = true;
  step.status = ready ? "NC klar for kommunikasjon" : "NC inaktiv";
  step.contact = ready && !resetKey;
  step.clearTegn = !step.contact;
  return step;
}

}  // namespace zova::okuma
