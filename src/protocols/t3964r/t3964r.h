#pragma once
// The 3964R procedure on a serial line: one telegram at a time, each
// connected with STX / DLE, sent as DLE-doubled payload, DLE ETX and block
// check, and acknowledged with DLE or refused with NAK. The decisions are
// the pure machines of r3964_link.h; this layer reads, writes, logs and
// reports. It has no main loop: the drivers built on it call SendTelegram
// and ReceiveTelegram from theirs.

#include <string>

#include "protocols/t3964r/r3964_link.h"
#include "protocols/t3964r/tballuff.h"

namespace zova {

class T3964R : public TBalluffData {
 public:
  // LowPriority: the station gives way when both ends start at once (every
  // driver of this station passes true).
  T3964R(const UiLinks& links, MachineRequest& sharedRequest, int machineNo, bool lowPriority);

  bool HighPriority = false;

  // One telegram (payload + DLE ETX) with all its passes. False: no pass
  // was answered with DLE, the line failed, or the telegram was refused
  // before anything was written (no DLE ETX, or a frame past 255 bytes:
  // Melding says so). Each pass ends the log line.
  bool SendTelegram(TComPort& rec, const std::string& telegram);
  // Waits for one telegram; Telegram is its payload undoubled with its
  // DLE ETX. False at once when the first character is no STX (the
  // partner had nothing to send), or after five refused blocks.
  bool ReceiveTelegram(TComPort& rec, std::string& telegram);

 protected:
  // A telegram the partner sent while the station wanted to send.
  virtual void HandleUnsolicited(const std::string& telegram);

  // Opens PortName into Rec as a telegram line (telegram_line.h): no byte
  // of a block check is swallowed or changed by the port's text settings.
  void OpenTelegramPort(const std::string& portName, bool& ok, TComPort& rec);
  // Writes Bytes as they are (the line's parity code aside); false when
  // not all of them went out.
  bool WriteBytes(TComPort& rec, std::string_view bytes);

 private:
  // The collision on the low-priority side: the partner's STX was read.
  void ReceiveUnsolicited(TComPort& rec);
  bool RunReceive(TComPort& rec, r3964::TelegramReceiver& receiver, std::string& telegram);
};

}  // namespace zova
