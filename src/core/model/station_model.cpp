#include "core/model/station_model.h"

#include <algorithm>

namespace zova {

namespace {
const char* const kHeadings[kGridColumns] = {"Maskin", "Filnavn", "Status", "Melding", "Tegn"};
const std::string kEmpty;
}  // namespace

const char* ColumnHeading(int col) {
  return col >= 0 && col < kGridColumns ? kHeadings[col] : "";
}

StationModel::StationModel(int machineCount) : machineCount_(0) {
  SetMachineCount(machineCount);
  console_.onAnyChange = [this] { NotifyConsoleChanged(); };
}

void StationModel::SetMachineCount(int n) {
  machineCount_ = std::clamp(n, 1, kMaxMachines);
  // Rows for every possible machine: a driver may write another machine's row.
  rows_.resize(kMaxMachines + 1);
  for (int c = 0; c < kGridColumns; ++c) rows_[0].text[static_cast<size_t>(c)] = kHeadings[c];
}

StationModel::Row& StationModel::RowAt(int row) {
  return rows_[static_cast<size_t>(std::clamp(row, 0, kMaxMachines))];
}

const StationModel::Row& StationModel::RowAt(int row) const {
  return rows_[static_cast<size_t>(std::clamp(row, 0, kMaxMachines))];
}

const std::string& StationModel::Cell(int col, int row) const {
  if (col < 0 || col >= kGridColumns || row < 0 || row > kMaxMachines) return kEmpty;
  return RowAt(row).text[static_cast<size_t>(col)];
}

void StationModel::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || col >= kGridColumns || row < 0 || row > kMaxMachines) return;
  std::string& cell = RowAt(row).text[static_cast<size_t>(col)];
  if (cell == text) return;
  cell = text;
  if (onCellChanged) onCellChanged(col, row);
  for (ModelObserver* o : observers_) o->CellChanged(col, row);
}

int StationModel::CellObject(int col, int row) const {
  if (col < 0 || col >= kGridColumns || row < 0 || row > kMaxMachines) return 0;
  return RowAt(row).object[static_cast<size_t>(col)];
}

void StationModel::SetCellObject(int col, int row, int code) {
  if (col < 0 || col >= kGridColumns || row < 0 || row > kMaxMachines) return;
  RowAt(row).object[static_cast<size_t>(col)] = code;
  if (onCellObjectChanged) onCellObjectChanged(col, row);
  for (ModelObserver* o : observers_) o->CellObjectChanged(col, row);
}

void StationModel::SetActiveLabel(const std::string& text) {
  activeLabel_ = text;
  if (onActiveLabelChanged) onActiveLabelChanged();
  for (ModelObserver* o : observers_) o->ActiveLabelChanged();
}

void StationModel::SetDisplay(const std::string& text) {
  display_.text = text;
  display_.visible = !text.empty();
  if (onDisplayChanged) onDisplayChanged();
}

void StationModel::AddObserver(ModelObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void StationModel::RemoveObserver(ModelObserver* observer) {
  std::erase(observers_, observer);
}

void StationModel::NotifyConsoleChanged() {
  for (ModelObserver* o : observers_) o->ConsoleChanged();
}

}  // namespace zova
