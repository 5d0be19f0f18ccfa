#pragma once
// When the files a control drops have settled: the drop directory is sampled
// once a second and taken only after VentTid seconds without change.

#include <cstdint>
#include <string_view>

namespace zova {

// The names the station counts: the first "." stands after the first character.
bool CountsAsDropFile(std::string_view name);
// Names a writer is still uploading under (".name" temporaries of FTP
// servers) are never imported.
bool IsImportable(std::string_view name);

// One sample of the drop directory. Sizes and times are part of it, so a
// file that still grows keeps the directory unsettled even when the number of
// files stays the same.
struct DropSnapshot {
  int count = 0;
  uint64_t bytes = 0;
  int64_t newestMtimeNs = 0;
  bool operator==(const DropSnapshot&) const = default;
};

class SettleTracker {
 public:
  // VentTid below 1 counts as 1.
  explicit SettleTracker(int ventTid) : needed_(ventTid < 1 ? 1 : ventTid) {}
  // Adds the next sample; true once VentTid consecutive samples after the
  // first have equalled their predecessor.
  bool Add(const DropSnapshot& s);
  int Stable() const { return stable_; }

 private:
  int needed_;
  int stable_ = 0;
  bool first_ = true;
  DropSnapshot last_;
};

}  // namespace zova
