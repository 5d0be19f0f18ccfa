#pragma once
// The driver of an echo line: the receiving end writes every character back,
// and the sending end waits for that echo before the next one. With RCC the
// control's first character tells whether it asks for a program or sends
// one; without it a reception is the BTR reception.

#include "serial/variants/tbtr.h"

namespace zova {

class TEcho : public TBtr {
 public:
  TEcho(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  bool RCC = false;
  bool RCCBareSend = false;
  bool RCCGammel = false;
  int Repeter = 0;

  // A normal read; the character read is written back. Ok false: nothing was
  // read, or its echo could not be written.
  void ReadAndEcho(bool& ok, char& ch);
  // Writes Ch as WriteChar does and waits for the echo of each character
  // that went out for it (a line end goes out as the end of block): each is
  // written up to Repeter + 1 times while nothing comes back. Ok false when
  // no attempt got an echo, at once when the echo was another character, or
  // when a character could not be written.
  void SendWithEcho(char ch, bool& ok);

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) override;
  void ReportReceiving(int number) override;
  void ReceiveFramed(BtrFramer& framer, bool& storeOk) override;

 private:
  // The control asked with its first character: a program or tool data.
  void SendAsked();
  void SendLineCharWithEcho(char ch, bool& ok);
  void SendEchoed(bool& lineOk, bool& fileOk);
  void DropEchoes();
  void SendCodesEchoed(const std::string& codes, bool lastUnanswered, bool& lineOk);
};

}  // namespace zova
