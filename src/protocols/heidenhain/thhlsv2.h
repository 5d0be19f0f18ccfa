#pragma once
// The Heidenhain control that takes and gives programs by LSV2 telegrams:
// the operator's send logs on ("A_LGFILE"), announces the file ("C_FL"),
// sends its lines as "S_FL" data and ends with "T_FD"; the operator's fetch
// asks for the program ("R_FL") and stores the "S_FL" data that comes back.
// Everything the control starts itself is served as THeidenHain serves it.
// The framing and the link decisions are the pure lsv2_* layers, the
// telegrams hhlsv2_telegrams; this class reads, writes and reports.

#include <string>
#include <string_view>

#include "protocols/heidenhain/theidenhain.h"
#include "protocols/lsv2/lsv2_blocks.h"
#include "protocols/lsv2/lsv2_port_link.h"

namespace zova {

class THHLsv2 : public THeidenHain {
 public:
  THHLsv2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // Keys of the machine section.
  std::string Terminator = std::string(1, '\0');  // upper, visual
  std::string UnderKatalog;                       // a directory on the control

 protected:
  void OnSendOrder() override;
  void OnFetchOrder() override;

 private:
  // Runs Dialogue with the line binary-safe (no XON/XOFF, no NUL removal,
  // no end-of-block string, no code conversion); the port is restored after.
  template <typename F>
  void OnTelegramLine(F&& dialogue);
  void MakeLineBinary(bool on);

  bool LsvSend(std::string_view telegram);
  bool LsvReceive(std::string& telegram);
  // The control's answer, held while it answers "T WA".
  bool ReceiveAnswerWaiting(std::string& answer);
  // Telegram, answered "T_OK".
  bool Exchange(std::string_view telegram);
  // A telegram the control sent into the station's ENQ: there is no queue
  // to keep it.
  void DropCollisionTelegram();

  bool LogOn();
  void LogOff();
  bool SendDialogue();
  bool SendBlocks(const std::string& name);
  bool FetchDialogue();
  bool ReceiveBlocks();
  std::string CurrentFileName();

  lsv2::PortLink link_;
  lsv2::BlockReader blocks_;
  PortSettings savedPort_;
  LineSettings savedDcb_;
  bool savedBlokkvis_ = true;
};

template <typename F>
void THHLsv2::OnTelegramLine(F&& dialogue) {
  MakeLineBinary(true);
  dialogue();
  MakeLineBinary(false);
}

}  // namespace zova
