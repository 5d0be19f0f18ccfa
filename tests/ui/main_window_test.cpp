#include <gtest/gtest.h>

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTableWidget>
#include <chrono>
#include <ctime>

#include "core/clock.h"
#include "core/config/config.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "ui/console_widget.h"
#include "ui_fixture.h"

namespace zova::ui::test {
namespace {

using zova::test::ScopedUiHost;
using zova::test::TempDir;

void Press(QWidget* w, Qt::MouseButton button, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
}

TEST(MainWindowLayout, VisFalseCutsAboveThePanel) {
  ScopedUiHost host;
  WindowRig shown("[Program]\nMaskiner=3\n");
  WindowRig cut("[Program]\nMaskiner=3\nVis=False\n");
  EXPECT_EQ(shown.window->height(), 96 + 257 + 8 + 25 + 8);
  EXPECT_EQ(cut.window->height(), 96);
  EXPECT_EQ(shown.window->width(), 660);
}

TEST(MainWindowLayout, OpensCentredOnTheScreen) {
  ScopedUiHost host;
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\n");
  rig.window->show();
  QRect area = rig.window->screen()->availableGeometry();
  EXPECT_LE((rig.window->geometry().center() - area.center()).manhattanLength(),
            10);  // a frame, if any
  rig.window->hide();
}

TEST(MainWindowLayout, VisMaskinerLimitsTheGridHeight) {
  ScopedUiHost host;
  WindowRig rig("[Program]\nMaskiner=30\n");
  EXPECT_EQ(rig.window->Grid()->height(), 19 * 21 + 4);  // twenty rows by default
  WindowRig two("[Program]\nMaskiner=5\nVisMaskiner=2\n");
  EXPECT_EQ(two.window->Grid()->height(), 19 * 3 + 4);
}

TEST(MainWindowLayout, FilnavnEditableOnlyWhenAllowed) {
  ScopedUiHost host;
  struct Case {
    const char* program;
    bool editable;
  } cases[] = {
      {"", true},
      {"VisFilHeading=True\n", false},
      {"FilSjekk=True\n", false},
      {"VisFilHeading=True\nEditerFilnavn=True\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    WindowRig rig(std::string("[Program]\n") + c.program);
    EXPECT_EQ((rig.window->Grid()->item(0, 1)->flags() & Qt::ItemIsEditable) != 0, c.editable);
    EXPECT_FALSE(rig.window->Grid()->item(0, 2)->flags() & Qt::ItemIsEditable);
  }
}

TEST(MainWindowLayout, ButtonsFollowTheirKeysAndShowLatin1) {
  ScopedUiHost host;
  WindowRig plain("[Program]\n");
  EXPECT_EQ(plain.window->Button(MainWindow::kTools)->text(), QString::fromUtf8("Verktøy"));
  EXPECT_FALSE(plain.window->Button(MainWindow::kFil2)->isEnabled());
  EXPECT_FALSE(plain.window->Button(MainWindow::kTools)->isEnabled());
  EXPECT_TRUE(plain.window->Button(MainWindow::kSend)->isEnabled());
  WindowRig rig(
      "[Program]\nSendKnapp=False\nToolTekst=Verktøy Å\n[Maskin1]\nExt2=.H\n"
      "ToolProtokoll=5\n");
  EXPECT_EQ(rig.window->Button(MainWindow::kTools)->text(), QString::fromUtf8("Verktøy Å"));
  EXPECT_TRUE(rig.window->Button(MainWindow::kFil2)->isEnabled());
  EXPECT_TRUE(rig.window->Button(MainWindow::kTools)->isEnabled());
  EXPECT_FALSE(rig.window->Button(MainWindow::kSend)->isEnabled());
  rig.Model().SetCell(1, 1, L1("PRØVE.NC"));
  EXPECT_EQ(rig.window->Grid()->item(0, 1)->text(), QString::fromUtf8("PRØVE.NC"));
}

TEST(MainWindowHints, CommandMachinesAndFileNames) {
  ScopedUiHost host;
  WindowRig rig(
      "[Program]\nMaskiner=2\n[Maskin1]\nProtokoll=TERMINAL\n[Maskin2]\nProtokoll=INGEN\n");
  rig.window->Start();
  rig.Model().SetCell(1, 2, "O5.NC!");
  EXPECT_EQ(rig.window->HintAt(2, 1), L1("Dobbeltklikk for å sende kommando"));
  EXPECT_EQ(rig.window->HintAt(2, 2), L1("Dobbeltklikk for å sende O5.NC"));
  EXPECT_EQ(rig.window->HintAt(3, 2), L1("Dobbeltklikk for å redigere O5.NC"));
  EXPECT_EQ(rig.window->HintAt(4, 0), L1("Viser status på overføringen"));
}

struct StatusCase {
  const char* protokoll;
  const char* answer;
  bool send, fetch, flag3;
  const char* title;
  const char* text;
};

TEST(MainWindowDoubleClick, StatusColumnSetsExactlyTheRequestFields) {
  StatusCase cases[] = {
      {"LSV2", "Hent", false, true, false, "Overføre til DMG",
       "Sende filen /X/O1.NC til/fra CNC ?"},
      {"LSV2", "Send", true, false, false, "Overføre til DMG",
       "Sende filen /X/O1.NC til/fra CNC ?"},
      {"LSV2", "Avbryt", false, false, true, "Overføre til DMG", nullptr},
      {"TERMINAL", "OK", true, false, false, "Kommando", "Sende kommando til DMG"},
      {"INGEN", "OK", true, false, false, "Sende fil til DMG", "Filen O1.NC vil bli sendt"},
      {"INGEN", "Avbryt", false, false, true, "Sende fil til DMG", nullptr},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(std::string(c.protokoll) + " " + c.answer);
    DialogAnswerer dialogs(c.answer);
    WindowRig rig(std::string("[Program]\n[Maskin1]\nNavn=Dmg\nProtokoll=") + c.protokoll + "\n");
    rig.window->Start();
    rig.Model().SetCell(1, 1, "/X/O1.NC!");
    MachineRequest& r = rig.Model().Request(1);
    r.Flag3 = true;
    rig.window->SelectCell(2, 1);
    rig.window->GridDoubleClick();
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_EQ(dialogs.title, QString::fromUtf8(c.title));
    if (c.text) {
      EXPECT_EQ(dialogs.text, QString::fromUtf8(c.text));
    }
    EXPECT_EQ(r.Send, c.send);
    EXPECT_EQ(r.Fetch, c.fetch);
    EXPECT_EQ(r.Flag3, c.flag3);
    EXPECT_EQ(rig.window->SelectedCol(), 1);
  }
}

TEST(MainWindowDoubleClick, HeadingRowAndSendButton) {
  DialogAnswerer dialogs("OK");
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\n");
  rig.window->Start();
  rig.window->SelectCell(2, 0);
  rig.window->GridDoubleClick();
  EXPECT_EQ(dialogs.shown, 0);
  rig.window->SelectCell(0, 1);
  rig.window->Button(MainWindow::kSend)->click();  // the Status double-click of the row
  EXPECT_EQ(dialogs.shown, 1);
  EXPECT_TRUE(rig.Model().Request(1).Send);
}

class ChooseFileTest : public ::testing::Test {
 protected:
  void SetUp() override { zova::ForceDirectories(m1); }
  TempDir dir;
  std::string m1 = dir / "M1/";
};

TEST_F(ChooseFileTest, RelativeInsideTheDefaultDirectoryAbsoluteElsewhere) {
  zova::test::WriteFile(m1 + "O100.NC", "%\n");
  ScopedUiHost host;
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\nKatalog=" + m1 + "\n");
  rig.window->Start();
  host.host.scriptedFiles = {{true, m1 + "o100.nc"}, {true, "/srv/other/o2.nc"}};
  rig.window->SelectCell(1, 1);
  rig.window->GridDoubleClick();
  EXPECT_EQ(rig.Model().Cell(1, 1), "O100.NC");
  rig.window->SelectCell(1, 1);
  rig.window->GridDoubleClick();
  EXPECT_EQ(rig.Model().Cell(1, 1), "/SRV/OTHER/O2.NC");
  // Andre-program stores every choice with its directory.
  host.host.scriptedFiles = {{true, m1 + "o3.h"}};
  rig.ini_.Path();
  WriteIniStr("Maskin1", "Katalog2", m1);
  rig.window->ChooseFile(1, "AndreKatalog", true, m1);
  EXPECT_EQ(rig.Model().Cell(1, 1), UpperCase(m1 + "o3.h"));
}

TEST_F(ChooseFileTest, MissingDirectoryAndFolderChoice) {
  ScopedUiHost host;
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\nKatalog=" + dir.Path() + "NONE/\n");
  rig.window->Start();
  host.host.Clear();
  rig.window->SelectCell(1, 1);
  rig.window->GridDoubleClick();
  ASSERT_EQ(host.host.NoticeCount(), 1u);
  EXPECT_EQ(host.host.Notices()[0].caption, "Katalog");
  EXPECT_EQ(host.host.Notices()[0].text,
            L1("Ingen adgang til følgende katalog:") + "\r" + UpperCase(dir.Path()) + "NONE");
  WriteIniStr("Maskin1", "Katalog", m1);
  WriteIniStr("Maskin1", "Filer", "False");
  host.host.scriptedFiles = {{true, m1 + "sub"}};
  rig.window->ChooseFile(1, "Katalog", false, dir.Path());
  EXPECT_EQ(rig.Model().Cell(1, 1), "M1/SUB");
}

TEST_F(ChooseFileTest, RealDialogWithApprovalOfTheProgramHead) {
  zova::test::WriteFile(m1 + "O7.NC", "%\r\nO7 (FLENS)\r\nG0X0\r\n");
  DialogAnswerer dialogs("Ja");
  dialogs.onDialog = [&](QDialog* d) {
    if (auto* fd = qobject_cast<QFileDialog*>(d)) {
      EXPECT_EQ(fd->nameFilters().value(1), "CNC-programmer (*.NC)");
      fd->selectFile(QString::fromStdString(m1 + "O7.NC"));
      QMetaObject::invokeMethod(fd, "accept", Qt::QueuedConnection);
    }
  };
  WindowRig rig("[Program]\nVisFilHeading=True\n[Maskin1]\nProtokoll=INGEN\nKatalog=" + m1 + "\n");
  rig.window->Start();
  rig.window->SelectCell(1, 1);
  rig.window->GridDoubleClick();
  EXPECT_EQ(dialogs.shown, 2);  // the file dialog, then the approval
  EXPECT_EQ(dialogs.title, QString::fromUtf8("Bekreft overføring av program"));
  EXPECT_EQ(dialogs.text, "%\nO7 (FLENS)\nG0X0");
  EXPECT_EQ(rig.Model().Cell(1, 1), "O7.NC");
}

TEST(MainWindowEditor, NameWithoutExtensionGetsProgramExt) {
  ScopedUiHost host;
  WindowRig rig("[Program]\nExt=.MPF\n[Maskin1]\nProtokoll=INGEN\nKatalog=/srv/cnc/\n");
  rig.window->Start();
  rig.Model().SetCell(1, 1, "o7!");
  rig.window->Button(MainWindow::kRediger)->click();
  EXPECT_EQ(rig.Model().Cell(1, 1), "O7.MPF");
  ASSERT_EQ(host.host.opened.size(), 1u)
      << host.host.opened[0];  // run directly with the machine number
  EXPECT_NE(host.host.opened[0].find("Redigerer"), std::string::npos);
  EXPECT_NE(host.host.opened[0].find("CNC/O7.MPF\" \"1\""), std::string::npos)
      << host.host.opened[0];
  rig.Model().SetCell(1, 1, "");
  rig.window->OpenReceived(1);  // an empty cell opens nothing
  EXPECT_EQ(host.host.opened.size(), 1u);
}

TEST(MainWindowTools, ToolDataFileSetsFlag3) {
  ScopedUiHost host;
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\nToolReg=/srv/t/REG.TD\n");
  rig.window->Start();
  rig.window->ToolsClicked();
  ASSERT_EQ(host.host.NoticeCount(), 1u);
  EXPECT_EQ(host.host.Notices()[0].caption, L1("Verktøydata"));
  EXPECT_EQ(host.host.Notices()[0].text, L1("Verktøydata vil bli sendt"));
  EXPECT_TRUE(rig.Model().Request(1).Flag3);
}

TEST(MainWindowMenu, ItemsFollowTheSelectedRow) {
  ScopedUiHost host;
  WindowRig rig(
      "[Program]\nMaskiner=2\n[Maskin1]\nProtokoll=INGEN\nNavn=Dmg\nPort=COM1\n"
      "[COM1]\nBlokkvis=True\n[Maskin2]\nProtokoll=INGEN\n");
  rig.window->Start();
  rig.window->SelectCell(0, 1);
  rig.window->PrepareMenu(true);
  EXPECT_TRUE(rig.window->MenuAction(MainWindow::kRestart)->isVisible());
  EXPECT_EQ(rig.window->MenuAction(MainWindow::kRestart)->text(), "&Restart DMG");
  EXPECT_EQ(rig.window->MenuAction(MainWindow::kBaud)->text(), "&Bauddeteksjon DMG");
  EXPECT_TRUE(rig.window->MenuAction(MainWindow::kBlokkvis)->isVisible());
  EXPECT_TRUE(rig.window->MenuAction(MainWindow::kBlokkvis)->isChecked());
  rig.window->SelectCell(0, 2);
  rig.window->PrepareMenu(true);
  EXPECT_FALSE(rig.window->MenuAction(MainWindow::kBlokkvis)->isVisible());
  rig.window->SelectCell(0, 0);
  rig.window->PrepareMenu(true);
  EXPECT_FALSE(rig.window->MenuAction(MainWindow::kRestart)->isVisible());
  EXPECT_EQ(rig.window->PopupMenu()->actions().size(), 11);  // ten items and the separator
}

TEST(MainWindowMenu, RightClickOnTheHeadingRowSelectsNoMachine) {
  ScopedUiHost host;
  WindowRig rig("[Program]\nMaskiner=2\n[Maskin1]\nProtokoll=INGEN\n[Maskin2]\nProtokoll=INGEN\n");
  rig.window->show();
  rig.window->SelectCell(0, 2);
  Press(rig.window->Grid()->horizontalHeader()->viewport(), Qt::RightButton, QPoint(150, 5));
  EXPECT_EQ(rig.window->SelectedRow(), 0);
  EXPECT_EQ(rig.window->SelectedCol(), 1);
  EXPECT_TRUE(rig.window->PopupMenu()->isVisible());
  EXPECT_FALSE(rig.window->MenuAction(MainWindow::kRestart)->isVisible());
  rig.window->PopupMenu()->hide();
  rig.window->hide();
}

TEST(MainWindowConsole, LeftClickWritesCrLfRightClickOpensTheMenu) {
  ScopedUiHost host;
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\n");
  rig.window->show();
  Press(rig.window->Console(), Qt::RightButton, QPoint(20, 20));
  EXPECT_TRUE(rig.window->PopupMenu()->isVisible());
  EXPECT_EQ(rig.Model().Console().LineAt(1).text, "");
  rig.window->PopupMenu()->hide();
  Press(rig.window->Console(), Qt::LeftButton, QPoint(20, 20));
  EXPECT_EQ(rig.Model().Console().LineAt(1).text, "[CR][LF]");
  EXPECT_EQ(rig.Model().Console().LineAt(1).colours[0], ConsoleColour::Navy);
  rig.window->hide();
}

TEST(MainWindowMenu, LoggingClosesWithoutTheCloseQuestionThenAsksAboutTheOldLogs) {
  DialogAnswerer dialogs("Nei");
  WindowRig rig("[Program]\nVisAvsluttBoks=True\n[Maskin1]\nProtokoll=INGEN\n");
  rig.window->Start();
  EXPECT_FALSE(rig.window->MenuAction(MainWindow::kLogging)->isChecked());
  rig.window->MenuAction(MainWindow::kLogging)->trigger();
  EXPECT_TRUE(ReadIniBool("Program", "Logging", false));
  EXPECT_TRUE(rig.window->Closing());
  EXPECT_EQ(dialogs.shown, 1);  // no "Avslutte" question before it
  EXPECT_EQ(dialogs.title, "Akivere logg");
  EXPECT_TRUE(dialogs.text.startsWith(QString::fromUtf8("Slette nåværende logg-filer på ")));
}

TEST(MainWindowMenu, BlokkvisWritesThePortSectionAndRestarts) {
  ScopedUiHost host;
  ManualClock clock;
  ScopedClock scoped(clock);
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\nPort=COM2\n");
  rig.window->Start();
  rig.window->SelectCell(0, 1);
  rig.window->PrepareMenu(true);
  rig.window->MenuAction(MainWindow::kBlokkvis)->trigger();
  EXPECT_TRUE(ReadIniBool("COM2", "Blokkvis", false));
  EXPECT_EQ(rig.Model().Cell(2, 1), "Maskin ikke aktiv");  // restarted: inactive again
}

TEST(MainWindowTimers, AtHalfPastTwoTheHourlyTickMinimisesTheActiveWindow) {
  ScopedUiHost host;
  std::tm at{};
  at.tm_year = 126;
  at.tm_mon = 2;
  at.tm_mday = 10;
  at.tm_hour = 2;
  at.tm_min = 30;
  at.tm_isdst = -1;
  ManualClock clock(std::chrono::system_clock::from_time_t(std::mktime(&at)));
  ScopedClock scoped(clock);
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\n");
  MainWindow& w = *rig.window;
  w.show();
  w.activateWindow();
  ASSERT_TRUE(SpinUntil([] { return qApp->applicationState() == Qt::ApplicationActive; }));
  w.MinimizeTick();
  EXPECT_TRUE(w.isMinimized());
  w.showNormal();
  clock.Advance(3600000);  // 03:30; the background case is ShouldMinimize's
  w.MinimizeTick();
  EXPECT_FALSE(w.isMinimized());
  w.hide();
}

TEST(MainWindowMenu, FargerTurnsRowColoursOff) {
  ScopedUiHost host;
  WindowRig rig("[Program]\n");
  EXPECT_TRUE(rig.window->ColoursOn());
  rig.window->MenuAction(MainWindow::kFarger)->trigger();
  EXPECT_FALSE(rig.window->ColoursOn());
}

}  // namespace
}  // namespace zova::ui::test
