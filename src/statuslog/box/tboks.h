#pragma once
// The driver of a logging box: a small unit on its own line that watches
// sixteen signals of a machine and reports them as a hexadecimal word. Every
// change of a signal that the box's section gives a code becomes a status
// record of the monitored machine; the box's own contact is checked at start,
// after a reset of the box and every SjekkTid hours, and recorded (201 no
// answer, 202 answered, 200 the driver ended). Nothing can be sent to it.

#include <string>

#include "serial/standard/tzova.h"
#include "statuslog/box/box_framer.h"
#include "statuslog/box/box_signals.h"
#include "statuslog/box/contact_schedule.h"

namespace zova {

class TBoks : public TZova {
 public:
  TBoks(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  int Monitored = 0;  // M
  std::string MaskeInv;

 protected:
  void OnStart() override;
  void OnThreadEnd() override;
  void OnIdle(bool busy) override;
  void OnSendOrder() override;
  void Receive(bool& stored, bool& receiptIsError) override;
  // The contact check when IsReceipt or ErrorReceipt is set (ErrorReceipt:
  // a periodic check, which records its success); an operator's send is
  // refused.
  void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) override;

 private:
  void StartBox();
  void CheckContact(bool periodic);
  // False when the reception failed (its last read failed).
  bool ReceiveReport();
  void ProcessWord(uint16_t word);
  void Record(int code, const std::string& text);

  box::SignalTable table_;
  box::SignalState signals_;
  box::ContactSchedule schedule_;
  box::BoxFramer framer_;
  // A reset announced while the box is being started is taken after that
  // start, not inside it: a box that keeps resetting must not nest starts.
  bool starting_ = false;
  bool resetPending_ = false;
};

}  // namespace zova
