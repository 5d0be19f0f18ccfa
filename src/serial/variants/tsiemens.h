#pragma once
// The driver of a Siemens control on the standard driver: a reception starts
// at the archive's first "%" or "@" and ends with StoppTegn; a send pauses
// between the programs of an archive (siemens_send_rules.h) so that the
// control can take them one by one.

#include <string>

#include "serial/standard/tzova.h"
#include "serial/variants/siemens_framer.h"

namespace zova {

class TSiemens : public TZova {
 public:
  TSiemens(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // Longer pauses (5 s), each after a NUL trailer, for controls that need
  // them between programs.
  bool Siemens3 = false;

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  void ShowSendStart(const std::string& kind) override;
  // Its own pacing: pauses between programs, no retries within cycle blocks.
  void SendText(bool isTool, bool program, bool& lineOk, bool& fileOk, bool& stopSent,
                bool& trailerDone, std::string& abortText) override;

 private:
  void ReceiveFramed(SiemensFramer& framer, bool& storeOk);
  // The program's characters with their pauses; Last is the last one sent.
  void SendBody(bool& lineOk, bool& fileOk, char& last);
  void PauseBetweenPrograms();
  void SendEnd(bool& lineOk, char last);
};

}  // namespace zova
