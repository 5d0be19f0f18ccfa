#pragma once
// The driver of a Hybrid control: besides BTR tapes, the control's operator
// works a menu at the control, started by "!": a letter chooses upload (R),
// download (S) or name entry (T), a part number names the program, and the
// program goes line by line, each asked for with ">".

#include <string>

#include "serial/variants/hybrid_dialogue.h"
#include "serial/variants/tbtr.h"

namespace zova {

class THybrid : public TBtr {
 public:
  THybrid(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;

 private:
  // The part number dialogue after a menu letter. Ok: the control gave a
  // number (ended by CR) the station can serve; Cancel: "!" back to the
  // menu; Dc2: the control starts a tape instead.
  void AskPartNumber(bool isSend, bool& cancel, bool& ok, bool& dc2);
  // Reads the typed number up to its end (PartEntry::Going: the line stayed
  // quiet or the thread is ending).
  PartEntry ReadPartNumber(PartNumberInput& input);
  // Takes the part number as the transfer name; false when it names a file
  // outside the machine's directories.
  bool TakePartName(const std::string& typed);
  bool PartExists() const;
  // The control's Y/N to an overwrite; false when it gave none.
  bool ReadOverwriteAnswer(char& answer);
  // The menu after "!" (the "!" is taken).
  void HybridMenu(bool& stored, bool& receiptIsError);

  void HybridReceiveLines(bool& ok);
  void HybridSendLines();
  // One line of an upload: Line gets its text; the result says how it ended
  // (PromptedLineSplitter::End::None: the line failed or the thread ends).
  PromptedLineSplitter::End ReadPromptedLine(PromptedLineSplitter& splitter);
  bool ReadPrompt();

  std::string partName_;  // the part number's file name, as the station uses it
  bool lastReadFailed_ = false;
};

}  // namespace zova
