#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "ui/console_widget.h"
#include "ui_fixture.h"

namespace zova::ui::test {
namespace {

TEST(WindowSmoke, OpensWithHeadingsCaptionAndPanel) {
  zova::test::ScopedUiHost host;
  WindowRig rig(
      "[Program]\nMaskiner=3\n[Maskin1]\nProtokoll=INGEN\n[Maskin2]\nProtokoll=INGEN\n"
      "[Maskin3]\nProtokoll=INGEN\nNavn=Fres\n");
  MainWindow& w = *rig.window;
  w.Start();
  EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Kvist-Kommunikasjon - versjon 1.4.1"));
  QTableWidget* g = w.Grid();
  ASSERT_EQ(g->columnCount(), 5);
  EXPECT_EQ(g->rowCount(), 3);
  EXPECT_EQ(g->horizontalHeaderItem(0)->text(), "Maskin");
  EXPECT_EQ(g->horizontalHeaderItem(4)->text(), "Tegn");
  EXPECT_EQ(g->item(2, 0)->text(), "FRES");
  EXPECT_EQ(g->item(0, 2)->text(), "Maskin ikke aktiv");
  EXPECT_EQ(w.ActiveLabel()->text(), "Aktiv maskin");
  EXPECT_EQ(g->height(), 80);
  EXPECT_EQ(w.Panel()->y(), 96);
}

}  // namespace
}  // namespace zova::ui::test
