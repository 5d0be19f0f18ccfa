#pragma once
// The per-machine order and result record. Owned by the window side (the
// machine set), shared with the machine's driver; touched only on the main
// thread. The driver works on its private copy between fetches.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace zova {

struct MachineRequest {
  // Window to driver.
  bool Send = false;
  bool Fetch = false;
  bool Flag2 = false, Flag3 = false, Flag4 = false;
  uint8_t OrderByte = 0;
  int32_t OrderValue = 0;
  // Driver to window.
  int32_t ResultInt = 0;
  std::string OrderText;
  bool ResultFlag1 = false, ResultFlag2 = false;
  uint8_t ResultState = 2;                               // 0 or 1 = a result, 2 = none
  std::shared_ptr<std::array<uint8_t, 3200>> ToolTable;  // LSV2TOOL, LSV2TPAL
  int32_t OrderValue2 = 0;
  std::shared_ptr<std::string> SharedText;  // the shared text slot (<= 255 bytes)
  std::string OrderName1, OrderName2;       // up to 30 characters
  bool ResultFlag3 = false, ResultFlag4 = false;
  std::string ResultName;  // up to 30 characters
  int32_t OrderValue3 = 0;
  std::array<int32_t, 6> ResultValues{};
  std::shared_ptr<std::array<uint8_t, 318>> PresetBuffer;
  std::shared_ptr<std::array<uint8_t, 12>> BalluffBuffer;

  // Every flag, integer and text cleared, ResultState 2, buffers released.
  void Reset() { *this = MachineRequest{}; }
};

// Copies the pending orders into the driver's copy and clears them in the
// shared record, so each order is taken exactly once. SendToMachine equal to
// MachineNo turns into a send order and is cleared.
void TakeOrders(MachineRequest& shared, MachineRequest& local, int machineNo,
                uint8_t& sendToMachine);
// Copies the driver's results into the shared record and resets them locally.
void HandBackResults(MachineRequest& local, MachineRequest& shared);

constexpr size_t kShortNameMax = 30;
constexpr size_t kSharedTextMax = 255;

}  // namespace zova
