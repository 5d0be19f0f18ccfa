// What a reception is, decided once from its head: macro, tool file request,
// tool data, directory request, print request, fetch request or program.

#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/namesearch/primitives.h"
#include "files/transfer/reception_names.h"
#include "files/transfer/tfile.h"
#include "tools/tool_settings.h"

namespace zova {

void TFile::ClassifyReception() {
  if (Classified) return;
  Classified = true;
  Head = UpperCase(Head);
  IsProgram = IsExtend = IsToolName = IsToolData = false;
  IsDirectory = IsPrint = IsMacro = IsRequest = false;
  if (!TransferName.empty()) {
    // Named by the driver before the reception: a program under that name,
    // so that nothing received is left unstored.
    IsProgram = true;
    return;
  }
  if (ClassifyMacro()) return;
  if (ClassifyToolName()) return;
  if (ToolProtokoll != kToolNone && !ToolLagre.empty() && Head.find(ToolLagre) != std::string::npos)
    return ClassifyToolData();
  if (ClassifyDirectory()) return;
  if (ClassifyPrint()) return;
  ClassifyFetchOrProgram();
}

bool TFile::ClassifyMacro() {
  if (MakroProgram == MakroKind::Ingen) return false;
  MacroMatch m;
  if (!MatchMacro(Head, macro_, m)) return false;
  IsMacro = true;
  bool ok = false;
  WriteMacroRecord(m.number, m.parameter, ok);
  const std::string text = std::to_string(m.number) + ";" + m.parameter;
  if (ok)
    SetCell(kColMelding, "Logget " + text);
  else
    SetCellWait(kColMelding, "Lagring av logg feilet (" + text + ")");
  // Event 4 names the program the control is running.
  if (m.number == 4 && !m.parameter.empty()) SetCell(kColFilnavn, m.parameter + Ext);
  return true;
}

void TFile::WriteMacroRecord(int number, const std::string& parameter, bool& ok) {
  WriteStatusRecord(MachineNo(), number, parameter, ok);
}

bool TFile::ClassifyToolName() {
  if (ToolProtokoll == kToolNone || ToolProtokoll == kToolSiemens880 ||
      ToolProtokoll == kToolHeidenhain)
    return false;
  const NameResult r = FindProgramNameWith(Search, smTool, Head);
  if (!r.found || r.name == kNoName) return false;
  UseFirstSet = r.firstPair;
  std::string name = NameFromResult(r);
  if (!GuardName(name, false)) name = std::string(kNoName);
  TransferName = StripExt(name) + ToolFileExt(false, true);
  IsToolName = true;
  SetCell(kColFilnavn, TransferName);
  return true;
}

void TFile::ClassifyToolData() {
  IsToolData = true;
  ToolDataName.clear();
  const bool emco = ToolProtokoll == 20 || ToolProtokoll == 21;
  if (emco && OrigToolNavn) {
    Look look;
    look.extra = nullptr;
    look.numericOnly = true;
    look.maxLen = 4;
    const std::string n = SearchName(Head, "%T", "%T", "", look);
    if (n != kNoName) ToolDataName = n;
  }
}

bool TFile::ClassifyDirectory() {
  if (Listing.type == DirFileType::Ingen) return false;
  const NameResult r = FindProgramNameWith(Search, smDirectory, Head);
  if (!r.found) return false;
  UseFirstSet = r.firstPair;
  std::string mask = DirectoryMask(NameFromResult(r), Ext);
  if (!GuardName(mask, false)) mask = "*" + Ext;
  if (!FastKatalog) mask = ResolveLeadingParents(mask, MachineDir());
  TransferName = mask;
  IsDirectory = true;
  SetCell(kColFilnavn, mask);
  return true;
}

bool TFile::ClassifyPrint() {
  const NameResult r = FindProgramNameWith(Search, smPrint, Head);
  if (!r.found) return false;
  std::string name = NameFromResult(r);
  if (!GuardName(name, false)) name = std::string(kNoName) + Ext;
  TransferName = name;
  IsPrint = true;
  return true;
}

void TFile::ClassifyFetchOrProgram() {
  NameResult r = FindProgramNameWith(Search, smFetch, Head);
  UseFirstSet = r.firstPair;
  if (r.name == kNoName) {
    IsProgram = true;
    r = FindProgramNameWith(Search, smSave, Head);
    UseFirstSet = r.firstPair;
    IsExtend = r.extended;
  } else {
    IsRequest = true;
  }
  std::string name = NameFromResult(r);
  if (IsProgram && !IsExtend && !Utvid.empty() && name != UpperCase(IngenFil) &&
      Head.find(Utvid) != std::string::npos)
    IsExtend = true;
  name = WithDefaultExt(name, UseFirstSet ? Ext : Ext2);
  if (!GuardName(name, IsProgram)) name = std::string(kNoName) + Ext;
  if (IsProgram && (UtKatalog || InnKatalog)) name = FileNameOf(name);
  if (!FastKatalog && !IsAbsolutePath(name)) name = MachineDir() + name;
  TransferName = name;
  if (IsProgram || (BrukHenteProgram && name != IgnorerFilNavn)) SetCell(kColFilnavn, name);
}

std::string TFile::NameFromResult(const NameResult& r) {
  if (r.askName) return GetCell(kColFilnavn);
  return StationNameFromControl(r.name, KatalogTegn, FellesKataloger);
}

// Leading "..\" parts are resolved against the machine directory; the name
// must then lie in the station's directories. A name that climbs out is not
// followed: the caller falls back to "0000" and the operator is told.
bool TFile::GuardName(std::string& name, bool forProgram) {
  bool parents = name.size() >= 3 && name[0] == '.' && name[1] == '.' && IsSep(name[2]);
  std::string full = parents ? ResolveLeadingParents(name, MachineDir()) : name;
  std::string dir;
  ResolveDir(UseFirstSet, full, dir);
  if (NameAllowed(dir + full)) {
    if (parents) name = full;
    return true;
  }
  const std::string shown = forProgram ? L1("Ulovlig katalog i filnavn, lagret som 0000") + Ext
                                       : std::string("Ulovlig katalog i filnavn");
  SetCell(kColMelding, shown + ": " + name);
  LogEvent(false, "Ulovlig filnavn " + name);
  return false;
}

}  // namespace zova
