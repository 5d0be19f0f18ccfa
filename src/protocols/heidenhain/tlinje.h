#pragma once
// The driver of a control that sends its programs as text lines, one after
// another, each recognised by the machine's start and stop codes: the
// standard driver with a line-wise reception that stores every program as
// a file of its own. Sending is the standard driver's.

#include <string>

#include "protocols/heidenhain/linje_framer.h"
#include "serial/standard/tzova.h"

namespace zova {

class TLinje : public TZova {
 public:
  using TZova::TZova;

 protected:
  // One file after another until no further program follows.
  void Receive(bool& stored, bool& receiptIsError) override;

 private:
  // One program. Carried: in, the line that began it (empty for the first);
  // out, the line that begins the next one (empty when none does).
  void ReceiveLineFile(std::string& carried, bool& stored, bool& receiptIsError);
  void ReadLines(LinjeFramer& framer, bool& storeOk);
  void StoreReady(LinjeFramer& framer, bool& storeOk);
  LinjeCodes Codes() const { return {StartKode, StoppKode, StoppFeil, StoppTegn}; }
};

}  // namespace zova
