#pragma once
// The LSV2 driver for Okuma controls: the same telegrams and framing, with
// the control's own requests (start-up "PTCM", listing "LIPM", program
// wanted "PTPM" and offered "PRPM" in the "PM" area, name sequence "MCPM"),
// and the control's readiness on its modem lines: each change to ready
// contacts the control with ENQ (with Reset on, once at start instead).

#include <string>
#include <vector>

#include "protocols/lsv2/tlsv2.h"
#include "protocols/okuma/okuma_requests.h"

namespace zova {

class TLSV2Okuma : public TLSV2 {
 public:
  TLSV2Okuma(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  bool NcReady = false;

  bool OkumaStartup();
  bool OkumaListDirectory(const std::string& telegram);
  bool OkumaSendProgram(const std::string& telegram);
  bool OkumaNameSequence();
  bool OkumaReceiveProgram(const std::string& telegram);
  // The listing lines of the machine directory's entries Mask matches, in
  // the order the file system gives them. Nothing outside the machine
  // directory is listed: a mask with a directory in it matches nothing.
  std::vector<std::string> ListDirectory(const std::string& mask);

 protected:
  void PollHook() override;
  void HandleNcTelegram(const std::string& telegram, bool& handled, bool& ok) override;
  void ResetNc(bool& ok) override;
};

}  // namespace zova
