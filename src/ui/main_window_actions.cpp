// The operator's orders: the double-click of each column, the file choice,
// opening a program in the editor, the Tools button and the pop-up menu.

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QTableWidget>
#include <chrono>
#include <ctime>
#include <fstream>

#include "core/clock.h"
#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/operator_orders.h"
#include "core/paths.h"
#include "core/uihost.h"
#include "tools/tool_settings.h"
#include "ui/main_window.h"
#include "ui/qt_uihost.h"
#include "ui/window_logic.h"

namespace zova::ui {

namespace {

UiHost& Host() {
  static struct NullHost : UiHost {
    void ShowNotice(std::string_view, std::string_view) override {}
    bool AskYesNo(std::string_view, std::string_view, bool d) override { return d; }
    Answer AskButtons(std::string_view, std::string_view, const std::vector<std::string>&,
                      Answer d) override {
      return d;
    }
    bool AskText(std::string_view, std::string_view, std::string&) override { return false; }
    FileChoice ChooseFile(std::string_view, std::string_view, std::string_view) override {
      return {};
    }
    FileChoice SelectFolder(std::string_view, std::string_view) override { return {}; }
    bool OpenPath(std::string_view, std::string_view, std::string_view) override { return false; }
    void ShowHelp(std::string_view) override {}
  } none;
  UiHost* host = CurrentUiHost();
  return host ? *host : none;
}

// Tool files of a machine: those with a ToolProtokoll, in ToolExt.
std::string MachineToolExt(int n) {
  return ReadIniStr(MachineSection(n), "ToolProtokoll", "").empty() ? std::string()
                                                                    : ToolFileExt(false, true);
}

std::string ReadHead(const std::string& stationPath) {
  std::ifstream in(FsPath(stationPath), std::ios::binary);
  std::string data(64 * 1024, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<size_t>(in.gcount()));
  return data;
}

// ExeKatalog + Program; the ".Exe" of a Windows name goes when no such file exists.
std::string CompanionProgram(const std::string& program) {
  std::string path = Globals().ExeKatalog + program;
  if (!FileExists(path) && EndsWithNoCase(path, ".Exe")) path.resize(path.size() - 4);
  return FsPath(path);
}

}  // namespace

bool MainWindow::HelpVisible() const {
  return FileExists(Globals().ExeKatalog + "Hjelp/Zova.html");
}

void MainWindow::GridDoubleClick() {
  int n = selectedRow_;
  if (n < 1 || n > model_.MachineCount()) return;
  std::string section = MachineSection(n);
  switch (selectedCol_) {
    case kColFilnavn:
      ChooseFile(n, "Katalog", false, ReadIniUpper(section, "Katalog", MachineDataDir(n)));
      break;
    case kColStatus:
      DoubleClickStatus(n);
      break;
    case kColMelding:
      OpenReceived(n);
      break;
    case kColTegn:
      if (HelpVisible()) OpenHelp();
      break;
    default:
      break;
  }
  selectedCol_ = 1;
}

void MainWindow::DoubleClickStatus(int n) {
  const std::string name = model_.Cell(kColMaskin, n);
  const std::string file = CellFileName(model_.Cell(kColFilnavn, n));
  MachineSet& machines = station_.Machines();
  if (machines.IsTwoWay(n)) {
    Answer a =
        Host().AskButtons(L1("Overføre til ") + name, "Sende filen " + file + " til/fra CNC ?",
                          {"Send", "Hent", "Avbryt"}, Answer::Button3);
    if (a == Answer::Button1) OrderSend(station_, n);
    if (a == Answer::Button2) OrderFetch(station_, n);
    return;
  }
  Answer a = machines.IsCommand(n)
                 ? Host().AskButtons("Kommando", "Sende kommando til " + name, {"OK", "Avbryt"},
                                     Answer::Button2)
                 : Host().AskButtons("Sende fil til " + name,
                                     "Filen " + FileNameOf(file) + " vil bli sendt",
                                     {"OK", "Avbryt"}, Answer::Button2);
  if (a == Answer::Button1) OrderSend(station_, n);
}

void MainWindow::ChooseFile(int n, const std::string& key, bool other,
                            const std::string& defaultDir) {
  std::string section = MachineSection(n);
  std::string dirSetting = ReadIniUpper(section, key, defaultDir);
  // The separate file-check dialog of FilSjekk is the same choice here.
  DirAndPrefix split = SplitChooseDir(dirSetting);
  if (DirExists(dirSetting) && !DirExists(split.dir)) split = {dirSetting, ""};
  if (!DirExists(split.dir)) {
    ShowNotice("Katalog", L1("Ingen adgang til følgende katalog:") + "\r" + split.dir);
    return;
  }
  std::string result;
  if (!ReadIniBool(section, "Filer", true)) {
    FileChoice c = Host().SelectFolder("Velg katalog", defaultDir);
    if (!c.ok) return;
    result = UpperCase(c.path);
  } else {
    std::string ext = ReadIniUpper(section, "Ext", ProgramExt());
    if (other) ext = ReadIniUpper(section, "Ext2", ext);
    FilterInputs in;
    in.ext = ext;
    in.otherFilter = OtherProgramFilter(section);
    std::string port = ReadIniUpper(section, "Port", "");
    in.galFiles = !port.empty() && !ReadIniStr(port, "StoppTid", "").empty();
    if (ReadIniBool(section, "SystemProgram", false)) in.sysExt = Globals().SysExt;
    in.toolExt = MachineToolExt(n);
    FileChoice c = Host().ChooseFile("Velg fil", JoinPath(split.dir, split.prefix + "*" + ext),
                                     BuildFileFilter(in));
    if (!c.ok) return;
    if (visFilHeading_ && !ApproveFile(c.path)) return;
    result = c.path;
  }
  model_.SetCell(kColFilnavn, n, StoredFileName(result, key, defaultDir, FsPath(defaultDir)));
}

bool MainWindow::ApproveFile(const std::string& path) {
  std::string up = UpperCase(path);
  for (const std::string& e :
       {ToolFileExt(false, false), ToolFileExt(true, false), ToolFileExt(false, true)})
    if (!e.empty() && up.find(e) != std::string::npos) return true;
  if (!FileExists(path)) return false;
  std::string text;
  for (const std::string& line : ProgramHeadLines(ReadHead(path))) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return Host().AskYesNo(L1("Bekreft overføring av program"), text, true);
}

void MainWindow::OpenReceived(int n) {
  std::string section = MachineSection(n);
  std::string name = UpperCase(CellFileName(model_.Cell(kColFilnavn, n)));
  if (name.empty()) return;  // nothing to open
  int kind = EditorKind(name, ToolFileExt(false, false), ToolFileExt(true, false));
  if (ExtPos(name) == 0) {
    name += ProgramExt();
    model_.SetCell(kColFilnavn, n, name);
  }
  std::string base;
  if (!IsAbsolutePath(name)) {
    if (kind == 0) {
      base = ReadIniUpper(section, "Katalog", MachineDataDir(n));
      std::string fromCnc = ReadIniUpper(section, "Katalog2", base);
      if (ReadIniBool(section, "UtKatalog", false) && FileExists(JoinPath(fromCnc, name)) &&
          Host().AskYesNo(L1("Åpne fil"), L1("Åpne filen som er kommet fra CNC ?"), false))
        base = fromCnc;
      PathPrefix(name, base);
    } else {
      base = MachineToolReg(n, kind == 1);
    }
  }
  if (Globals().ForInst > 0) kind = 0;
  std::string file = base.empty() ? name : JoinPath(base, name);
  if (kind == 0)
    StartEditor("Redigerer.Exe", file, std::to_string(n));
  else
    StartEditor(kind == 1 ? "VerkBatch.Exe" : "VerkSett.Exe", file, "");
}

void MainWindow::StartEditor(const std::string& program, const std::string& file,
                             const std::string& arg) {
  std::string fsFile = FsPath(file);
  std::string args = "\"" + fsFile + "\"";
  if (!arg.empty()) args += " \"" + arg + "\"";
  std::string exe = CompanionProgram(program);
  std::string workDir = FsPath(Globals().ExeKatalog);
  if (!arg.empty()) {
    if (!Host().OpenPath(exe, args, workDir)) Host().OpenPath("", fsFile, workDir);
    return;
  }
  if (!Host().OpenPath("", fsFile, workDir)) Host().OpenPath(exe, args, workDir);
}

void MainWindow::ToolsClicked() {
  int n = SelectedMachine();
  std::string reg = ReadIniUpper(MachineSection(n), "ToolReg", "");
  if (reg.find('.') != std::string::npos) {
    ShowNotice(L1("Verktøydata"), L1("Verktøydata vil bli sendt"));
    model_.Request(n).Flag3 = true;
    return;
  }
  std::string toolExt = MachineToolExt(n);
  if (toolExt.empty()) toolExt = ToolFileExt(false, true);
  FileChoice c = Host().ChooseFile(L1("Verktøyfil"), reg, ToolFileFilter(toolExt));
  if (c.ok) model_.SetCell(kColFilnavn, n, UpperCase(c.path));
}

void MainWindow::PrepareMenu(bool overGrid) {
  int count = model_.MachineCount();
  bool machineRow = selectedRow_ >= 1 && selectedRow_ <= count;
  menuOverMachineRow_ = overGrid && machineRow;
  int n = SelectedMachine();
  std::string name = model_.Cell(kColMaskin, n);
  actions_[kRestart]->setVisible(machineRow);
  actions_[kBaud]->setVisible(machineRow);
  actions_[kRestart]->setText(FromLatin1("&Restart " + name));
  actions_[kBaud]->setText(FromLatin1("&Bauddeteksjon " + name));
  std::string port = ReadIniUpper(MachineSection(n), "Port", "");
  actions_[kBlokkvis]->setVisible(!port.empty());
  if (!port.empty()) actions_[kBlokkvis]->setChecked(ReadIniBool(port, "Blokkvis", false));
  actions_[kHjelp]->setVisible(HelpVisible());
}

void MainWindow::OpenHelp() {
  std::string section = MachineSection(SelectedMachine());
  std::string topic =
      CleanHelpTopic(HelpTopic(menuOverMachineRow_, ReadIniStr(section, "Styring", ""),
                               ReadIniStr(section, "Alternativ", "")));
  ShowNotice("Kaller hjelp", topic);
  Host().ShowHelp(topic);
}

void MainWindow::RestartSelected(bool detect) {
  if (restarting_ || closing_) return;
  int n = SelectedMachine();
  restarting_ = true;
  // A front end without the baud-rate dialog restarts without detection.
  station_.Machines().RestartMachine(n, detect && station_.Machines().onDetect != nullptr);
  restarting_ = false;
  if (closeAfterRestart_) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::ToggleBlokkvis() {
  int n = SelectedMachine();
  std::string port = ReadIniUpper(MachineSection(n), "Port", "");
  if (port.empty()) return;
  // The action's check mark has already toggled.
  WriteIniBool(port, "Blokkvis", actions_[kBlokkvis]->isChecked());
  RestartSelected(false);
}

void MainWindow::ToggleLogging() {
  WriteIniBool("Program", "Logging", actions_[kLogging]->isChecked());
  loggingChanged_ = true;
  close();
}

void MainWindow::OpenWeb(const char* address) {
  Host().OpenPath("", address, "");
}

void MainWindow::PrintWindow() {
  QString file =
      QDir::temp().filePath(QString("zova-skjerm-%1.png").arg(QDateTime::currentMSecsSinceEpoch()));
  grab().save(file, "PNG");
  // Through CUPS, scaled to the page.
  QProcess::startDetached("lp", {"-o", "fit-to-page", file});
  ShowNotice("Utskrift", "Skjermen er utskrevet");
}

void MainWindow::MinimizeTick() {
  bool active = QApplication::applicationState() == Qt::ApplicationActive;
  std::time_t now = std::chrono::system_clock::to_time_t(TheClock().Now());
  std::tm local{};
  localtime_r(&now, &local);
  if (ShouldMinimize(local.tm_hour, active)) showMinimized();
}

}  // namespace zova::ui
