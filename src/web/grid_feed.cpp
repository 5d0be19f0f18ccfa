#include "web/grid_feed.h"

#include <chrono>
#include <nlohmann/json.hpp>

#include "core/latin1.h"
#include "core/station_log.h"

namespace zova::web {

namespace {

using json = nlohmann::json;

std::string Event(std::string_view name, const json& data) {
  return "event: " + std::string(name) + "\ndata: " + data.dump() + "\n\n";
}

size_t CellBit(int row, int col) {
  return static_cast<size_t>(row * kGridColumns + col);
}

}  // namespace

GridFeed::GridFeed(StationModel& model, std::vector<MachineKind> kinds)
    : model_(model), kinds_(std::move(kinds)) {
  rows_.resize(kinds_.size());
  for (int n = 1; n <= MachineCount(); ++n) {
    for (int c = 0; c < kGridColumns; ++c) rows_[n].cells[c] = Latin1ToUtf8(model.Cell(c, n));
    rows_[n].state = model.CellObject(0, n);
  }
  active_ = Latin1ToUtf8(model.ActiveLabel());
  console_.resize(ConsoleModel::kLines);
  ConsoleChanged();
  model_.AddObserver(this);
}

GridFeed::~GridFeed() {
  model_.RemoveObserver(this);
  Close();
}

MachineKind GridFeed::Kind(int machine) const {
  return machine >= 1 && machine <= MachineCount() ? kinds_[machine] : MachineKind{};
}

std::string GridFeed::SnapshotLocked() const {
  json machines = json::array();
  for (int n = 1; n <= MachineCount(); ++n) {
    json cells = json::array();
    for (const std::string& c : rows_[n].cells) cells.push_back(c);
    machines.push_back({{"n", n},
                        {"cells", cells},
                        {"state", rows_[n].state},
                        {"active", kinds_[n].active},
                        {"twoWay", kinds_[n].twoWay},
                        {"command", kinds_[n].command}});
  }
  json headings = json::array();
  for (int c = 0; c < kGridColumns; ++c) headings.push_back(ColumnHeading(c));
  return json{
      {"headings", headings}, {"machines", machines}, {"active", active_}, {"console", console_}}
      .dump();
}

std::string GridFeed::SnapshotJson() const {
  std::lock_guard lock(mutex_);
  return SnapshotLocked();
}

std::string GridFeed::NoticesJson() const {
  std::lock_guard lock(mutex_);
  json list = json::array();
  for (const Notice& n : notices_)
    list.push_back({{"time", n.time}, {"caption", n.caption}, {"text", n.text}});
  return list.dump();
}

void GridFeed::AddNotice(std::string_view caption, std::string_view text) {
  Notice n{0, LogStamp(), Latin1ToUtf8(caption), Latin1ToUtf8(text)};
  std::lock_guard lock(mutex_);
  n.seq = ++noticeSeq_;
  notices_.push_back(std::move(n));
  if (notices_.size() > kKeptNotices) notices_.pop_front();
  Changed();
}

std::shared_ptr<GridFeed::Watcher> GridFeed::Subscribe() {
  std::lock_guard lock(mutex_);
  if (closed_ || watchers_.size() >= kMaxWatchers) return nullptr;
  auto w = std::make_shared<Watcher>();
  w->noticesSeen = noticeSeq_;
  watchers_.push_back(w);
  return w;
}

void GridFeed::Unsubscribe(const std::shared_ptr<Watcher>& watcher) {
  std::lock_guard lock(mutex_);
  std::erase(watchers_, watcher);
}

bool GridFeed::Next(Watcher& w, int timeoutMs, std::string& events) {
  events.clear();
  std::unique_lock lock(mutex_);
  auto pending = [&] {
    return closed_ || !w.started || w.cells.any() || w.states.any() || w.active || w.console ||
           w.noticesSeen != noticeSeq_;
  };
  wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), pending);
  if (closed_) return false;
  if (!w.started) {
    // The whole picture first; what changed since is in it.
    w.started = true;
    w.cells.reset();
    w.states.reset();
    w.active = w.console = false;
    w.noticesSeen = noticeSeq_;
    events = Event("grid", json::parse(SnapshotLocked()));
    return true;
  }
  for (int n = 1; n <= MachineCount(); ++n) {
    for (int c = 0; c < kGridColumns; ++c)
      if (w.cells.test(CellBit(n, c)))
        events += Event("cell", {{"n", n}, {"col", c}, {"text", rows_[n].cells[c]}});
    if (w.states.test(static_cast<size_t>(n)))
      events += Event("state", {{"n", n}, {"state", rows_[n].state}});
  }
  w.cells.reset();
  w.states.reset();
  if (w.active) events += Event("active", {{"text", active_}});
  if (w.console) events += Event("console", {{"lines", console_}});
  w.active = w.console = false;
  for (const Notice& n : notices_)
    if (n.seq > w.noticesSeen)
      events += Event("notice", {{"time", n.time}, {"caption", n.caption}, {"text", n.text}});
  w.noticesSeen = noticeSeq_;
  return true;
}

void GridFeed::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  wake_.notify_all();
}

void GridFeed::Changed() {
  wake_.notify_all();
}

void GridFeed::CellChanged(int col, int row) {
  if (row < 1 || row > MachineCount() || col < 0 || col >= kGridColumns) return;
  std::string text = Latin1ToUtf8(model_.Cell(col, row));
  std::lock_guard lock(mutex_);
  rows_[row].cells[col] = std::move(text);
  for (auto& w : watchers_) w->cells.set(CellBit(row, col));
  Changed();
}

void GridFeed::CellObjectChanged(int col, int row) {
  if (row < 1 || row > MachineCount() || col != 0) return;
  const int state = model_.CellObject(0, row);
  std::lock_guard lock(mutex_);
  if (rows_[row].state == state) return;
  rows_[row].state = state;
  for (auto& w : watchers_) w->states.set(static_cast<size_t>(row));
  Changed();
}

void GridFeed::ActiveLabelChanged() {
  std::string text = Latin1ToUtf8(model_.ActiveLabel());
  std::lock_guard lock(mutex_);
  active_ = std::move(text);
  for (auto& w : watchers_) w->active = true;
  Changed();
}

void GridFeed::ConsoleChanged() {
  std::vector<std::string> lines;
  lines.reserve(ConsoleModel::kLines);
  for (int r = 1; r <= ConsoleModel::kLines; ++r)
    lines.push_back(Latin1ToUtf8(model_.Console().LineAt(r).text));
  std::lock_guard lock(mutex_);
  if (lines == console_) return;
  console_ = std::move(lines);
  for (auto& w : watchers_) w->console = true;
  Changed();
}

}  // namespace zova::web
