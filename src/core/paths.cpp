#include "core/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/latin1.h"

namespace zova {

int ExtPos(std::string_view name) {
  for (size_t i = name.size(); i > 0; --i) {
    char c = name[i - 1];
    if (IsSep(c)) return 0;
    if (c == '.') return static_cast<int>(i);
  }
  return 0;
}

bool HasShortExt(std::string_view name) {
  int p = ExtPos(name);
  return p > 0 && static_cast<int>(name.size()) - p <= 4;
}

std::string StripExt(std::string_view name) {
  int p = ExtPos(name);
  return std::string(p > 0 ? name.substr(0, static_cast<size_t>(p - 1)) : name);
}

std::string ExtOf(std::string_view name) {
  int p = ExtPos(name);
  return p > 0 ? std::string(name.substr(static_cast<size_t>(p - 1))) : std::string();
}

std::string FileNameOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsSep(path[i - 1])) return std::string(path.substr(i));
  return std::string(path);
}

std::string DirOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsSep(path[i - 1])) return std::string(path.substr(0, i));
  return {};
}

bool IsAbsolutePath(std::string_view p) {
  return (p.size() >= 2 && p[1] == ':') || (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) ||
         (!p.empty() && p[0] == '/');
}

std::string DriveOrShare(std::string_view p) {
  if (p.size() >= 2 && p[1] == ':') return std::string(p.substr(0, 2));
  if (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) {
    // "\\server\share\..." -> "\\server\share": up to the first separator from position 4 on.
    size_t server = p.find_first_of("\\/", 2);
    if (server == std::string_view::npos) return std::string(p);
    size_t share = p.find_first_of("\\/", std::max<size_t>(server + 1, 3));
    return std::string(p.substr(0, share));
  }
  return {};
}

void PathPrefix(std::string_view name, std::string& base) {
  if (IsAbsolutePath(name))
    base.clear();
  else if (!name.empty() && IsSep(name[0]))
    base = DriveOrShare(base);
}

std::string WithTrailingSep(std::string_view dir) {
  std::string d(dir);
  if (d.empty() || IsSep(d.back())) return d;
  bool slashStyle = d.find('/') != std::string::npos && d.find('\\') == std::string::npos;
  d.push_back(slashStyle ? '/' : '\\');
  return d;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  while (!name.empty() && IsSep(name.front())) name.remove_prefix(1);
  return WithTrailingSep(dir) + std::string(name);
}

namespace {

std::string EnvOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

bool IsDirFs(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ExistsFs(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// The entry of Dir whose name equals Name case-insensitively, or Name itself.
std::string FindEntry(const std::string& dir, const std::string& name) {
  std::string exact = dir + name;
  if (ExistsFs(exact)) return name;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return name;
  std::string found = name;
  while (dirent* e = ::readdir(d)) {
    if (EqualsNoCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

// "/"-separated form with drive letters and shares mapped.
std::string MapRoot(std::string_view p) {
  std::string s(p);
  std::replace(s.begin(), s.end(), '\\', '/');
  if (s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]))) {
    char letter = UpperChar(s[0]);
    std::string var = std::string("ZOVA_DRIVE_") + letter;
    const char* mapped = std::getenv(var.c_str());
    std::string root = mapped && *mapped ? mapped : "/unmapped-drive-" + std::string(1, letter);
    std::string rest = s.substr(2);
    if (!rest.empty() && rest[0] != '/') rest.insert(0, "/");
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root + (rest.empty() ? "/" : rest);
  }
  if (s.size() >= 2 && s[0] == '/' && s[1] == '/') {
    std::string root = EnvOr("ZOVA_UNC_ROOT", "/mnt");
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root + s.substr(1);
  }
  return s;
}

}  // namespace

std::string FsPath(std::string_view stationPath) {
  std::string s = MapRoot(stationPath);
  std::string out;
  size_t i = 0;
  if (!s.empty() && s[0] == '/') {
    out = "/";
    i = 1;
  }
  bool probing = true;  // stops once a component does not exist
  while (i <= s.size()) {
    size_t e = s.find('/', i);
    if (e == std::string::npos) e = s.size();
    std::string comp = s.substr(i, e - i);
    if (!comp.empty()) {
      if (probing && comp != "." && comp != "..") {
        std::string name = FindEntry(out, comp);
        probing = ExistsFs(out + name);
        out += name;
      } else {
        out += comp;
      }
      if (e < s.size()) out += '/';
    }
    i = e + 1;
  }
  return out;
}

bool FileExists(std::string_view stationPath) {
  struct stat st;
  return ::stat(FsPath(stationPath).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirExists(std::string_view stationPath) {
  return !stationPath.empty() && IsDirFs(FsPath(stationPath));
}

bool ForceDirectories(std::string_view stationPath) {
  std::string p = FsPath(stationPath);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty()) return false;
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i == p.size() || p[i] == '/') {
      std::string part = p.substr(0, i);
      if (!IsDirFs(part) && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  return IsDirFs(p);
}

std::string DefaultIniPath() {
  return "/etc/zova/Zova.ini";
}
std::string DefaultDataRoot() {
  return "/var/lib/zova/";
}
std::string HomeDir() {
  return WithTrailingSep(EnvOr("HOME", "/root"));
}
std::string TempDir() {
  return WithTrailingSep(EnvOr("TMPDIR", "/tmp"));
}

std::string ProgramDir() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return DirOf(std::string_view(buf, static_cast<size_t>(n)));
}

bool MaskMatches(std::string_view mask, std::string_view name) {
  // Iterative wildcard match with backtracking to the last "*".
  size_t m = 0, n = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || UpperChar(mask[m]) == UpperChar(name[n]))) {
      ++m;
      ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  // "*.*" matches names without a dot too, as on Windows.
  if (m + 2 == mask.size() && mask.substr(m) == ".*") return true;
  return m == mask.size();
}

std::vector<std::string> ListFiles(std::string_view stationDir, std::string_view mask) {
  std::vector<std::string> names;
  std::string dir = FsPath(stationDir);
  if (!dir.empty() && dir.back() != '/') dir += '/';
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (::stat((dir + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    if (MaskMatches(mask, name)) names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

void DeleteFiles(std::string_view mask) {
  std::string dir = DirOf(mask);
  std::string pattern = FileNameOf(mask);
  std::string base = FsPath(dir.empty() ? "./" : dir);
  if (base.empty() || base.back() != '/') base += '/';
  for (const std::string& name : ListFiles(base, pattern)) ::unlink((base + name).c_str());
}

}  // namespace zova
