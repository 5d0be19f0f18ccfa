#pragma once
// The baud-rate detection dialog of the "&Baud" menu item: the machine's
// driver is stopped while it is open. Start claims the console, opens the
// port apart from the drivers' line layer and searches from MaksBaud down;
// the characters are shown live on the console, and once a rate is accepted
// and the operator presses Stopp, three questions store what was found in the
// port's section.

#include <QDialog>
#include <string>

#include "core/model/station_model.h"
#include "serial/baud/baud_search.h"

class QComboBox;
class QGroupBox;
class QPushButton;

namespace zova::ui {

class TBaudForm : public QDialog {
  Q_OBJECT
 public:
  TBaudForm(StationModel& model, QWidget* parent = nullptr);

  // Machine N's port (its Port, "COM" + (N + 2) when not set), then the
  // dialog modally until Avslutt.
  void Run(int machine);
  // Started by the Start button; returns when the detection has ended.
  void StartDetection();

  QGroupBox* BaudBox() const { return baudBox_; }
  QComboBox* MinBaud() const { return minBaud_; }
  QComboBox* MaxBaud() const { return maxBaud_; }
  QComboBox* Bit() const { return bit_; }
  QComboBox* StoppBit() const { return stoppBit_; }
  QPushButton* Start() const { return start_; }
  QPushButton* Stopp() const { return stopp_; }
  QPushButton* Avslutt() const { return avslutt_; }
  const std::string& Port() const { return port_; }
  bool Detecting() const { return detecting_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void Build();
  void SetIdle(bool idle);
  BaudSearchSettings Settings() const;
  void Show(uint8_t shown, bool faulty, int count);
  void Ask(int rate, bool highBitSeen, const BaudSearchSettings& s);

  StationModel& model_;
  int machine_ = 1;
  std::string port_;
  bool stop_ = false;
  bool detecting_ = false;
  QGroupBox* baudBox_ = nullptr;
  QComboBox *minBaud_ = nullptr, *maxBaud_ = nullptr, *bit_ = nullptr, *stoppBit_ = nullptr;
  QPushButton *start_ = nullptr, *stopp_ = nullptr, *avslutt_ = nullptr;
};

}  // namespace zova::ui
