#include "core/config/profile_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "core/latin1.h"

namespace zova {

namespace {

bool ReadWhole(const std::string& path, std::string& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      return n == 0;
    }
    out.append(buf, static_cast<size_t>(n));
  }
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Exclusive advisory lock held for the life of the object; best effort when
// the lock file cannot be created (a read-only directory then fails the write anyway).
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) < 0 && errno == EINTR) {
      }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

bool ProfileFile::StatFile(const std::string& path, Stamp& stamp) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    stamp = Stamp{};
    return false;
  }
  stamp.dev = st.st_dev;
  stamp.ino = st.st_ino;
  stamp.size = st.st_size;
  stamp.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return true;
}

std::shared_ptr<ProfileFile::Snapshot> ProfileFile::Load(const std::string& path,
                                                         const Stamp& stamp, bool* utf8) {
  std::string raw;
  auto snap = std::make_shared<Snapshot>();
  snap->stamp = stamp;
  bool isUtf8 = false;
  if (ReadWhole(path, raw)) {
    // A UTF-8 byte order mark is not part of the first line.
    if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    isUtf8 = IsValidUtf8(raw);
    snap->text = ProfileText(isUtf8 ? Utf8ToLatin1(raw) : raw);
  }
  if (utf8) *utf8 = isUtf8;
  return snap;
}

std::shared_ptr<const ProfileFile::Snapshot> ProfileFile::Current() {
  Stamp now;
  StatFile(path_, now);
  {
    std::shared_lock lock(mutex_);
    if (snapshot_ && snapshot_->stamp == now) return snapshot_;
  }
  auto fresh = Load(path_, now);
  std::unique_lock lock(mutex_);
  snapshot_ = fresh;
  return fresh;
}

std::optional<std::string> ProfileFile::Read(std::string_view section, std::string_view key) {
  return Current()->text.Get(section, key);
}

bool ProfileFile::HasSection(std::string_view section) {
  return Current()->text.HasSection(section);
}

std::vector<std::string> ProfileFile::KeysOf(std::string_view section) {
  return Current()->text.KeysOf(section);
}

bool ProfileFile::Exists() {
  Stamp s;
  return StatFile(path_, s);
}

bool ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::lock_guard writer(writeMutex_);
  FileLock lock(path_);
  Stamp before;
  bool existed = StatFile(path_, before);
  bool utf8 = false;
  auto snap = Load(path_, before, &utf8);
  if (!existed) utf8 = true;  // a new file is written for people: UTF-8
  snap->text.Set(section, key, value);
  std::string out = snap->text.Text();
  if (utf8) out = Latin1ToUtf8(out);

  std::string tmp = path_ + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (existed) {
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  }
  bool ok = WriteAll(fd, out) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(tmp.c_str(), path_.c_str()) != 0) {
    int saved = errno;
    ::unlink(tmp.c_str());
    errno = saved;
    return false;
  }
  Stamp after;
  StatFile(path_, after);
  snap->stamp = after;
  std::unique_lock cache(mutex_);
  snapshot_ = snap;
  return true;
}

ProfileFile& ProfileAt(const std::string& fsPath) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<ProfileFile>> files;
  std::lock_guard lock(mutex);
  auto& slot = files[fsPath];
  if (!slot) slot = std::make_unique<ProfileFile>(fsPath);
  return *slot;
}

}  // namespace zova
