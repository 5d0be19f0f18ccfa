#include "core/model/machine_request.h"

namespace zova {

void TakeOrders(MachineRequest& shared, MachineRequest& local, int machineNo,
                uint8_t& sendToMachine) {
  local.Send = shared.Send;
  if (!local.Send && sendToMachine == machineNo) {
    local.Send = true;
    sendToMachine = 0;
  }
  local.Fetch = shared.Fetch;
  local.Flag2 = shared.Flag2;
  local.Flag3 = shared.Flag3;
  local.Flag4 = shared.Flag4;
  local.OrderByte = shared.OrderByte;
  local.OrderValue = shared.OrderValue;
  local.OrderName1 = shared.OrderName1;
  local.OrderName2 = shared.OrderName2;
  local.OrderValue3 = shared.OrderValue3;
  local.OrderText = shared.OrderText;
  local.OrderValue2 = shared.OrderValue2;
  // OrderValue2 stays: it is a standing setting, not an order.
  shared.Send = shared.Fetch = shared.Flag2 = shared.Flag3 = shared.Flag4 = false;
  shared.OrderByte = 0;
  shared.OrderValue = 0;
  shared.OrderName1.clear();
  shared.OrderName2.clear();
  shared.OrderValue3 = 0;
  shared.OrderText.clear();
  // The buffers are shared by reference: both records point at the same ones.
  local.ToolTable = shared.ToolTable;
  local.SharedText = shared.SharedText;
  local.PresetBuffer = shared.PresetBuffer;
  local.BalluffBuffer = shared.BalluffBuffer;
}

void HandBackResults(MachineRequest& local, MachineRequest& shared) {
  if (local.ResultFlag1) shared.ResultFlag1 = true;
  if (local.ResultFlag2) shared.ResultFlag2 = true;
  if (local.ResultState <= 1) shared.ResultState = local.ResultState;
  if (local.ResultFlag3) shared.ResultFlag3 = true;
  if (local.ResultFlag4) shared.ResultFlag4 = true;
  if (!local.ResultName.empty()) shared.ResultName = local.ResultName.substr(0, kShortNameMax);
  if (local.ResultValues[0] > 0) shared.ResultValues = local.ResultValues;
  shared.ResultInt = local.ResultInt;
  local.ResultFlag1 = local.ResultFlag2 = local.ResultFlag3 = local.ResultFlag4 = false;
  local.ResultState = 2;
  local.ResultName.clear();
  local.ResultValues[0] = 0;
}

}  // namespace zova
