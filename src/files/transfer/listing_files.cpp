#include "files/transfer/listing_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <ctime>
#include <fstream>
#include <iterator>

#include "core/latin1.h"
#include "core/paths.h"
#include "files/storage/safe_file.h"

namespace zova {
namespace {

constexpr const char* kIndexName = "ArtIndex.Bin";
constexpr size_t kMaxIndexBytes = 4 << 20;

std::string_view Field(std::string_view& rest) {
  const size_t p = rest.find(';');
  std::string_view f = rest.substr(0, p);
  rest = p == std::string_view::npos ? std::string_view() : rest.substr(p + 1);
  return f;
}

ListingEntry EntryOf(const std::string& name, const struct stat& st) {
  ListingEntry e;
  e.name = name;
  e.isDir = S_ISDIR(st.st_mode);
  e.size = e.isDir ? 0 : static_cast<int64_t>(st.st_size);
  std::tm tm{};
  const time_t t = st.st_mtime;
  if (localtime_r(&t, &tm)) {
    e.day = tm.tm_mday;
    e.month = tm.tm_mon + 1;
    e.year = tm.tm_year + 1900;
  }
  return e;
}

std::string ReadIndex(const std::string& dir) {
  std::ifstream in(FsPath(JoinPath(dir, kIndexName)), std::ios::binary);
  if (!in) return "";
  std::string data(kMaxIndexBytes, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<size_t>(in.gcount()));
  return data;
}

}  // namespace

std::map<std::string, ArticleInfo> ParseArticleIndex(std::string_view data) {
  std::map<std::string, ArticleInfo> out;
  while (!data.empty()) {
    const size_t eol = data.find('\n');
    std::string_view line = data.substr(0, eol);
    data = eol == std::string_view::npos ? std::string_view() : data.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find(';') == std::string_view::npos) continue;
    std::string name = UpperCase(Trim(Field(line)));
    ArticleInfo info;
    info.article = std::string(Field(line));
    info.description = std::string(line);
    if (!name.empty()) out.emplace(std::move(name), std::move(info));
  }
  return out;
}

std::string WithArticleRecord(std::string_view data, std::string_view name,
                              const ArticleInfo& info) {
  auto field = [](std::string_view text) {
    std::string f(text);
    for (char& ch : f)
      if (ch == ';' || ch == '\r' || ch == '\n') ch = ' ';
    return f;
  };
  const std::string record =
      field(name) + ";" + field(info.article) + ";" + field(info.description);
  const std::string key = UpperCase(Trim(field(name)));
  std::string out;
  bool replaced = false;
  while (!data.empty()) {
    const size_t eol = data.find('\n');
    const size_t next = eol == std::string_view::npos ? data.size() : eol + 1;
    std::string_view line = data.substr(0, next);
    data.remove_prefix(next);
    std::string_view bare = line;
    while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.remove_suffix(1);
    const size_t semi = bare.find(';');
    if (!replaced && semi != std::string_view::npos &&
        UpperCase(Trim(bare.substr(0, semi))) == key) {
      out += record + std::string(line.substr(bare.size()));
      replaced = true;
      continue;
    }
    out += line;
  }
  if (!replaced) {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += record + "\r\n";
  }
  return out;
}

bool EnterInArticleIndex(const std::string& dir, std::string_view name, const ArticleInfo& info) {
  const std::string path = JoinPath(dir, kIndexName);
  const std::string old = ReadIndex(dir);
  // An index larger than a read takes would be cut short by the rewrite.
  if (old.size() >= kMaxIndexBytes) return false;
  const std::string data = WithArticleRecord(old, name, info);
  AtomicWriter w;
  int e = w.Open(path);
  if (!e) e = w.Write(data.data(), data.size());
  if (!e) e = w.Commit();
  return e == 0;
}

void ApplyArticleIndex(std::vector<ListingEntry>& entries,
                       const std::map<std::string, ArticleInfo>& index) {
  for (ListingEntry& e : entries) {
    auto it = index.find(UpperCase(e.name));
    if (it == index.end()) continue;
    e.article = it->second.article;
    e.description = it->second.description;
  }
}

std::vector<ListingEntry> CollectListingEntries(const std::string& dir, std::string_view mask,
                                                bool withDirs) {
  std::vector<ListingEntry> entries;
  const std::string fs = FsPath(WithTrailingSep(dir.empty() ? "./" : dir));
  DIR* d = ::opendir(fs.c_str());
  if (!d) return entries;
  while (dirent* de = ::readdir(d)) {
    const std::string name = de->d_name;
    if (name == "." || name == ".." || name == kIndexName) continue;
    struct stat st {};
    if (::stat(JoinPath(fs, name).c_str(), &st) != 0) continue;
    const bool isDir = S_ISDIR(st.st_mode);
    if (isDir ? !withDirs : !MaskMatches(mask, name)) continue;
    entries.push_back(EntryOf(name, st));
  }
  ::closedir(d);
  const std::string index = ReadIndex(dir);
  if (!index.empty()) ApplyArticleIndex(entries, ParseArticleIndex(index));
  return entries;
}

}  // namespace zova
