#include "tools/register_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "core/clock.h"
#include "core/latin1.h"
#include "core/paths.h"

namespace zova {

namespace {

constexpr int kOpenAttempts = 15;
constexpr int kExistChecks = 5;

int CodeOf(int err, RegisterMode mode) {
  switch (err) {
    case ENOENT:
      return mode == RegisterMode::Read ? kRegNotFound : kRegPathNotFound;
    case EWOULDBLOCK:
    case EACCES:
    case EPERM:
    case EROFS:
      return kRegShared;
    case ENOLCK:
    case EIO:
      return kRegLockFault;
    default:
      return err > 0 ? err : kRegLockFault;
  }
}

bool ExistsWithRetries(const std::string& path) {
  struct stat st {};
  for (int i = 0; i < kExistChecks; ++i) {
    if (::stat(path.c_str(), &st) == 0) return true;
    std::this_thread::yield();
  }
  return false;
}

// One attempt: open and lock without blocking. 0 or an errno value.
int TryOpen(const std::string& path, RegisterMode mode, int& fd) {
  int flags = mode == RegisterMode::Read ? O_RDONLY : (O_RDWR | O_CREAT);
  fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  int op = (mode == RegisterMode::Read ? LOCK_SH : LOCK_EX) | LOCK_NB;
  while (::flock(fd, op) != 0) {
    if (errno == EINTR) continue;
    int err = errno;
    ::close(fd);
    fd = -1;
    return err;
  }
  return 0;
}

bool PreadAll(int fd, uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    ssize_t got = ::pread(fd, p, n, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    n -= static_cast<size_t>(got);
    at += got;
  }
  return true;
}

bool PwriteAll(int fd, const uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    ssize_t put = ::pwrite(fd, p, n, at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    n -= static_cast<size_t>(put);
    at += put;
  }
  return true;
}

}  // namespace

TToolRegister::~TToolRegister() {
  Close();
}

int TToolRegister::Open(std::string_view name, RegisterMode mode) {
  Close();
  if (Trim(name).empty()) return kRegNoName;
  path_ = FsPath(Trim(name));
  mode_ = mode;
  next_ = 0;
  deleteOnClose_ = false;
  if (mode == RegisterMode::Read && !ExistsWithRetries(path_)) return kRegNotFound;
  int code = kRegLockFault;
  for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
    int err = TryOpen(path_, mode, fd_);
    if (err == 0) return kRegOk;
    code = CodeOf(err, mode);
    if (code == kRegNotFound || code == kRegPathNotFound) return code;
    if (attempt == kOpenAttempts) break;
    if (code == kRegShared || code == kRegLockFault)
      TheClock().Sleep(1000);
    else
      std::this_thread::yield();
  }
  return code;
}

void TToolRegister::Close() {
  if (fd_ < 0) return;
  if (deleteOnClose_ && Count() == 0) ::unlink(path_.c_str());
  ::close(fd_);  // releases the lock
  fd_ = -1;
  deleteOnClose_ = false;
}

int TToolRegister::Count() const {
  if (fd_ < 0) return 0;
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return 0;
  return static_cast<int>(
      std::min<off_t>(st.st_size / static_cast<off_t>(kToolRecordSize), 0x7FFFFFFF));
}

bool TToolRegister::Read(int index, RawRecord& r) {
  if (fd_ < 0 || index < 0 || index >= Count()) return false;
  return PreadAll(fd_, r.data(), r.size(), static_cast<off_t>(index) * kToolRecordSize);
}

bool TToolRegister::Write(int index, const RawRecord& r) {
  if (fd_ < 0 || mode_ != RegisterMode::Write || index < 0 || index > Count()) return false;
  return PwriteAll(fd_, r.data(), r.size(), static_cast<off_t>(index) * kToolRecordSize);
}

int TToolRegister::Find(int32_t toolNo) {
  int last = Count() - 1;
  RawRecord r{};
  if (last < 0 || !Read(last, r)) return -1;
  if (RawToolNo(r) == toolNo) return last;
  int lo = 0, hi = last;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    if (!Read(mid, r)) return -1;
    int32_t no = RawToolNo(r);
    if (no == toolNo) return mid;
    if (no < toolNo)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return -1;
}

bool TToolRegister::ReadFirst(RawRecord& r) {
  next_ = 0;
  return ReadNext(r);
}

bool TToolRegister::ReadNext(RawRecord& r) {
  if (Read(next_, r)) {
    ++next_;
    return true;
  }
  if (Count() == 0) deleteOnClose_ = true;
  return false;
}

bool TToolRegister::ReadAll(RecordKind kind, std::vector<RawRecord>& out, std::string& error) {
  out.clear();
  error.clear();
  if (fd_ < 0) {
    error = L1("ikke åpnet");
    return false;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) {
    error = "fstat feilet";
    return false;
  }
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  if (!bytes.empty() && !PreadAll(fd_, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size(), 0)) {
    error = "lesefeil";
    return false;
  }
  error = CheckRegisterImage(bytes, kind);
  if (!error.empty()) return false;
  out = SplitRecords(bytes);
  if (out.empty()) deleteOnClose_ = true;
  return true;
}

bool TToolRegister::Store(const RawRecord& r) {
  if (fd_ < 0 || mode_ != RegisterMode::Write) return false;
  int32_t key = RawToolNo(r);
  int at = Find(key);
  if (at >= 0) return Write(at, r);
  // Shift the tail one record up, from the end, so a failure midway leaves a
  // duplicate rather than a lost record.
  int n = Count();
  RawRecord cur{};
  int pos = n;
  while (pos > 0) {
    if (!Read(pos - 1, cur)) return false;
    if (RawToolNo(cur) < key) break;
    if (!Write(pos, cur)) return false;
    --pos;
  }
  return Write(pos, r);
}

bool TToolRegister::Replace(const std::vector<ToolRecord>& records) {
  if (fd_ < 0 || mode_ != RegisterMode::Write) return false;
  std::string bytes;
  bytes.reserve(records.size() * kToolRecordSize);
  for (const auto& t : records) {
    RawRecord r = EncodeTool(t);
    bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
  }
  if (!PwriteAll(fd_, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0))
    return false;
  return ::ftruncate(fd_, static_cast<off_t>(bytes.size())) == 0;
}

RegisterLoad LoadRegister(std::string_view name, RecordKind kind) {
  RegisterLoad load;
  TToolRegister reg;
  load.code = reg.Open(name, RegisterMode::Read);
  if (load.code != kRegOk) {
    load.error = load.code == kRegNotFound
                     ? std::string("finnes ikke (kode 2)")
                     : L1("kan ikke åpnes (kode ") + std::to_string(load.code) + ")";
    return load;
  }
  reg.ReadAll(kind, load.records, load.error);
  return load;
}

bool DeleteToolRegister(std::string_view name) {
  if (Trim(name).empty() || !FileExists(Trim(name))) return true;
  TToolRegister reg;
  if (reg.Open(name, RegisterMode::Write) != kRegOk) return false;
  bool ok = ::unlink(reg.path_.c_str()) == 0;
  reg.Close();
  return ok;
}

std::vector<ToolRecord> DecodeTools(const std::vector<RawRecord>& raw) {
  std::vector<ToolRecord> out;
  out.reserve(raw.size());
  for (const auto& r : raw) out.push_back(DecodeTool(r));
  return out;
}

std::vector<TurnRecord> DecodeTurns(const std::vector<RawRecord>& raw) {
  std::vector<TurnRecord> out;
  out.reserve(raw.size());
  for (const auto& r : raw) out.push_back(DecodeTurn(r));
  return out;
}

const TurnRecord* FindTurn(const std::vector<TurnRecord>& list, int32_t toolNo) {
  auto it = std::lower_bound(list.begin(), list.end(), toolNo,
                             [](const TurnRecord& t, int32_t no) { return t.ToolNo < no; });
  return it != list.end() && it->ToolNo == toolNo ? &*it : nullptr;
}

}  // namespace zova
