#include "files/storage/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "core/paths.h"

namespace zova {
namespace {

int Fail() {
  return errno != 0 ? errno : EIO;
}

int WriteAll(int fd, const char* data, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return Fail();
    }
    data += w;
    n -= static_cast<size_t>(w);
  }
  return 0;
}

// Copies the whole of In to Out.
int Pump(int in, AtomicWriter& out) {
  std::vector<char> buf(1 << 16);
  for (;;) {
    ssize_t r = ::read(in, buf.data(), buf.size());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return Fail();
    if (r == 0) return 0;
    if (int e = out.Write(buf.data(), static_cast<size_t>(r))) return e;
  }
}

void SyncDir(const std::string& fsFile) {
  std::string dir = DirOf(fsFile);
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicWriter::~AtomicWriter() {
  Abort();
}

int AtomicWriter::Open(std::string_view target, bool keepOld) {
  Abort();
  target_ = FsPath(target);
  std::string dir = DirOf(target_);
  temp_ = dir + "." + FileNameOf(target_) + ".zovatmp-XXXXXX";
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    int e = Fail();
    temp_.clear();
    return e;
  }
  ::fchmod(fd_, 0644);
  if (!keepOld) return 0;
  int in = ::open(target_.c_str(), O_RDONLY);
  if (in < 0) return errno == ENOENT ? 0 : (Abort(), Fail());
  int e = Pump(in, *this);
  ::close(in);
  if (e) Abort();
  return e;
}

int AtomicWriter::Write(const char* data, size_t n) {
  if (fd_ < 0) return EBADF;
  return WriteAll(fd_, data, n);
}

int AtomicWriter::Commit() {
  if (fd_ < 0) return EBADF;
  int e = ::fsync(fd_) == 0 ? 0 : Fail();
  if (::close(fd_) != 0 && e == 0) e = Fail();
  fd_ = -1;
  if (e == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) e = Fail();
  if (e != 0) {
    ::unlink(temp_.c_str());
  } else {
    SyncDir(target_);
  }
  temp_.clear();
  return e;
}

void AtomicWriter::Abort() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

int CopyFileAtomic(std::string_view source, std::string_view target) {
  int in = ::open(FsPath(source).c_str(), O_RDONLY);
  if (in < 0) return Fail();
  AtomicWriter w;
  int e = w.Open(target);
  if (e == 0) e = Pump(in, w);
  ::close(in);
  if (e == 0) e = w.Commit();
  return e;
}

int LinkOrCopy(std::string_view source, std::string_view target) {
  const std::string src = FsPath(source), dst = FsPath(target);
  // Link under a temporary name first, so the target is replaced in one step.
  std::string tmp = dst + ".zovalink";
  ::unlink(tmp.c_str());
  if (::link(src.c_str(), tmp.c_str()) == 0) {
    if (::rename(tmp.c_str(), dst.c_str()) == 0) return 0;
    ::unlink(tmp.c_str());
  }
  return CopyFileAtomic(source, target);
}

int MoveFile(std::string_view source, std::string_view target) {
  const std::string src = FsPath(source), dst = FsPath(target);
  if (::rename(src.c_str(), dst.c_str()) == 0) return 0;
  if (errno != EXDEV) return Fail();
  int e = CopyFileAtomic(source, target);
  if (e == 0) ::unlink(src.c_str());
  return e;
}

int RemoveFile(std::string_view path) {
  if (::unlink(FsPath(path).c_str()) == 0 || errno == ENOENT) return 0;
  return Fail();
}

}  // namespace zova
