#pragma once
// What the web interface shows, kept apart from the station model: a copy of
// the grid, the active label, the console lines and the recent notices,
// updated on the main thread as the model changes and read by the HTTP
// threads without ever asking the main thread. A watcher (one live page or
// `zova ctl watch`) is told what changed since it last asked; a watcher that
// does not read gets only the latest state of each cell, never a backlog.

#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/model/station_model.h"

namespace zova::web {

struct MachineKind {
  bool active = false;   // has a driver
  bool twoWay = false;   // can fetch
  bool command = false;  // takes commands
};

class GridFeed : public ModelObserver {
 public:
  static constexpr size_t kMaxWatchers = 32;
  static constexpr size_t kKeptNotices = 50;

  // Main thread. Kinds[n] for machines 1..MachineCount (index 0 unused).
  GridFeed(StationModel& model, std::vector<MachineKind> kinds);
  ~GridFeed() override;  // main thread
  GridFeed(const GridFeed&) = delete;
  GridFeed& operator=(const GridFeed&) = delete;

  // Any thread. JSON (UTF-8) of the whole picture / of the kept notices.
  std::string SnapshotJson() const;
  std::string NoticesJson() const;
  int MachineCount() const { return static_cast<int>(kinds_.size()) - 1; }
  MachineKind Kind(int machine) const;

  // Any thread; must not block the raiser.
  void AddNotice(std::string_view caption, std::string_view text);

  struct Watcher;
  // Null when kMaxWatchers watch already.
  std::shared_ptr<Watcher> Subscribe();
  void Unsubscribe(const std::shared_ptr<Watcher>& watcher);
  // Waits up to TimeoutMs for changes and returns them as server-sent events
  // ("event: cell", "event: state", "event: active", "event: console",
  // "event: notice"; the first call also "event: grid" with the snapshot).
  // Empty after a quiet wait; false once the feed is closed.
  bool Next(Watcher& watcher, int timeoutMs, std::string& events);
  // Wakes every watcher for good (the interface stops).
  void Close();

  // ModelObserver (main thread).
  void CellChanged(int col, int row) override;
  void CellObjectChanged(int col, int row) override;
  void ActiveLabelChanged() override;
  void ConsoleChanged() override;

 private:
  struct Row {
    std::string cells[kGridColumns];  // UTF-8
    int state = kNoLineState;
  };
  struct Notice {
    uint64_t seq;
    std::string time, caption, text;  // UTF-8
  };
  std::string SnapshotLocked() const;
  void Changed();  // with the lock held: wakes the watchers

  StationModel& model_;
  const std::vector<MachineKind> kinds_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Row> rows_;
  std::string active_;
  std::vector<std::string> console_;
  std::deque<Notice> notices_;
  uint64_t noticeSeq_ = 0;
  std::vector<std::shared_ptr<Watcher>> watchers_;
  bool closed_ = false;
};

struct GridFeed::Watcher {
  std::bitset<(kMaxMachines + 1) * kGridColumns> cells;
  std::bitset<kMaxMachines + 1> states;
  bool active = false, console = false, started = false;
  uint64_t noticesSeen = 0;
};

}  // namespace zova::web
