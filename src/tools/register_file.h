#pragma once
// A tool register file: 52-byte records sorted by tool number, shared with
// other stations and programs. Access is serialised by the open alone: a
// reader holds a shared lock (others may read, nobody may write), a writer an
// exclusive one. Both are advisory flock locks, which every station honours.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tool_record.h"

namespace zova {

// Result codes of Open, as the station reports them.
constexpr int kRegOk = 0;
constexpr int kRegNotFound = 2;
constexpr int kRegPathNotFound = 3;
constexpr int kRegShared = 5;       // locked by somebody else, or access denied
constexpr int kRegLockFault = 162;  // the lock itself failed
constexpr int kRegNoName = 999;

enum class RegisterMode { Read, Write };

class TToolRegister {
 public:
  TToolRegister() = default;
  ~TToolRegister();
  TToolRegister(const TToolRegister&) = delete;
  TToolRegister& operator=(const TToolRegister&) = delete;

  // Read: an existing file, checked up to 5 times before code 2. Write: the
  // file is created empty when missing. A busy or failing open is retried up
  // to 15 attempts in all, waiting 1 s (TheClock) after codes 5 and 162, so a
  // register locked by another station is given about 15 s.
  int Open(std::string_view name, RegisterMode mode);
  // Deletes the file when a reading pass found it empty.
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  int Count() const;
  // Index of ToolNo or -1: the last record first, then halving.
  int Find(int32_t toolNo);
  bool Read(int index, RawRecord& r);
  bool Write(int index, const RawRecord& r);  // Write mode only
  // First, next, next ...: false at the end. A pass that ends on an empty
  // register marks it for deletion at Close.
  bool ReadFirst(RawRecord& r);
  bool ReadNext(RawRecord& r);

  // The whole register after CheckRegisterImage; false with Error set when it
  // cannot be read or does not pass. Counts as a reading pass.
  bool ReadAll(RecordKind kind, std::vector<RawRecord>& out, std::string& error);
  // Overwrites the record of its tool number or inserts it in order.
  bool Store(const RawRecord& r);
  // The whole register becomes Records (sorted by the caller). Write mode.
  bool Replace(const std::vector<ToolRecord>& records);

 private:
  friend bool DeleteToolRegister(std::string_view name);
  int fd_ = -1;
  RegisterMode mode_ = RegisterMode::Read;
  std::string path_;
  int next_ = 0;
  bool deleteOnClose_ = false;
};

// Reads a whole register (Open, ReadAll, Close); Code is the open code, Error
// the open failure or the check's reason.
struct RegisterLoad {
  int code = kRegOk;
  std::string error;
  std::vector<RawRecord> records;
  bool ok() const { return code == kRegOk && error.empty(); }
};
RegisterLoad LoadRegister(std::string_view name, RecordKind kind);
// SlettToolReg: deletes the register once no other station holds it (the
// exclusive open waits for readers). True also when there is none.
bool DeleteToolRegister(std::string_view name);
std::vector<ToolRecord> DecodeTools(const std::vector<RawRecord>& raw);
std::vector<TurnRecord> DecodeTurns(const std::vector<RawRecord>& raw);
// The turning record of ToolNo in a sorted list, or null.
const TurnRecord* FindTurn(const std::vector<TurnRecord>& list, int32_t toolNo);

}  // namespace zova
