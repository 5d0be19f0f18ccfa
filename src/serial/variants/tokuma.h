#pragma once
// The driver of an Okuma control: each program it is sent is announced by a
// "$NAME.MIN" header; what it sends is a BTR reception in which a stop code
// inside a "( ... )" comment is program text, unless it begins with ESC:
// then it is the control's own print output, passed on to the station's
// printer.

#include <string>

#include "serial/variants/okuma_header.h"
#include "serial/variants/tbtr.h"

namespace zova {

inline constexpr char kEsc = 27;

class TOkuma : public TBtr {
 public:
  TOkuma(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  bool FilNavnUt = true;
  bool NullSpace = false;
  int OkumaNavn = 16;
  std::string Prefiks = "P";

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) override;
  // The control's print data, from its ESC up to its form feed (or until
  // the line goes quiet), to the station's printer.
  void PrintPassThrough();

 private:
  // True when the header went out whole.
  bool SendHeader(const std::string& header);

  int leader_ = 0;
};

}  // namespace zova
