#include "ui/baud_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/latin1.h"
#include "core/uihost.h"
#include "serial/baud/baud_detector.h"
#include "ui/qt_uihost.h"

namespace zova::ui {

namespace {

QComboBox* Combo(QWidget* parent, const QStringList& items, const QString& text, bool editable) {
  auto* c = new QComboBox(parent);
  c->setEditable(editable);
  c->addItems(items);
  c->setCurrentText(text);
  return c;
}

// The window's boxes open over Dialog while it is up: it stays on top, and a
// question behind it would wait for an answer nobody can give.
class BoxesOver {
 public:
  explicit BoxesOver(QWidget* dialog) : host_(dynamic_cast<QtUiHost*>(CurrentUiHost())) {
    if (!host_) return;
    previous_ = host_->Parent();
    host_->SetParent(dialog);
  }
  ~BoxesOver() {
    if (host_) host_->SetParent(previous_);
  }
  BoxesOver(const BoxesOver&) = delete;
  BoxesOver& operator=(const BoxesOver&) = delete;

 private:
  QtUiHost* host_;
  QWidget* previous_ = nullptr;
};

}  // namespace

TBaudForm::TBaudForm(StationModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setWindowTitle("Baudrate-autodeteksjon");
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  setFixedSize(250, 211);
  Build();
  connect(start_, &QPushButton::clicked, this, &TBaudForm::StartDetection);
  connect(stopp_, &QPushButton::clicked, this, [this] { stop_ = true; });
  connect(avslutt_, &QPushButton::clicked, this, &QDialog::accept);
  SetIdle(true);
}

void TBaudForm::Build() {
  baudBox_ = new QGroupBox("Baud-rate", this);
  minBaud_ =
      Combo(baudBox_, {"150", "300", "600", "1200", "2400", "4800", "9600", "19200"}, "300", true);
  maxBaud_ = Combo(baudBox_, {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"},
                   "19200", true);
  auto* rates = new QFormLayout(baudBox_);
  // The label over its box: two columns of 250 pixels leave no room beside it.
  rates->setRowWrapPolicy(QFormLayout::WrapAllRows);
  rates->addRow("Min:", minBaud_);
  rates->addRow("Maks:", maxBaud_);

  auto* betBox = new QGroupBox("Testbetingelser", this);
  bit_ = Combo(betBox, {"7", "8", "9"}, "8", false);
  stoppBit_ = Combo(betBox, {"1", "2"}, "1", false);
  auto* conditions = new QFormLayout(betBox);
  conditions->setRowWrapPolicy(QFormLayout::WrapAllRows);
  conditions->addRow("Bit:", bit_);
  conditions->addRow("Stoppbit:", stoppBit_);

  start_ = new QPushButton("Start", this);
  stopp_ = new QPushButton("Stopp", this);
  avslutt_ = new QPushButton("Avslutt", this);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(baudBox_);
  boxes->addWidget(betBox);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(stopp_);
  buttons->addWidget(avslutt_);
  auto* all = new QVBoxLayout(this);
  all->addLayout(boxes);
  all->addLayout(buttons);
}

void TBaudForm::SetIdle(bool idle) {
  detecting_ = !idle;
  start_->setEnabled(idle);
  avslutt_->setEnabled(idle);
  stopp_->setEnabled(!idle);
}

void TBaudForm::Run(int machine) {
  machine_ = machine;
  port_ = DetectionPort(machine);
  baudBox_->setTitle(FromLatin1("Baud-rate " + port_));
  SetIdle(true);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  ExecModal(*this, false);
}

BaudSearchSettings TBaudForm::Settings() const {
  BaudSearchSettings s;
  s.minBaud = BaudFromText(ToLatin1(minBaud_->currentText()), 300);
  s.maxBaud = BaudFromText(ToLatin1(maxBaud_->currentText()), 19200);
  s.bit = BaudFromText(ToLatin1(bit_->currentText()), 8);
  s.stopBits = stoppBit_->currentText() == "2" ? 2 : 1;
  return s;
}

void TBaudForm::Show(uint8_t shown, bool faulty, int count) {
  model_.Console().AddText(machine_, true, std::string(1, static_cast<char>(shown)), !faulty);
  model_.SetCell(kColTegn, machine_, std::to_string(count));
}

void TBaudForm::StartDetection() {
  if (Detecting()) return;
  BoxesOver boxes(this);
  if (!model_.Console().Hold(machine_, false, true)) {
    ShowNotice("Vise data", "Kunne ikke reservere konsollet");
    return;
  }
  model_.SetActiveLabel(port_ + " - Baudrate-test, " + model_.Cell(kColMaskin, machine_));
  const BaudSearchSettings s = Settings();
  BaudDetector detector;
  int err = 0;
  const BaudOpenFault fault = detector.Open(port_, s, err);
  if (fault != BaudOpenFault::None) {
    if (fault == BaudOpenFault::Settings)
      ShowNotice("SetCommState", L1("Klarer ikke å sette DCB:") + "\r" + DeviceErrorText(err));
    model_.Console().Hold(machine_, true, true);
    model_.SetActiveLabel("Ledig");
    return;
  }
  stop_ = false;
  SetIdle(false);
  model_.SetCell(kColTegn, machine_, "0");
  BaudEvents events;
  events.onRate = [&](int rate) {
    model_.SetCell(kColMelding, machine_, "Baud: " + std::to_string(rate));
  };
  events.onStatus = [&](const std::string& status) {
    model_.SetCell(kColStatus, machine_, status);
  };
  events.onChar = [&](uint8_t shown, bool faulty, int count) { Show(shown, faulty, count); };
  events.stop = [&] {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // A stop signal leaves nobody to press Stopp.
    const UiHost* host = CurrentUiHost();
    return stop_ || (host && host->Unattended());
  };
  const BaudOutcome found = detector.Run(events);
  model_.SetCell(kColStatus, machine_, "Avsluttet");
  if (!detector.Close()) ShowNotice("Lukke comport", "SetComState feilet");
  model_.SetActiveLabel("Ledig");
  model_.Console().Hold(machine_, true, true);
  SetIdle(true);
  if (found.detected) Ask(found.rate, found.highBitSeen, s);
}

void TBaudForm::Ask(int rate, bool highBitSeen, const BaudSearchSettings& s) {
  UiHost* host = CurrentUiHost();
  if (!host) return;
  const bool rateYes = host->AskYesNo(port_, RateQuestion(rate), false);
  const bool codeYes = host->AskYesNo(port_, CodeQuestion(highBitSeen), false);
  const bool stopYes = host->AskYesNo(port_, StopQuestion(s.stopBits), false);
  if (!WriteBaudAnswers(port_, rate, highBitSeen, s, rateYes, codeYes, stopYes))
    ShowNotice(port_, L1("Klarer ikke å skrive Zova.ini"));
}

void TBaudForm::closeEvent(QCloseEvent* event) {
  if (Detecting())
    event->ignore();
  else
    QDialog::closeEvent(event);
}

void TBaudForm::reject() {
  // Escape is a close request too.
  if (!Detecting()) QDialog::reject();
}

}  // namespace zova::ui
