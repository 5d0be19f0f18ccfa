#pragma once
// What the operator sees, as data: the status grid, the console, the active
// label, the display window and the per-machine request records. Main thread
// only. Front ends render it and are told of every change.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/model/console_model.h"
#include "core/model/machine_request.h"

namespace zova {

enum GridColumn { kColMaskin = 0, kColFilnavn = 1, kColStatus = 2, kColMelding = 3, kColTegn = 4 };
constexpr int kGridColumns = 5;
constexpr int kMaxMachines = 100;
constexpr int kNoLineState = 255;

// "Maskin", "Filnavn", "Status", "Melding", "Tegn".
const char* ColumnHeading(int col);

// A further watcher of the model beside the front end's own hooks (the web
// interface). Called on the main thread, after the change.
class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  virtual void CellChanged(int /*col*/, int /*row*/) {}
  virtual void CellObjectChanged(int /*col*/, int /*row*/) {}
  virtual void ActiveLabelChanged() {}
  virtual void ConsoleChanged() {}
};

class StationModel {
 public:
  explicit StationModel(int machineCount = 1);
  StationModel(const StationModel&) = delete;
  StationModel& operator=(const StationModel&) = delete;

  int MachineCount() const { return machineCount_; }
  void SetMachineCount(int n);  // 1..100

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);
  int CellObject(int col, int row) const;
  void SetCellObject(int col, int row, int code);

  const std::string& ActiveLabel() const { return activeLabel_; }
  void SetActiveLabel(const std::string& text);

  // The borderless display window of alarms and displays.
  struct Display {
    bool visible = false;
    std::string text;
  };
  const Display& DisplayWindow() const { return display_; }
  void SetDisplay(const std::string& text);  // empty closes it

  ConsoleModel& Console() { return console_; }
  MachineRequest& Request(int machine) { return requests_[static_cast<size_t>(machine)]; }

  // Change notifications for front ends.
  std::function<void(int col, int row)> onCellChanged;
  std::function<void(int col, int row)> onCellObjectChanged;
  std::function<void()> onActiveLabelChanged;
  std::function<void()> onDisplayChanged;

  // Observers stay registered until removed; the model does not own them.
  void AddObserver(ModelObserver* observer);
  void RemoveObserver(ModelObserver* observer);
  // Tells the observers that console lines changed (the console's own hook
  // belongs to the window).
  void NotifyConsoleChanged();

 private:
  struct Row {
    std::array<std::string, kGridColumns> text;
    std::array<int, kGridColumns> object{kNoLineState, 0, 0, 0, 0};
  };
  Row& RowAt(int row);
  const Row& RowAt(int row) const;

  int machineCount_;
  std::vector<Row> rows_;  // 0 = headings
  std::string activeLabel_ = "Aktiv maskin";
  Display display_;
  ConsoleModel console_;
  std::array<MachineRequest, kMaxMachines + 1> requests_{};
  std::vector<ModelObserver*> observers_;
};

}  // namespace zova
