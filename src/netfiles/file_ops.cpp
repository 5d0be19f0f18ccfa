#include "netfiles/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/error_text.h"
#include "core/paths.h"
#include "netfiles/backup_names.h"

namespace zova {

namespace {

bool Fail(std::string& error, int err) {
  error = ErrorText(err, ErrorContext::FileCopy);
  return false;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// Copies the open In to the open Out; errno tells why it failed.
bool CopyData(int in, int out, uint64_t& total) {
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(in, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) return true;
    if (!WriteAll(out, buf, static_cast<size_t>(r))) {
      if (errno == 0) errno = EIO;
      return false;
    }
    total += static_cast<uint64_t>(r);
  }
}

std::string TempNameFor(const std::string& fsDst) {
  size_t slash = fsDst.rfind('/');
  std::string dir = slash == std::string::npos ? "" : fsDst.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? fsDst : fsDst.substr(slash + 1);
  return dir + ".~zova-" + std::to_string(::getpid()) + "-" + name;
}

}  // namespace

bool SafeCopyFile(const std::string& src, const std::string& dst, std::string& error,
                  uint64_t* bytes) {
  std::string fsSrc = FsPath(src), fsDst = FsPath(dst);
  int in = ::open(fsSrc.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return Fail(error, errno);
  struct stat st;
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    int err = S_ISDIR(st.st_mode) ? EISDIR : (errno ? errno : EINVAL);
    ::close(in);
    return Fail(error, err);
  }
  std::string tmp = TempNameFor(fsDst);
  int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) {
    int err = errno;
    ::close(in);
    return Fail(error, err);
  }
  uint64_t total = 0;
  bool ok = CopyData(in, out, total) && ::fsync(out) == 0;
  int err = errno;
  ::close(in);
  if (::close(out) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(tmp.c_str(), fsDst.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    return Fail(error, err ? err : EIO);
  }
  if (bytes) *bytes = total;
  return true;
}

bool MoveFileOver(const std::string& src, const std::string& dst, std::string& error,
                  uint64_t* bytes) {
  return MoveFsFileOver(FsPath(src), FsPath(dst), error, bytes);
}

bool MoveFsFileOver(const std::string& fsSrc, const std::string& fsDst, std::string& error,
                    uint64_t* bytes) {
  const std::string& src = fsSrc;
  const std::string& dst = fsDst;
  struct stat st;
  if (::lstat(fsSrc.c_str(), &st) != 0) return Fail(error, errno);
  if (!S_ISREG(st.st_mode)) return Fail(error, EINVAL);
  if (::rename(fsSrc.c_str(), fsDst.c_str()) == 0) {
    if (bytes) *bytes = static_cast<uint64_t>(st.st_size);
    return true;
  }
  if (errno != EXDEV) return Fail(error, errno);
  if (!SafeCopyFile(src, dst, error, bytes)) return false;
  if (::unlink(fsSrc.c_str()) != 0) return Fail(error, errno);
  return true;
}

std::vector<std::string> RegularFiles(const std::string& dir, const std::string& mask) {
  std::vector<std::string> names;
  std::string fs = FsPath(dir);
  if (!fs.empty() && fs.back() != '/') fs += '/';
  DIR* d = ::opendir(fs.empty() ? "." : fs.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (::stat((fs + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (MaskMatches(mask, name)) names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

bool RemoveFile(const std::string& path, std::string& error) {
  if (::unlink(FsPath(path).c_str()) == 0 || errno == ENOENT) return true;
  return Fail(error, errno);
}

bool DeleteAllFiles(const std::string& dir, std::string& error) {
  bool ok = true;
  for (const std::string& name : RegularFiles(dir)) {
    std::string e;
    if (!RemoveFile(JoinPath(dir, name), e) && ok) {
      error = e;
      ok = false;
    }
  }
  return ok;
}

bool RemoveTree(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(FsPath(path), ec);
  return !std::filesystem::exists(FsPath(path), ec);
}

bool FileSize(const std::string& path, uint64_t& size) {
  struct stat st;
  if (::stat(FsPath(path).c_str(), &st) != 0) return false;
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

bool ReadFileHead(const std::string& path, size_t max, std::string& data, std::string& error) {
  return ReadFsFileHead(FsPath(path), max, data, error);
}

bool ReadFsFileHead(const std::string& fsPath, size_t max, std::string& data, std::string& error) {
  data.clear();
  int fd = ::open(fsPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(error, errno);
  data.resize(max);
  size_t got = 0;
  while (got < max) {
    ssize_t r = ::read(fd, data.data() + got, max - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      int err = errno;
      ::close(fd);
      data.clear();
      return Fail(error, err);
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  ::close(fd);
  data.resize(got);
  return true;
}

bool RotateDirBackups(const std::string& dir, int n, std::string& error) {
  if (n < 1) return true;
  RemoveTree(JoinPath(dir, DirBackupName(n)));
  for (int k = n; k >= 2; --k) {
    std::string from = FsPath(JoinPath(dir, DirBackupName(k - 1)));
    if (::access(from.c_str(), F_OK) != 0) continue;
    if (::rename(from.c_str(), FsPath(JoinPath(dir, DirBackupName(k))).c_str()) != 0)
      return Fail(error, errno);
  }
  std::string b1 = JoinPath(dir, DirBackupName(1));
  if (!ForceDirectories(b1)) return Fail(error, errno ? errno : EACCES);
  bool ok = true;
  for (const std::string& name : RegularFiles(dir)) {
    std::string e;
    if (!MoveFileOver(JoinPath(dir, name), JoinPath(b1, name), e) && ok) {
      error = e;
      ok = false;
    }
  }
  return ok;
}

bool BackupFile(const std::string& file, int n, const std::string& backupKatalog,
                std::string& error) {
  if (!FileBackupApplies(n, backupKatalog, file) || !FileExists(file) || !DirExists(backupKatalog))
    return true;
  std::string base = JoinPath(backupKatalog, StripExt(FileNameOf(file)));
  std::string e;
  RemoveFile(FileBackupName(base, n), e);
  for (int k = n; k >= 2; --k) {
    std::string from = FsPath(FileBackupName(base, k - 1));
    if (::access(from.c_str(), F_OK) == 0 &&
        ::rename(from.c_str(), FsPath(FileBackupName(base, k)).c_str()) != 0)
      return Fail(error, errno);
  }
  return MoveFileOver(file, FileBackupName(base, 1), error);
}

bool DirTime(const std::string& dir, WallTime& t) {
  struct stat st;
  if (::stat(FsPath(dir).c_str(), &st) != 0) return false;
  auto ns = std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec);
  t = WallTime(std::chrono::duration_cast<WallTime::duration>(ns));
  return true;
}

bool SetDirTime(const std::string& dir, WallTime t) {
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(ns / 1000000000);
  times[0].tv_nsec = static_cast<long>(ns % 1000000000);
  times[1] = times[0];
  return ::utimensat(AT_FDCWD, FsPath(dir).c_str(), times, 0) == 0;
}

bool TimedDirBackup(const std::string& dir, int n, WallTime now, std::string& error) {
  WallTime t;
  if (!DirTime(dir, t) || !DirBackupDue(t, now)) return false;
  RotateDirBackups(dir, n, error);
  SetDirTime(dir, now);
  return true;
}

}  // namespace zova
