#pragma once
// The driver of a BTR line (a tape reader or punch on the standard driver):
// a reception waits for its start sequence, may keep the start and stop
// codes in the file, and takes several programs sent in a row, each as a
// reception of its own. Sending is the standard driver's, with other
// defaults.

#include <string>

#include "serial/standard/tzova.h"
#include "serial/variants/btr_framer.h"

namespace zova {

class TBtr : public TZova {
 public:
  TBtr(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  bool LagreKoder = false;
  bool LedeNavn = false;
  // Parenthesis tracking (a stop code in a comment is program text); set by
  // the variants whose controls write comments that way.
  bool Parentheses = false;

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  // The variants that read a reception their own way (an echo line) replace
  // these two; the framing and the judgement of the reception stay.
  virtual void ReportReceiving(int number);
  virtual void ReceiveFramed(BtrFramer& framer, bool& storeOk);

 private:
  // One program of the transmission. NextFollows: the control has begun the
  // next one (its first start character is taken).
  void ReceiveOne(bool alreadyStarted, bool& stored, bool& receiptIsError, bool& nextFollows);
  BtrCodes Codes() const;
};

}  // namespace zova
