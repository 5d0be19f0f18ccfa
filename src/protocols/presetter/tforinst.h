#pragma once
// The presetter station: a presetter on the machine's line sends a line per
// measured tool; each line is read with the parser of the Forinnstiller type
// and the per-system keys, the tool is stored in its system's register, and
// after the transmission the offset program of the station's ToolProtokoll
// is written from every register that changed. docs/tools.md says what it
// does and what it leaves out.

#include <string>
#include <vector>

#include "protocols/presetter/presetter_entry.h"
#include "serial/standard/tzova.h"

namespace zova {

class TForInst : public TZova {
 public:
  TForInst(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  int PresetterType = 0;

  // Stores Entry in its register; false with Error set when that failed.
  static bool StoreEntry(const PresetterEntry& entry, std::string& error);
  // The offset program of the station's ToolProtokoll from System's
  // register, written to ToolFil<n> (or ToolFil, or the data directory's
  // VERKTOY file); false with Error set when it could not be written.
  bool WriteProgram(const PresetterEntry& entry, std::string& path, std::string& error);

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;

 private:
  // One line: stored, or counted as not used with its reason shown.
  void TakeLine(const std::string& line);
  void WritePrograms();

  std::vector<PresetterEntry> touched_;  // one per register that changed
  int storedCount_ = 0, unusedCount_ = 0;
};

}  // namespace zova
