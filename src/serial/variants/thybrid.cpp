// The Hybrid menu and its part number dialogue.

#include "serial/variants/thybrid.h"

#include "core/paths.h"
#include "serial/variants/tdc2.h"

namespace zova {

namespace {

// The operator types the number at the control: the station waits this many
// quiet read periods in a row for the next key.
constexpr int kQuietReads = 60;

}  // namespace

THybrid::THybrid(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TBtr(links, sharedRequest, machineNo) {}

void THybrid::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ResetTransfer();
  ReportCell(kColStatus, "Mottar data");
  SetCell(kColMelding, "");
  char ch = 0;
  bool read = false;
  ReadChar(Com, true, read, ch);
  if (!read) {
    ReportCell(kColStatus, "Mottak avbrutt");
    FlushConsole();
    return;
  }
  if (ch != '!') {
    UnreadChar(Com, ch);
    TBtr::Receive(stored, receiptIsError);
    return;
  }
  HybridMenu(stored, receiptIsError);
}

void THybrid::HybridMenu(bool& stored, bool& receiptIsError) {
  ReportCell(kColStatus, "Mottar Hybrid Filnavn");
  while (!Terminated()) {
    // A letter that did not come is answered as an unknown one: the
    // operator sees "Error" and goes back to the menu with "!".
    char letter = 0;
    bool read = false;
    ReadChar(Com, true, read, letter);
    if (!read) letter = 0;
    bool lineOk = true;
    WriteString(Com, HybridMenuAnswer(letter), lineOk);
    LogNewLine();
    bool cancel = false, ok = false, dc2 = false;
    AskPartNumber(letter == 'S', cancel, ok, dc2);
    if (ok && letter == 'S') {
      HybridSendLines();
      return;
    }
    if (ok && letter == 'R') {
      HybridReceiveLines(stored);
      return;
    }
    if (dc2) {
      UnreadChar(Com, kDc2);
      TBtr::Receive(stored, receiptIsError);
      return;
    }
    if (!cancel) {
      if (lastReadFailed_) ReportCell(kColStatus, "Mottak avbrutt");
      return;
    }
  }
}

void THybrid::AskPartNumber(bool isSend, bool& cancel, bool& ok, bool& dc2) {
  const std::string etx(1, kHybridEtx);
  for (;;) {
    PartNumberInput input;
    const PartEntry end = ReadPartNumber(input);
    ok = end == PartEntry::Ok;
    cancel = end == PartEntry::Cancel;
    dc2 = end == PartEntry::Dc2;
    const std::string typed = PartNumberFileName(input.Number(), Ext);
    const bool allowed = TakePartName(typed);
    // Only a number the control finished with CR is answered: one it gave
    // up on is not asked for again.
    if (!ok) break;
    bool lineOk = true;
    WriteString(Com, "\r\n", lineOk);
    if (isSend) {
      // A name outside the machine's directories is not there to be sent.
      if (!allowed || !PartExists()) {
        WriteString(Com, typed + " FILE NOT FOUND, PART # " + etx, lineOk);
        continue;
      }
      WriteString(Com, "Ready To Send*", lineOk);
      break;
    }
    if (!allowed) {
      WriteString(Com, "\r\nNEW PART # " + etx, lineOk);
      continue;
    }
    if (PartExists()) {
      WriteString(Com, typed + " Exists, Overwrite?, Y OR N " + etx, lineOk);
      char answer = 0;
      if (!ReadOverwriteAnswer(answer)) {
        ok = false;  // no answer is no permission to overwrite
        break;
      }
      if (answer == 'N' || answer == '7') {
        WriteString(Com, "\r\nNEW PART # " + etx, lineOk);
        continue;
      }
    }
    WriteString(Com, "Ready To Receive*>", lineOk);
    break;
  }
  LogNewLine();
}

PartEntry THybrid::ReadPartNumber(PartNumberInput& input) {
  lastReadFailed_ = false;
  int quiet = 0;
  while (!Terminated()) {
    char ch = 0;
    bool read = false;
    ReadChar(Com, true, read, ch);
    if (read) {
      quiet = 0;
      const PartEntry end = input.Take(ch);
      if (end != PartEntry::Going) return end;
      continue;
    }
    // The control asks for a program with XON: the menu is left for it.
    if (Com.XonXoff && Com.StartSeen) break;
    if (++quiet >= kQuietReads) {
      lastReadFailed_ = true;
      break;
    }
  }
  return PartEntry::Going;
}

bool THybrid::TakePartName(const std::string& typed) {
  std::string name = typed;
  // The number comes from the control: "..\" and a leading "\" could reach
  // any file of the station's disk.
  if (!GuardName(name, false)) {
    partName_.clear();
    return false;
  }
  partName_ = name;
  SetFileName(name);
  return true;
}

bool THybrid::PartExists() const {
  std::string dir;
  ResolveDir(true, partName_, dir);
  return !partName_.empty() && FileExists(dir + partName_);
}

bool THybrid::ReadOverwriteAnswer(char& answer) {
  bool read = false;
  for (int quiet = 0; !read && quiet < kQuietReads && !Terminated(); ++quiet)
    ReadChar(Com, true, read, answer);
  if (!read) return false;
  // The rest of the answer, up to its CR.
  for (char ch = answer; read && ch != '\r' && !Terminated();) ReadChar(Com, false, read, ch);
  return true;
}

}  // namespace zova
