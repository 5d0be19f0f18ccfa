#pragma once
// Which driver class serves a machine, keyed by its Protokoll value, and what
// extra buffers and window sets the kind brings along.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/driver/tmsg.h"

namespace zova {

enum ProtocolExtras : unsigned {
  kExtraNone = 0,
  kExtraToolTable = 1u << 0,
  kExtraTextSlot = 1u << 1,
  kExtraTwoWay = 1u << 2,
  kExtraCommand = 1u << 3,
  kExtraPresetBuffer = 1u << 4,
  kExtraBalluffBuffer = 1u << 5,
};

struct ProtocolRow {
  const char* keyword;    // upper case
  const char* className;  // empty: no class, the driver hook decides
  unsigned extras;
  bool specified;  // the kind has a documented driver in this station
};

// The row of an upper-cased Protokoll value, or null when not in the table.
const ProtocolRow* FindProtocol(std::string_view keyword);
// True for the values without a class that raise no "Ugyldig protokoll" box.
bool IsSilentNoDriver(std::string_view keyword);

using DriverFactory =
    std::function<std::unique_ptr<TMsg>(const UiLinks&, MachineRequest&, int machineNo)>;

// Driver classes register their factory by class name ("TZova") when their
// library is linked in; a class without a factory leaves its machines inactive.
void RegisterDriverClass(const std::string& className, DriverFactory factory);
void UnregisterDriverClass(const std::string& className);
const DriverFactory* FindDriverClass(const std::string& className);

// The factory of a driver class T that is built from the window's links, its
// request record and its machine number: RegisterDriver<TZova>("TZova").
template <typename T>
void RegisterDriver(const std::string& className) {
  RegisterDriverClass(
      className, [](const UiLinks& links, MachineRequest& request, int n) -> std::unique_ptr<TMsg> {
        return std::make_unique<T>(links, request, n);
      });
}

}  // namespace zova
