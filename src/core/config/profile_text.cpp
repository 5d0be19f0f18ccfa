#include "core/config/profile_text.h"

#include "core/latin1.h"

namespace zova {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool IsBlank(std::string_view line) {
  return TrimBlanks(line).empty();
}

// Name of a "[name]" header line, or nullopt.
std::optional<std::string_view> HeaderName(std::string_view line) {
  std::string_view t = TrimBlanks(line);
  if (t.empty() || t[0] != '[') return std::nullopt;
  size_t close = t.find(']');
  return TrimBlanks(
      t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

}  // namespace

bool SplitKeyLine(std::string_view line, std::string& key, std::string& value) {
  std::string_view t = TrimBlanks(line);
  if (t.empty() || t[0] == ';' || t[0] == '[') return false;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  std::string_view k = TrimBlanks(t.substr(0, eq));
  if (k.empty()) return false;
  std::string_view v = TrimBlanks(t.substr(eq + 1));
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  key.assign(k);
  value.assign(v);
  return true;
}

ProfileText::ProfileText(std::string_view text) {
  size_t crlf = text.find("\r\n");
  size_t lf = text.find('\n');
  if (lf != std::string_view::npos && (crlf == std::string_view::npos || crlf > lf)) eol_ = "\n";
  endsWithEol_ = text.empty() || text.back() == '\n' || text.back() == '\r';
  size_t i = 0;
  while (i < text.size()) {
    size_t e = text.find_first_of("\r\n", i);
    if (e == std::string_view::npos) {
      lines_.emplace_back(text.substr(i));
      break;
    }
    lines_.emplace_back(text.substr(i, e - i));
    i = e + 1;
    if (text[e] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  Index();
}

std::string ProfileText::MapKey(std::string_view section, std::string_view key) {
  std::string k = UpperCase(section);
  k.push_back('\1');
  k += UpperCase(key);
  return k;
}

void ProfileText::Index() {
  sections_.clear();
  sectionIdx_.clear();
  keyLine_.clear();
  // Keys before the first header belong to no section and are never found.
  Section* current = nullptr;
  bool currentIsFirst = false;
  std::string key, value;
  for (size_t n = 0; n < lines_.size(); ++n) {
    const std::string& line = lines_[n];
    if (auto name = HeaderName(line)) {
      std::string upper = UpperCase(*name);
      auto it = sectionIdx_.find(upper);
      currentIsFirst = it == sectionIdx_.end();
      if (currentIsFirst) {
        sectionIdx_.emplace(upper, sections_.size());
        sections_.push_back({std::string(*name), n, n});
        current = &sections_.back();
      } else {
        // A repeated section adds nothing: the first occurrence wins.
        current = nullptr;
      }
      continue;
    }
    if (!current) continue;
    if (!IsBlank(line)) current->lastContentLine = n;
    if (currentIsFirst && SplitKeyLine(line, key, value))
      keyLine_.emplace(MapKey(current->name, key), n);  // emplace keeps the first
  }
}

std::optional<std::string> ProfileText::Get(std::string_view section, std::string_view key) const {
  auto it = keyLine_.find(MapKey(section, key));
  if (it == keyLine_.end()) return std::nullopt;
  std::string k, v;
  SplitKeyLine(lines_[it->second], k, v);
  return v;
}

bool ProfileText::HasSection(std::string_view section) const {
  return sectionIdx_.count(UpperCase(section)) != 0;
}

std::vector<std::string> ProfileText::KeysOf(std::string_view section) const {
  std::vector<std::string> keys;
  auto it = sectionIdx_.find(UpperCase(section));
  if (it == sectionIdx_.end()) return keys;
  const Section& s = sections_[it->second];
  std::string k, v;
  for (size_t n = s.headerLine + 1; n < lines_.size() && !HeaderName(lines_[n]); ++n)
    if (SplitKeyLine(lines_[n], k, v)) keys.push_back(k);
  return keys;
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string newLine = std::string(key) + "=" + std::string(value);
  auto kit = keyLine_.find(MapKey(section, key));
  if (kit != keyLine_.end()) {
    // Keep the spelling of the key as it stands in the file.
    std::string k, v;
    SplitKeyLine(lines_[kit->second], k, v);
    lines_[kit->second] = k + "=" + std::string(value);
    return;
  }
  auto sit = sectionIdx_.find(UpperCase(section));
  if (sit != sectionIdx_.end()) {
    size_t at = sections_[sit->second].lastContentLine + 1;
    lines_.insert(lines_.begin() + static_cast<long>(at), newLine);
  } else {
    if (!lines_.empty() && !IsBlank(lines_.back())) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(newLine);
    endsWithEol_ = true;
  }
  Index();
}

std::string ProfileText::Text() const {
  std::string out;
  for (size_t n = 0; n < lines_.size(); ++n) {
    out += lines_[n];
    if (n + 1 < lines_.size() || endsWithEol_) out += eol_;
  }
  return out;
}

}  // namespace zova
