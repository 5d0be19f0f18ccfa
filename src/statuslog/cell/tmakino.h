#pragma once
// The cell status reader: a cell controller reports its machines' program
// starts and ends as short lines on one or two lines ("MC" and "DM"); each
// line's unit code names one of the station's machines, whose status record
// file gets a record for every start (code 1, or 4 with the second line
// open) and end (code 2). It never sends anything.

#include <string>

#include "statuslog/cell/tzova2.h"

namespace zova {

class TMakino : public TZova2 {
 public:
  TMakino(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  int UnitLength = 4;

  // One line from Rec; M 0 when it is dropped (no STX before the timeout, a
  // read failed, too short, a unit code without a machine).
  void ReadCellLine(TComPort& rec, int& m, std::string& command, std::string& data);
  // Writes the record of Command for machine M; false when not handled.
  bool HandleCellCommand(int m, const std::string& command, const std::string& data);

 protected:
  void ReadFirstLine() override;
  void ReadSecondLine() override;

 private:
  void ReadLine(TComPort& rec, const char* name);
};

}  // namespace zova
