// The baud-rate detection dialog driven as an operator drives it: Start,
// watching the grid and the console, Stopp, the three questions. The port is
// a loopback cable whose far end is a control sending in its own format.

#include "ui/baud_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <vector>

#include "core/config/config.h"
#include "serial/device/loopback_device.h"
#include "support/uart_sender.h"
#include "ui/qt_uihost.h"
#include "ui_fixture.h"

namespace zova::ui::test {
namespace {

const char kIni[] =
    "[Program]\nMaskiner=2\n[Maskin1]\nNavn=FRES\nProtokoll=INGEN\nPort=COM3\n"
    "[Maskin2]\nNavn=DREIEBENK\nProtokoll=INGEN\n[COM3]\nEnhet=loop:ui\n[COM4]\nEnhet=loop:none\n";

const std::string kProgram = "%\r\nO1000 (BRAKETT)\r\nG0 X10. Y20.\r\nG1 Z-5. F100\r\nM30\r\n%\r\n";

LineSettings Format(int baud, int bits, Parity parity) {
  LineSettings f;
  f.baud = baud;
  f.dataBits = bits;
  f.parity = parity;
  return f;
}

// The real dialog host; each message box is recorded and answered "Ja" (or
// OK); the baud dialog itself is handed to Operate.
struct Operator {
  Operator() {
    previous = CurrentUiHost();
    SetUiHost(&host);
    SetModalHook([this](QDialog* d) {
      if (auto* form = qobject_cast<TBaudForm*>(d)) {
        if (operate) operate(*form);
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(d)) {
        boxes.push_back(ToLatin1(box->windowTitle()) + ": " + ToLatin1(box->text()));
        for (QAbstractButton* b : box->buttons())
          if (b->text() == "Ja" || b->text() == "OK") {
            b->click();
            return;
          }
      }
      d->reject();
    });
  }
  ~Operator() {
    SetModalHook(nullptr);
    SetUiHost(previous);
  }
  QtUiHost host;
  UiHost* previous;
  std::function<void(TBaudForm&)> operate;
  std::vector<std::string> boxes;
};

// Clicks Stopp once the grid shows Phase, trying to close the dialog first.
struct StopAt {
  StopAt(TBaudForm& form, StationModel& model, int machine, std::string phase) {
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&, machine, phase] {
      if (model.Cell(kColStatus, machine) != phase) return;
      form.close();
      stayedOpen = form.isVisible();
      QTest::mouseClick(form.Stopp(), Qt::LeftButton);
      timer.stop();
    });
    timer.start();
  }
  QTimer timer;
  bool stayedOpen = false;
};

struct BaudDialog : ::testing::Test {
  WindowRig rig{kIni};
  Operator op;
  std::unique_ptr<zova::test::UartSender> control;

  void Connect(const LineSettings& format, bool sends = true, double speedup = 1.0) {
    LoopbackPair pair("ui");
    ParkLoopbackEnd("ui", std::move(pair.a));
    if (sends)
      control =
          std::make_unique<zova::test::UartSender>(std::move(pair.b), format, kProgram, speedup);
  }
  // Runs the dialog for Machine from the window's menu; Operate works it.
  void RunFromMenu(int machine, std::function<void(TBaudForm&)> operate) {
    op.operate = std::move(operate);
    rig.window->SelectCell(1, machine);
    rig.window->PrepareMenu(true);
    rig.window->MenuAction(MainWindow::kBaud)->trigger();
  }
  // Start, Stopp at Phase, Avslutt. The grid's Status and Melding as the
  // detection left them (the restart after the dialog writes its own).
  std::string status, melding;
  bool StartAndStopAt(TBaudForm& form, const std::string& phase, int machine = 1) {
    StopAt stop(form, rig.Model(), machine, phase);
    QTest::mouseClick(form.Start(), Qt::LeftButton);
    status = rig.Model().Cell(kColStatus, machine);
    melding = rig.Model().Cell(kColMelding, machine);
    QTest::mouseClick(form.Avslutt(), Qt::LeftButton);
    return stop.stayedOpen;
  }
};

TEST_F(BaudDialog, FindsSevenEvenAt2400FromTheMaximumAndStoresIso) {
  Connect(Format(2400, 7, Parity::Even));
  bool stayedOpen = false, red = false, black = false;
  std::vector<std::string> rates;
  QString caption;
  RunFromMenu(1, [&](TBaudForm& form) {
    caption = form.BaudBox()->title();
    EXPECT_EQ(form.MaxBaud()->currentText(), "19200");
    EXPECT_EQ(form.Bit()->currentText(), "8");
    EXPECT_FALSE(form.Stopp()->isEnabled());
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      const std::string m = rig.Model().Cell(kColMelding, 1);
      if (rates.empty() || rates.back() != m) rates.push_back(m);
      const ConsoleModel& console = rig.Model().Console();
      for (int row = 1; row <= ConsoleModel::kLines; ++row)
        for (size_t i = 0; i < console.LineAt(row).text.size(); ++i) {
          red = red || console.LineAt(row).colours[i] == ConsoleColour::Red;
          black = black || console.LineAt(row).colours[i] == ConsoleColour::Black;
        }
    });
    watch.start(1);
    stayedOpen = StartAndStopAt(form, "Detektert");
  });
  EXPECT_EQ(caption, "Baud-rate COM3");
  EXPECT_TRUE(stayedOpen) << "no close while detecting";
  EXPECT_EQ(rates.front(), "Baud: 19200");
  EXPECT_EQ(melding, "Baud: 2400");
  EXPECT_EQ(status, "Avsluttet");
  EXPECT_GT(std::stoi(rig.Model().Cell(kColTegn, 1)), 200);
  EXPECT_EQ(rig.Model().ActiveLabel(), "Ledig");
  EXPECT_EQ(rig.Model().Console().Holder(), 0);
  EXPECT_EQ(op.boxes,
            (std::vector<std::string>{"COM3: Sette baud-rate til 2400?",
                                      "COM3: Sette kode til ISO?", "COM3: Sette stoppbit til 1?"}));
  EXPECT_EQ(ReadIniStr("COM3", "Baud", ""), "2400");
  EXPECT_EQ(ReadIniStr("COM3", "Kode", ""), "ISO");
  EXPECT_EQ(ReadIniStr("COM3", "Bit", ""), "8");
  EXPECT_EQ(ReadIniStr("COM3", "Paritet", ""), "N");
  EXPECT_EQ(ReadIniStr("COM3", "StoppBit", ""), "1");
  // The console showed the characters in the alternative pair: faulty ones
  // of the wrong rates red, good ones black.
  EXPECT_TRUE(red);
  EXPECT_TRUE(black);
}

TEST_F(BaudDialog, NineBitsIsWrittenAsEightWithEvenParity) {
  Connect(Format(2400, 8, Parity::Even));
  RunFromMenu(1, [&](TBaudForm& form) {
    form.Bit()->setCurrentText("9");
    form.StoppBit()->setCurrentText("2");
    StartAndStopAt(form, "Detektert");
  });
  ASSERT_EQ(op.boxes.size(), 3u);
  EXPECT_EQ(op.boxes[1], "COM3: Sette kode til Ascii?");
  EXPECT_EQ(op.boxes[2], "COM3: Sette stoppbit til 2?");
  EXPECT_EQ(ReadIniStr("COM3", "Bit", ""), "8");
  EXPECT_EQ(ReadIniStr("COM3", "Paritet", ""), "E");
  EXPECT_EQ(ReadIniStr("COM3", "StoppBit", ""), "2");
}

TEST_F(BaudDialog, StoppBeforeARateIsAcceptedAsksNothing) {
  for (const char* phase : {"Synkroniserer", "Sjekker"}) {
    // A control slower than the minimum: no rate is ever accepted, so the
    // search passes through both phases until it is stopped.
    Connect(Format(150, 8, Parity::None), std::string(phase) == "Sjekker", 8);
    RunFromMenu(1, [&](TBaudForm& form) { StartAndStopAt(form, phase); });
    EXPECT_EQ(status, "Avsluttet") << phase;
    EXPECT_TRUE(op.boxes.empty()) << phase;
    EXPECT_EQ(ReadIniStr("COM3", "Baud", "-"), "-");
    control.reset();
    TakeLoopbackEnd("ui");
  }
}

TEST_F(BaudDialog, ConsoleHeldElsewhereOrPortMissingEndsQuietly) {
  // Machine 2 has no Port: its dialog works on COM4, which cannot be opened.
  RunFromMenu(2, [&](TBaudForm& form) {
    EXPECT_EQ(form.BaudBox()->title(), "Baud-rate COM4");
    QTest::mouseClick(form.Start(), Qt::LeftButton);
    EXPECT_TRUE(form.Start()->isEnabled());
    EXPECT_EQ(rig.Model().ActiveLabel(), "Ledig");
    EXPECT_EQ(rig.Model().Console().Holder(), 0);
    // Another machine holds the console.
    rig.Model().Console().Hold(1, false, true);
    QTest::mouseClick(form.Start(), Qt::LeftButton);
    rig.Model().Console().Hold(1, true, true);
    QTest::mouseClick(form.Avslutt(), Qt::LeftButton);
  });
  EXPECT_EQ(op.boxes, (std::vector<std::string>{"Vise data: Kunne ikke reservere konsollet"}));
  ASSERT_NE(rig.window->BaudForm(), nullptr);
  EXPECT_FALSE(rig.window->BaudForm()->isVisible());
}

}  // namespace
}  // namespace zova::ui::test
