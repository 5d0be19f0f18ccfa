#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolTip>

#include "core/config/config.h"
#include "core/driver/tlogg.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/startup.h"
#include "core/uihost.h"
#include "ui/baud_form.h"
#include "ui/console_widget.h"
#include "ui/display_window.h"
#include "ui/qt_uihost.h"
#include "ui/window_logic.h"

namespace zova::ui {

namespace {

QColor RowQColor(RowColour c, const QPalette& pal) {
  switch (c) {
    case RowColour::Fixed:
      return pal.color(QPalette::Button);
    case RowColour::Green:
      return QColor(0, 0xFF, 0);
    case RowColour::Yellow:
      return QColor(0xFF, 0xFF, 0);
    case RowColour::Red:
      return QColor(0xFF, 0, 0);
    case RowColour::White:
      break;
  }
  return Qt::white;
}

// Cells in the row colour of their line state, black text 2 pixels in.
class RowColourDelegate : public QStyledItemDelegate {
 public:
  RowColourDelegate(MainWindow* window, StationModel& model)
      : QStyledItemDelegate(window), window_(window), model_(model) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    int row = index.row() + 1;
    RowColour c = CellColour(row, model_.CellObject(0, row), window_->ColoursOn());
    p->fillRect(option.rect, RowQColor(c, option.palette));
    p->setPen(Qt::black);
    p->setFont(option.font);
    QRect text = option.rect.adjusted(2, 2, -1, 0);
    p->drawText(text, Qt::AlignLeft | Qt::AlignTop, index.data().toString());
  }

 private:
  MainWindow* window_;
  StationModel& model_;
};

// The heading row as the station draws its fixed cells: the fixed colour with a
// raised edge, black text 2 pixels in, as in the machine rows below it.
class HeadingRow : public QHeaderView {
 public:
  explicit HeadingRow(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

 protected:
  void paintSection(QPainter* p, const QRect& rect, int section) const override {
    p->save();
    const QPalette& pal = palette();
    p->fillRect(rect, pal.color(QPalette::Button));
    p->setPen(pal.color(QPalette::Light));
    p->drawLine(rect.topLeft(), rect.topRight());
    p->drawLine(rect.topLeft(), rect.bottomLeft());
    p->setPen(pal.color(QPalette::Dark));
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->setPen(Qt::black);
    p->drawText(rect.adjusted(2, 2, -1, 0), Qt::AlignLeft | Qt::AlignTop,
                model()->headerData(section, orientation()).toString());
    p->restore();
  }
};

constexpr const char* kWebHome = "https://kvist.example/";
constexpr const char* kWebDnc = "https://kvist.example/dnc/";
constexpr const char* kWebSupport = "https://kvist.example/fjernhjelp/fjernhjelp.tar.gz";

}  // namespace

MainWindow::MainWindow(Station& station, QWidget* parent)
    : QWidget(parent), station_(station), model_(station.Model()) {
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  ReadSettings();
  setWindowTitle(FromLatin1("Kvist-Kommunikasjon") + kVersionSuffix);
  BuildGrid();
  BuildPanel();
  BuildButtons();
  BuildMenu();
  ApplyStoredWidths();
  ConnectModel();
  Relayout();

  minimizeTimer_.setInterval(3600000);
  connect(&minimizeTimer_, &QTimer::timeout, this, &MainWindow::MinimizeTick);
  minimizeTimer_.start();
  // The restart interval and the reaping of ended drivers live in Station::Tick.
  tickTimer_.setInterval(200);
  connect(&tickTimer_, &QTimer::timeout, this, [this] {
    if (!closing_) station_.Tick();
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    station_.Links().appActive->store(s == Qt::ApplicationActive);
  });
  // The baud-rate dialog runs between the stop and the restart of "&Baud".
  station_.Machines().onDetect = [this](int n) {
    if (!baudForm_) baudForm_ = new TBaudForm(model_, this);
    baudForm_->Run(n);
  };
  created_ = true;
}

MainWindow::~MainWindow() {
  model_.onCellChanged = nullptr;
  model_.onCellObjectChanged = nullptr;
  model_.onActiveLabelChanged = nullptr;
  model_.onDisplayChanged = nullptr;
  station_.onAllEnded = nullptr;
  station_.Machines().onDetect = nullptr;
}

void MainWindow::ReadSettings() {
  int count = model_.MachineCount();
  showConsole_ = ReadIniBool("Program", "Vis", true);
  visFilHeading_ = ReadIniBool("Program", "VisFilHeading", false);
  filSjekk_ = ReadIniBool("Program", "FilSjekk", false);
  editerFilnavn_ = ReadIniBool("Program", "EditerFilnavn", !(visFilHeading_ || filSjekk_));
  visAvsluttBoks_ = ReadIniBool("Program", "VisAvsluttBoks", false);
  visibleMachines_ =
      VisibleMachines(count, ReadIniInt("Program", "VisMaskiner", std::min(count, 20)));
  gridHeight_ = GridHeight(visibleMachines_);
}

void MainWindow::BuildGrid() {
  grid_ = new QTableWidget(model_.MachineCount(), 5, this);
  grid_->setHorizontalHeader(new HeadingRow(grid_));
  // A sunken 2-pixel edge: the column widths and the grid height leave
  // exactly 4 pixels for it.
  grid_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  grid_->setLineWidth(2);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setMinimumSectionSize(1);
  grid_->verticalHeader()->setDefaultSectionSize(kDefaultRowHeight + 1);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* head = grid_->horizontalHeader();
  head->setMinimumSectionSize(1);
  head->setFixedHeight(kDefaultRowHeight + 1);
  head->setHighlightSections(false);
  head->setSectionsClickable(false);  // a heading click selects no column
  head->setSectionResizeMode(QHeaderView::Interactive);
  for (int c = 0; c < 5; ++c) grid_->setColumnWidth(c, kColumnWidths[c] + 1);
  QStringList headings;
  for (int c = 0; c < 5; ++c) headings << ColumnHeading(c);
  grid_->setHorizontalHeaderLabels(headings);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grid_->setShowGrid(true);
  grid_->setWordWrap(false);
  grid_->setItemDelegate(new RowColourDelegate(this, model_));
  grid_->setEditTriggers(editerFilnavn_
                             ? QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(editerFilnavn_ ? QAbstractItemView::SingleSelection
                                         : QAbstractItemView::NoSelection);
  QFont f = grid_->font();
  f.setPixelSize(11);
  grid_->setFont(f);
  for (int r = 0; r < model_.MachineCount(); ++r) {
    for (int c = 0; c < 5; ++c) {
      auto* item = new QTableWidgetItem();
      Qt::ItemFlags flags = Qt::ItemIsEnabled;
      if (c == 1 && editerFilnavn_) flags |= Qt::ItemIsSelectable | Qt::ItemIsEditable;
      item->setFlags(flags);
      grid_->setItem(r, c, item);
    }
  }
  grid_->setMouseTracking(true);
  grid_->viewport()->installEventFilter(this);
  grid_->horizontalHeader()->viewport()->installEventFilter(this);
  grid_->horizontalHeader()->setMouseTracking(true);
  grid_->setContextMenuPolicy(Qt::NoContextMenu);
  connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (updatingGrid_ || item->column() != 1) return;
    model_.SetCell(1, item->row() + 1, ToLatin1(item->text()));
  });
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int col) {
    if (row < 0) return;
    selectedCol_ = col;
    selectedRow_ = row + 1;
    hintCol_ = -1;
  });
}

void MainWindow::BuildPanel() {
  panel_ = new QWidget(this);
  panel_->setAutoFillBackground(true);
  QPalette pal = panel_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  panel_->setPalette(pal);
  aktiv_ = new QLabel(FromLatin1(model_.ActiveLabel()), panel_);
  aktiv_->setGeometry(0, 0, kGridWidth, 16);
  aktiv_->setAlignment(Qt::AlignCenter);
  QFont bold = aktiv_->font();
  bold.setBold(true);
  bold.setPixelSize(13);
  aktiv_->setFont(bold);
  aktiv_->setAutoFillBackground(true);
  aktiv_->setToolTip(FromLatin1(L1("Dobbeltklikk for å skrive ut skjermen")));
  aktiv_->installEventFilter(this);
  console_ = new ConsoleWidget(model_.Console(), panel_);
  console_->setGeometry(0, 16, kGridWidth, 249);
  console_->installEventFilter(this);
  ShowActiveColours(false);
}

void MainWindow::BuildButtons() {
  const char* captions[6] = {"CNC-program", "Andre-program", "Tools", "Send", "Rediger", "Avslutt"};
  for (int i = 0; i < 6; ++i) buttons_[static_cast<size_t>(i)] = new QPushButton(captions[i], this);
  std::string m1 = MachineSection(1);
  bool other =
      IniKeyExists(m1, "Katalog2") || IniKeyExists(m1, "AndreKatalog") || IniKeyExists(m1, "Ext2");
  buttons_[kFil1]->setEnabled(ReadIniBool("Program", "CNCProgramKnapp", true));
  buttons_[kFil2]->setEnabled(ReadIniBool("Program", "AndreProgramKnapp", other));
  buttons_[kTools]->setEnabled(
      ReadIniBool("Program", "ToolKnapp", IniKeyExists(m1, "ToolProtokoll")));
  buttons_[kTools]->setText(FromLatin1(ReadIniStr("Program", "ToolTekst", L1("Verktøy"))));
  buttons_[kSend]->setEnabled(ReadIniBool("Program", "SendKnapp", true));
  buttons_[kRediger]->setEnabled(ReadIniBool("Program", "RedigerKnapp", true));
  connect(buttons_[kFil1], &QPushButton::clicked, this, [this] {
    int n = SelectedMachine();
    ChooseFile(n, "Katalog", false, MachineDataDir(n));
  });
  connect(buttons_[kFil2], &QPushButton::clicked, this, [this] {
    int n = SelectedMachine();
    std::string section = MachineSection(n);
    std::string d = ReadIniUpper(section, "Katalog", "");
    ChooseFile(n, "AndreKatalog", true, ReadIniUpper(section, "Katalog2", d));
  });
  connect(buttons_[kTools], &QPushButton::clicked, this, &MainWindow::ToolsClicked);
  connect(buttons_[kSend], &QPushButton::clicked, this, [this] {
    selectedCol_ = 2;
    GridDoubleClick();
  });
  connect(buttons_[kRediger], &QPushButton::clicked, this,
          [this] { OpenReceived(SelectedMachine()); });
  connect(buttons_[kAvslutt], &QPushButton::clicked, this, &QWidget::close);
}

void MainWindow::BuildMenu() {
  menu_ = new QMenu(this);
  auto add = [this](MenuItem item, const std::string& text) {
    QAction* a = menu_->addAction(FromLatin1(text));
    actions_[static_cast<size_t>(item)] = a;
    return a;
  };
  QAction* logging = add(kLogging, "&Logging");
  logging->setCheckable(true);
  logging->setChecked(ReadIniBool("Program", "Logging", false));
  logging->setToolTip(FromLatin1(L1("Logger aktivitet på com-porten")));
  menu_->setToolTipsVisible(true);
  connect(logging, &QAction::triggered, this, &MainWindow::ToggleLogging);
  connect(add(kLagre, "L&agre"), &QAction::triggered, this, &MainWindow::StoreWidths);
  connect(add(kHjelp, "&Hjelp"), &QAction::triggered, this, &MainWindow::OpenHelp);
  connect(add(kRestart, "&Restart"), &QAction::triggered, this, [this] { RestartSelected(false); });
  connect(add(kBaud, "&Baud"), &QAction::triggered, this, [this] { RestartSelected(true); });
  QAction* farger = add(kFarger, "Farger");
  farger->setCheckable(true);
  farger->setChecked(true);
  connect(farger, &QAction::triggered, this, [this] { grid_->viewport()->update(); });
  QAction* blokkvis = add(kBlokkvis, "&Blokkvis");
  blokkvis->setCheckable(true);
  connect(blokkvis, &QAction::triggered, this, &MainWindow::ToggleBlokkvis);
  menu_->addSeparator();
  connect(add(kWeb1, L1("Kvist på nettet")), &QAction::triggered, this,
          [this] { OpenWeb(kWebHome); });
  connect(add(kWeb2, "Nytt om DNC"), &QAction::triggered, this, [this] { OpenWeb(kWebDnc); });
  connect(add(kWeb3, "Last ned fjernhjelp"), &QAction::triggered, this,
          [this] { OpenWeb(kWebSupport); });
  actions_[kHjelp]->setVisible(HelpVisible());
}

void MainWindow::Relayout() {
  grid_->setGeometry(kGridLeft, kGridTop, kGridWidth, gridHeight_);
  int panelTop = PanelTop(gridHeight_);
  panel_->setGeometry(kGridLeft, panelTop, kGridWidth, kPanelHeight);
  int extra = kButtonHeight + kGridTop;
  int buttonTop = panelTop + kPanelHeight + kGridTop;
  const int w = 100, gap = (kGridWidth - 6 * w) / 5;
  for (int i = 0; i < 6; ++i)
    buttons_[static_cast<size_t>(i)]->setGeometry(kGridLeft + i * (w + gap), buttonTop, w,
                                                  kButtonHeight);
  setFixedSize(kClientWidth, ClientHeight(panelTop, showConsole_, extra));
}

void MainWindow::ApplyStoredWidths() {
  for (int c = 0; c < 5; ++c) {
    int w = ReadPersonalInt("StatusWidth" + std::to_string(c), grid_->columnWidth(c) - 1);
    if (w > 0 && w < 2000) grid_->setColumnWidth(c, w + 1);
  }
}

void MainWindow::StoreWidths() {
  int widths[5];
  for (int c = 0; c < 5; ++c) widths[c] = grid_->columnWidth(c) - 1;
  int first = FilledFirstColumn(grid_->width(), widths, visibleMachines_ >= model_.MachineCount());
  if (first > 0) {
    widths[0] = first;
    grid_->setColumnWidth(0, first + 1);
  }
  for (int c = 0; c < 5; ++c) WritePersonalInt("StatusWidth" + std::to_string(c), widths[c]);
}

void MainWindow::ConnectModel() {
  model_.onCellChanged = [this](int col, int row) { CellChanged(col, row); };
  model_.onCellObjectChanged = [this](int, int) { grid_->viewport()->update(); };
  model_.onActiveLabelChanged = [this] { aktiv_->setText(FromLatin1(model_.ActiveLabel())); };
  model_.onDisplayChanged = [this] {
    const auto& d = model_.DisplayWindow();
    if (!display_ && !d.visible) return;
    if (!display_) display_ = new DisplayWindow(this);
    display_->ShowText(d.visible ? FromLatin1(d.text) : QString());
  };
  station_.onAllEnded = [this] { QTimer::singleShot(0, this, &QWidget::close); };
  for (int r = 1; r <= model_.MachineCount(); ++r)
    for (int c = 0; c < 5; ++c) CellChanged(c, r);
}

void MainWindow::CellChanged(int col, int row) {
  if (row == 0) {
    grid_->horizontalHeaderItem(col)->setText(FromLatin1(model_.Cell(col, 0)));
    return;
  }
  QTableWidgetItem* item = grid_->item(row - 1, col);
  if (!item) return;
  updatingGrid_ = true;
  item->setText(FromLatin1(model_.Cell(col, row)));
  updatingGrid_ = false;
  if (row == hintRow_) hintCol_ = -1;  // the hint text may name the file
}

void MainWindow::Start() {
  if (started_) return;
  started_ = true;
  station_.Start();
  if (model_.Request(1).PresetBuffer) buttons_[kTools]->setEnabled(true);
  tickTimer_.start();
}

void MainWindow::showEvent(QShowEvent* event) {
  if (!centred_) {
    centred_ = true;
    QScreen* s = screen();
    if (s) move(s->availableGeometry().center() - rect().center());
  }
  QWidget::showEvent(event);
  Start();
}

void MainWindow::Raise() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainWindow::CloseWithoutQuestion() {
  noQuestion_ = true;
  close();
}

void MainWindow::StopBySignal() {
  stoppedBySignal_ = true;
  if (UiHost* host = CurrentUiHost()) host->SetUnattended(true);
  // Not from inside this event: it may run in the loop of a box that has
  // just been closed, below code that still has to unwind.
  QTimer::singleShot(0, this, &MainWindow::CloseWithoutQuestion);
}

int MainWindow::SelectedMachine() const {
  return selectedRow_ >= 1 && selectedRow_ <= model_.MachineCount() ? selectedRow_ : 1;
}

bool MainWindow::ColoursOn() const {
  return actions_[kFarger] && actions_[kFarger]->isChecked();
}

void MainWindow::ShowActiveColours(bool active) {
  QPalette pal = aktiv_->palette();
  QPalette::ColorGroup g = active ? QPalette::Active : QPalette::Inactive;
  pal.setColor(QPalette::Window, palette().color(g, QPalette::Highlight));
  pal.setColor(QPalette::WindowText, palette().color(g, QPalette::HighlightedText));
  if (!active) {
    pal.setColor(QPalette::Window, palette().color(QPalette::Mid));
    pal.setColor(QPalette::WindowText, palette().color(QPalette::Light));
  }
  aktiv_->setPalette(pal);
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) ShowActiveColours(isActiveWindow());
  QWidget::changeEvent(event);
}

std::string MainWindow::HintAt(int col, int row) const {
  std::string file = row >= 1 && row <= model_.MachineCount()
                         ? CellFileName(model_.Cell(kColFilnavn, row))
                         : std::string();
  return GridHint(col, row, station_.Machines().IsCommand(row), file, HelpVisible());
}

void MainWindow::HintFor(int col, int row) {
  if (col == hintCol_ && row == hintRow_) return;
  hintCol_ = col;
  hintRow_ = row;
  QString hint = FromLatin1(HintAt(col, row));
  grid_->viewport()->setToolTip(hint);
  grid_->horizontalHeader()->viewport()->setToolTip(hint);
}

void MainWindow::SelectCell(int col, int row) {
  selectedCol_ = col;
  selectedRow_ = row;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type t = event->type();
  if (watched == grid_->viewport()) {
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseMove ||
        t == QEvent::MouseButtonDblClick) {
      auto* me = static_cast<QMouseEvent*>(event);
      QModelIndex idx = grid_->indexAt(me->position().toPoint());
      if (idx.isValid()) {
        int col = idx.column(), row = idx.row() + 1;
        if (t == QEvent::MouseMove) HintFor(col, row);
        if (t == QEvent::MouseButtonPress) SelectCell(col, row);
        if (t == QEvent::MouseButtonPress && me->button() == Qt::RightButton) {
          PrepareMenu(true);
          menu_->popup(me->globalPosition().toPoint());
          return true;
        }
        if (t == QEvent::MouseButtonDblClick) {
          SelectCell(col, row);
          GridDoubleClick();
          return true;
        }
      }
    }
  } else if (watched == grid_->horizontalHeader()->viewport()) {
    if (t == QEvent::MouseMove) HintFor(0, 0);
    if (t == QEvent::MouseButtonPress) {
      // The heading row is row 0 of the grid: it selects no machine.
      auto* me = static_cast<QMouseEvent*>(event);
      SelectCell(grid_->horizontalHeader()->logicalIndexAt(me->position().toPoint()), 0);
      if (me->button() == Qt::RightButton) {
        PrepareMenu(true);
        menu_->popup(me->globalPosition().toPoint());
        return true;
      }
    }
  } else if (watched == console_) {
    if (t == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
      PrepareMenu(false);
      menu_->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
      return true;
    }
  } else if (watched == aktiv_ && t == QEvent::MouseButtonDblClick) {
    PrintWindow();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!created_ || closed_) {
    event->accept();
    return;
  }
  if (closing_ || !CloseProcedure()) {
    event->ignore();
    return;
  }
  closed_ = true;
  if (display_) display_->hide();
  event->accept();
  QApplication::quit();
}

bool MainWindow::CloseProcedure() {
  if (restarting_) {
    // The restart's wait is running below this call; close once it is over.
    closeAfterRestart_ = true;
    return false;
  }
  MachineSet& machines = station_.Machines();
  UiHost* host = CurrentUiHost();
  if (visAvsluttBoks_ && !loggingChanged_ && !noQuestion_ && !machines.Stopping()) {
    std::string text = "CNC-overføringen vil bli stoppet.\r\rAvslutte likevel ?";
    if (host && !host->AskYesNo("Avslutte Kvist-Kommunikasjon", L1(text), true)) return false;
  }
  closing_ = true;
  tickTimer_.stop();
  // A line that fails while its driver stops raises a notice; a box would
  // hold the close until someone pressed OK.
  if (host) host->SetUnattended(true);
  station_.Close();  // terminates every driver and serves the call-over until all have ended
  if (host && !stoppedBySignal_) host->SetUnattended(false);
  if (loggingChanged_ && ReadIniBool("Program", "Logging", false)) {
    std::string text = L1("Slette nåværende logg-filer på ") + LogDir() + "?";
    if (host && host->AskYesNo("Akivere logg", text, false)) DeleteFiles(LogDir() + "Maskin*.*");
  }
  return true;
}

}  // namespace zova::ui
