// The Heidenhain driver's keys, the dialogue the control starts, and the
// operator's sends.

#include "protocols/heidenhain/theidenhain.h"

#include "core/latin1.h"
#include "core/paths.h"
#include "core/visual.h"
#include "files/namesearch/primitives.h"
#include "tools/tool_settings.h"

namespace zova {

using namespace heidenhain;

THeidenHain::THeidenHain(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TLinje(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  XoffBrudd = ReadIniBool(s, "XoffBrudd", true);
  StartSjekk = ReadIniBool(s, "StartSjekk", true);
  EndSjekk = ReadIniBool(s, "EndSjekk", false);
  LinjeSjekk = ReadIniBool(s, "LinjeSjekk", false);
  Melding = ReadIniBool(s, "Melding", false);
  MEModus = ReadIniBool(s, "MEModus", false);
  Maaling = ReadIniBool(s, "Maaling", false);
  const std::string ext = ReadIniUpper(s, "DefaultExt", "H");
  DefaultExt = ext.size() == 1 ? ext[0] : 'H';
  Listing.defaultExt = DefaultExt;
  // The control asks for listings by a command of its own: a machine that
  // names no listing format gets the control's sector table.
  if (!IniKeyExists(s, "DirFilType")) {
    Listing.type = DirFileType::Heidenhain;
    if (!IniKeyExists(s, "DirProgramNr")) Listing.dirProgramNr = DefaultDirProgramNr(Listing.type);
  }
  FileType = DefaultExt;
  HomeDir = DataDir;
}

std::string THeidenHain::ExtForType(char type) const {
  return heidenhain::ExtForType(type, DefaultExt, Ext);
}

bool THeidenHain::ToolTransfer() const {
  return (UpperChar(FileType) == 'T' || ZeroNamed) && ToolProtokoll != kToolNone;
}

void THeidenHain::SetNameFromNc(std::string name) {
  name = Trim(name);
  ZeroNamed = false;
  if (name == "0" && UpperChar(FileType) == 'H' && ToolProtokoll != kToolNone) {
    name = StripExt(Trim(GetCell(kColFilnavn)));
    ZeroNamed = name != "0";
  }
  // A header without a name still stores what comes, under the station's
  // name for an unnamed program.
  if (name.empty()) name = std::string(kNoName);
  SetFileName(CurrentDir + name + ExtForType(FileType));
}

void THeidenHain::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  const bool xonStart = Com.XonStart;
  while (!Terminated()) {
    // An XON inside the dialogue is flow, not a start signal.
    Com.XonStart = false;
    char ch = 0;
    bool ok = false;
    ReadHhChar(true, false, ok, ch);
    if (!ok) break;
    if (ch == kEtx || ch == kEot || ch == kAck || ch == kNak) continue;
    if (ch != kSoh && ch != kEsc) {
      Com.XonStart = xonStart;
      UnreadChar(Com, ch);
      TLinje::Receive(stored, receiptIsError);
      return;
    }
    ServeCommands(std::string(1, ch));
  }
  Com.XonStart = xonStart;
}

void THeidenHain::ServeCommands(std::string next) {
  ReportCell(kColStatus, "Mottar Heidenhain-kommando");
  SetCell(kColMelding, "");
  SetRemoveNull(Com, false);
  // The control's answers come while a block goes out; block-wise flow
  // would take them for its own.
  Com.BlokkvisActive = false;
  while (!next.empty() && !Terminated()) {
    if (next[0] == kSoh) {
      next = ServeHeader(next);
    } else if (next[0] == kEsc) {
      next = ServeHhCommand();
    } else if (next.size() == 1 &&
               (next[0] == kEtx || next[0] == kEot || next[0] == kAck || next[0] == kNak)) {
      next.clear();
    } else {
      SetCell(kColMelding, L1("Linjestøy: ") + StrToVisual(next));
      next.clear();
    }
  }
  Com.BlokkvisActive = true;
  SetRemoveNull(Com, true);
}

std::string THeidenHain::ServeHeader(const std::string& text) {
  std::string header = text;
  if (text.size() == 1 && ReceiveHhBlockRetry(false, text, header) != Outcome::Accepted)
    header.clear();
  const Header h = ParseHeader(header);
  if (h.kind != Header::Kind::Invalid) FileType = h.type;
  switch (h.kind) {
    case Header::Kind::Store:
      return ReceiveHhProgram(h.name);
    case Header::Kind::Read:
      return ServeHhRead(h.name);
    case Header::Kind::Invalid:
      break;
  }
  SetCell(kColMelding, "Feiltelegram: " + StrToVisual(header));
  return {};
}

void THeidenHain::Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  if (!isTool && !isDirectory && !errorReceipt && !Com.HandShake) {
    ResetControl();
    return;
  }
  if (!MEModus && !isDirectory) {
    // Told also on a line with hardware handshake: the order was taken and
    // nothing went out.
    ReportCell(kColMelding, "Sending blokkert (ME-modus)");
    // The control must raise its start line anew before the next try.
    Com.RemoteWasReady = true;
    return;
  }
  const bool soft = Com.XonXoff;
  if (soft) SwitchToSoftware(Com, false, false);
  TZova::Send(isTool, isDirectory, errorReceipt, isReceipt);
  if (soft) SwitchToHardware(Com);
  if (!MEModus) SetFileName(std::string(kNoName) + Ext);
}

// Without handshake the operator's send order ends whatever dialogue the
// control is stuck in.
void THeidenHain::ResetControl() {
  for (char ch : {kAck, kEtx, kEot}) WriteControlChar(ch);
  if (Melding) SendHhBlockRetry("CNC RESATT", false, true);
  FlushConsole();
  SetCell(kColMelding, "");
}

}  // namespace zova
