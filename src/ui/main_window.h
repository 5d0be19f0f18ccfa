#pragma once
// The operator's window: the status grid, the panel with the active label and
// the console, the button row and the pop-up menu. It renders the station
// model and turns the operator's orders into request records; everything runs
// on the GUI thread, drivers reach it through the call-over.

#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <string>

#include "core/station.h"

class QAction;
class QLabel;
class QMenu;
class QTableWidget;

namespace zova::ui {

class ConsoleWidget;
class DisplayWindow;
class TBaudForm;

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(Station& station, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Starts the machine set (once).
  void Start();
  // Brings the window forward, restoring it when minimised.
  void Raise();
  // A close that nobody is asked about.
  void CloseWithoutQuestion();
  // SIGINT or SIGTERM: nobody is there from now on. Open boxes close, later
  // notices are logged, and the window closes once the current event is done.
  void StopBySignal();

  // The operator's actions, callable as the window's events call them.
  void SelectCell(int col, int row);
  void GridDoubleClick();
  void ChooseFile(int n, const std::string& key, bool other, const std::string& defaultDir);
  void OpenReceived(int n);
  void ToolsClicked();
  void PrepareMenu(bool overGrid);
  void PrintWindow();
  void MinimizeTick();

  int SelectedCol() const { return selectedCol_; }
  int SelectedRow() const { return selectedRow_; }
  int SelectedMachine() const;
  std::string HintAt(int col, int row) const;
  bool Closing() const { return closing_; }
  // The close procedure has run to its end.
  bool Closed() const { return closed_; }
  bool ColoursOn() const;

  QTableWidget* Grid() const { return grid_; }
  ConsoleWidget* Console() const { return console_; }
  QLabel* ActiveLabel() const { return aktiv_; }
  QWidget* Panel() const { return panel_; }
  QMenu* PopupMenu() const { return menu_; }
  TBaudForm* BaudForm() const { return baudForm_; }
  QPushButton* Button(int i) const { return buttons_[static_cast<size_t>(i)]; }
  enum MenuItem {
    kLogging,
    kLagre,
    kHjelp,
    kRestart,
    kBaud,
    kFarger,
    kBlokkvis,
    kWeb1,
    kWeb2,
    kWeb3
  };
  QAction* MenuAction(MenuItem item) const { return actions_[static_cast<size_t>(item)]; }
  enum ButtonIndex { kFil1, kFil2, kTools, kSend, kRediger, kAvslutt };

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildGrid();
  void BuildPanel();
  void BuildButtons();
  void BuildMenu();
  void ReadSettings();
  void Relayout();
  void ConnectModel();
  void ApplyStoredWidths();
  void StoreWidths();
  void ShowActiveColours(bool active);

  void CellChanged(int col, int row);
  void HintFor(int col, int row);
  void DoubleClickStatus(int n);
  bool ApproveFile(const std::string& stationPath);
  void StartEditor(const std::string& program, const std::string& file, const std::string& arg);
  void OpenHelp();
  void RestartSelected(bool detect);
  void ToggleBlokkvis();
  void ToggleLogging();
  void OpenWeb(const char* address);
  bool HelpVisible() const;
  bool CloseProcedure();

  Station& station_;
  StationModel& model_;
  QTableWidget* grid_ = nullptr;
  QWidget* panel_ = nullptr;
  QLabel* aktiv_ = nullptr;
  ConsoleWidget* console_ = nullptr;
  QMenu* menu_ = nullptr;
  DisplayWindow* display_ = nullptr;
  TBaudForm* baudForm_ = nullptr;  // made at the first detection, kept
  std::array<QPushButton*, 6> buttons_{};
  std::array<QAction*, 10> actions_{};
  QTimer minimizeTimer_;
  QTimer tickTimer_;

  int selectedCol_ = 1, selectedRow_ = 1;
  int hintCol_ = -1, hintRow_ = 0;
  bool showConsole_ = true;
  bool visFilHeading_ = false, filSjekk_ = false, editerFilnavn_ = true;
  bool visAvsluttBoks_ = false;
  int visibleMachines_ = 1;
  int gridHeight_ = 0;
  bool created_ = false;
  bool started_ = false;
  bool centred_ = false;
  bool loggingChanged_ = false;
  bool closing_ = false;
  bool closed_ = false;
  bool restarting_ = false;
  bool closeAfterRestart_ = false;
  bool noQuestion_ = false;
  bool stoppedBySignal_ = false;
  bool menuOverMachineRow_ = false;
  bool updatingGrid_ = false;
};

}  // namespace zova::ui
