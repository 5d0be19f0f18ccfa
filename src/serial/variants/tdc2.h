#pragma once
// The driver of a control that announces itself with DC2: a send starts with
// DC2 and waits for the control's XON, and a DC2 from the control is answered
// with XON before its program is read as a BTR reception.

#include "serial/variants/tbtr.h"

namespace zova {

inline constexpr char kDc2 = 18;

// What the station does after one DC2 of a send's opening and the control's
// answer to it (Read false: nothing came).
enum class Dc2Next { Again, Started, GiveUp };
Dc2Next AfterDc2(int dc2Sent, int repeter, bool read, char answer);

class TDC2 : public TBtr {
 public:
  TDC2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  int Repeter = 1;

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) override;

 private:
  // True when the control answered a DC2 with XON.
  bool AwaitXon();
};

}  // namespace zova
