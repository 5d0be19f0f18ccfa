#pragma once
// A driver with two serial lines and a loop of its own (not the standard
// driver's): it serves the first line and then the second with single timed
// reads, so neither can hold the other up for longer than one read period.
// What a line's bytes mean is for the derived driver's ReadFirstLine and
// ReadSecondLine.

#include <string>

#include "serial/line/tcom.h"

namespace zova {

class TZova2 : public TCom {
 public:
  TZova2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  std::string Port;   // the first line ("MC")
  std::string Port2;  // the second line ("DM"); empty: none
  TComPort Com, Com2;
  bool PortOpen = false, Port2Open = false;

 protected:
  void Execute() override;
  // Called when a byte is waiting on the line (pushed back for them).
  virtual void ReadFirstLine() = 0;
  virtual void ReadSecondLine() {}

 private:
  // True when a byte came on Rec and its reader ran.
  bool ServeLine(TComPort& rec, bool second);
};

}  // namespace zova
