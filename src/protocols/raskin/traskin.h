#pragma once
// The driver of a Raskin control: the standard driver's loop, with the
// operator's send and fetch orders done as a line dialogue in which every
// line is acknowledged (send) or asked for (fetch) with DLE "7". A program
// the control starts sending on its own is the standard reception.

#include <string>

#include "serial/standard/tzova.h"

namespace zova {

class TRaskin : public TZova {
 public:
  using TZova::TZova;

  // Writes Text (no retries) and reads until the answer is Expected or a
  // read fails; Answer is every byte read. Ok: the answer was Expected. Ok
  // false on entry writes nothing.
  void WriteAndExpect(const std::string& text, const std::string& expected, bool& ok,
                      std::string& answer);
  // Writes Prompt and reads one line up to CR or EOT (neither kept). Ok: the
  // line ended, also when it is empty; false when the write or a read failed.
  // Eot: the control ended the program.
  void PromptLine(const std::string& prompt, std::string& line, bool& ok, bool& eot);

 protected:
  void OnStart() override;
  void OnSendOrder() override;
  void OnFetchOrder() override;

 private:
  void SendLines(bool& ok);
  // Steps 3 and 4 of a fetch: the first line; false when the control did
  // not answer.
  bool RequestFirstLine(std::string& line, bool& eot);
  void NameFromFirstLine(const std::string& line);
  void ReceiveLines(std::string line, bool eot, bool& storeOk);
};

}  // namespace zova
