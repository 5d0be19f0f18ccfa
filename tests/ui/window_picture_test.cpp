// The whole window painted to a PNG under the build directory, so a person
// can look at it, and checked for what a blank or broken paint would lose.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QSet>
#include <QTableWidget>

#include "core/latin1.h"
#include "ui/console_widget.h"
#include "ui/window_logic.h"
#include "ui_fixture.h"

namespace zova::ui::test {
namespace {

int DarkPixels(const QImage& image, const QRect& area) {
  int dark = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 96) ++dark;
  return dark;
}

bool HasColour(const QImage& image, const QRect& area, QColor colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) == colour) return true;
  return false;
}

TEST(WindowPicture, FourMachinesAndAHeldConsole) {
  zova::test::ScopedUiHost host;
  WindowRig rig(
      "[Program]\nMaskiner=4\n[Maskin1]\nNavn=Fres 1\nProtokoll=INGEN\n"
      "[Maskin2]\nNavn=Dreiebenk\nProtokoll=INGEN\n[Maskin3]\nNavn=Sliper\nProtokoll=INGEN\n"
      "[Maskin4]\nNavn=Reserve\nProtokoll=INGEN\n");
  MainWindow& w = *rig.window;
  w.Start();
  StationModel& m = rig.Model();
  const int states[4] = {48, 32, 16, kNoLineState};  // green, yellow, red, white
  for (int n = 1; n <= 4; ++n) m.SetCellObject(0, n, states[n - 1]);
  m.SetCell(1, 1, "O1000.NC");
  m.SetCell(2, 1, "Sender");
  m.SetCell(3, 1, L1("Overføring pågår"));
  m.SetCell(4, 1, "1234");
  m.SetCell(2, 2, "Venter");
  m.SetActiveLabel("Aktiv maskin - FRES 1");
  ConsoleModel& console = m.Console();
  console.Hold(1, false, true);
  console.AddText(1, false, "%\r\nO1000 (DEMO)\r\nG0 X0 Y0\r\n", false);
  console.AddText(1, false, "\x13", true);
  console.AddText(1, true, L1("M30 ÆØÅ æøå\r\n"), false);
  console.AddText(1, false, "%\x11", true);

  QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(image.size(), QSize(660, 115 + 257 + 8 + 25 + 8));
  QString file = QString(ZOVA_BINARY_DIR) + "/window.png";
  ASSERT_TRUE(image.save(file, "PNG")) << file.toStdString();

  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
  EXPECT_GE(colours.size(), 8);

  QTableWidget* grid = w.Grid();
  QRect heading(grid->mapTo(&w, QPoint(0, 0)), QSize(grid->width(), kDefaultRowHeight));
  heading.adjust(2, 2, -2, 0);
  EXPECT_GT(DarkPixels(image, heading), 40) << "heading text";
  // Each machine row in its line-state colour.
  const QColor rowColours[3] = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0)};
  for (int n = 1; n <= 3; ++n) {
    QRect cell = grid->visualItemRect(grid->item(n - 1, 2));
    // Right of the status text, in the cell's own background.
    QPoint at = grid->viewport()->mapTo(&w, QPoint(cell.right() - 4, cell.center().y()));
    EXPECT_EQ(image.pixelColor(at), rowColours[n - 1]) << "row " << n;
  }
  // Sent text in blue, received in green, the alternative pair in red.
  QRect consoleArea(w.Console()->mapTo(&w, QPoint(0, 0)), QSize(640, 244));
  EXPECT_TRUE(HasColour(image, consoleArea, ConsoleWidget::ColourOf(ConsoleColour::Blue)));
  EXPECT_TRUE(HasColour(image, consoleArea, ConsoleWidget::ColourOf(ConsoleColour::Green)));
  EXPECT_TRUE(HasColour(image, consoleArea, ConsoleWidget::ColourOf(ConsoleColour::Red)));
}

}  // namespace
}  // namespace zova::ui::test
