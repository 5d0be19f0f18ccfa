#pragma once
// Two ends of a simulated cable inside the process, for the handshakes a
// pseudo-terminal cannot show. What one end writes the other reads. An end's
// RTS is the other's CTS and its DTR the other's DSR and DCD. Flow control
// works as on a UART with a cooperative kernel: software flow consumes the
// XON/XOFF bytes aimed at an end that obeys them, RTS/CTS and DTR/DSR hold
// the writer while the line is low, and an end whose input passes three
// quarters of its capacity sends XOFF when it has XonXoffIn (XON again below
// one quarter). A break on one end arrives as a NUL with the break counter
// raised; closing an end is a hang-up for the other once its input is read.
// Once both ends were configured, an end that sends in another format (baud
// rate, data bits, parity, stop bits) than the other receives in is heard as
// that UART would hear it: garbled characters, framing and parity errors,
// counted and, with markErrors, marked in the input.

#include <memory>
#include <string>

#include "serial/device/serial_device.h"

namespace zova {

struct LoopbackState;

class LoopbackDevice : public SerialDevice {
 public:
  ~LoopbackDevice() override;

  bool Configure(const LineSettings& settings, int& err) override;
  IoResult Write(const uint8_t* data, size_t len, int timeoutMs) override;
  std::optional<ModemStatus> GetModemStatus() override;
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  bool SetBreak(bool on) override;
  bool ResumeOutput() override;
  std::optional<LineErrorCounts> GetLineErrors() override;
  std::string Name() const override;

  // Test controls on this end's input side.
  enum class LineError { Break, Frame, Overrun, RxOverflow, Parity, Io };
  void InjectLineError(LineError e);
  // A byte that arrived with wrong parity: delivered and counted.
  void InjectParityByte(uint8_t b);
  void SetRing(bool on);
  // Makes the next reads and writes of this end fail with Err (0 clears):
  // an adapter that is pulled out.
  void FailWith(int err);
  // This end goes away: the peer reads what is left, then a hang-up.
  void Close();
  // Output of this end held by the peer's XOFF.
  bool OutputStopped() const;
  // Settings last given to Configure.
  LineSettings Settings() const;

 protected:
  IoResult ReadSome(uint8_t* buf, size_t max, int timeoutMs) override;
  bool PurgeDevice(bool rx, bool tx) override;

 private:
  friend struct LoopbackPair;
  LoopbackDevice(std::shared_ptr<LoopbackState> state, int side)
      : state_(std::move(state)), side_(side) {}
  std::shared_ptr<LoopbackState> state_;
  int side_;
};

struct LoopbackPair {
  // Capacity: bytes each end's input holds before the writer is held.
  explicit LoopbackPair(std::string name = "loop", size_t capacity = 65536);
  std::unique_ptr<LoopbackDevice> a, b;
};

// Ends parked under a name, so that a port section with "Enhet=loop:NAME"
// opens one (tests of the drivers). Take removes it from the registry.
void ParkLoopbackEnd(const std::string& name, std::unique_ptr<LoopbackDevice> end);
std::unique_ptr<LoopbackDevice> TakeLoopbackEnd(const std::string& name);

}  // namespace zova
