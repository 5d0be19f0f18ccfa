#pragma once
// The driver of a conversational programming system on the standard driver:
// its data arrive and leave as 63-byte blocks after SOH (fapt_framer.h), and
// a received program is named after a marker in its data. A "%" program
// from the same line takes the standard way.

#include <string>

#include "serial/standard/tzova.h"

namespace zova {

class TFapt : public TZova {
 public:
  TFapt(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  std::string FaptNavn = "MLL>MLL=";
  std::string FaptExt = ".FPT";
  bool StatusNavn = false;
  bool Test = false;

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) override;

 private:
  void ReceiveBlocks(bool& stored, bool& receiptIsError);
  void NameReception();
  // The Filnavn cell names a FAPT data file.
  bool IsFaptName(const std::string& cell) const;
  // Writes the chosen file in block form to temporary base + "FPT" and opens
  // that for sending; Ok false when the file or the image failed.
  void OpenBlockImage(bool& ok);
  // Binary, byte by byte; LineOk false when a write failed and more than the
  // trailing NUL block was left.
  void SendBytes(bool& lineOk, bool& fileOk);
};

}  // namespace zova
