#include "files/storage/tfiledef.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/config/config.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "core/uihost.h"
#include "files/storage/backup_names.h"
#include "tools/register_file.h"

namespace zova {
namespace {

int64_t FileTime(const std::string& stationPath) {
  struct stat st {};
  if (::stat(FsPath(stationPath).c_str(), &st) != 0) return 0;
  return static_cast<int64_t>(st.st_mtime);
}

}  // namespace

TFileDef::TFileDef(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TLogg(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  SjekkTid = ReadIniInt(s, "SjekkTid", 250);
  for (int i = 1;; ++i) {
    std::string alt = ReadIniUpper(s, "AltKatalog" + std::to_string(i), "");
    if (alt.empty()) break;
    AltKataloger.push_back(WithTrailingSep(alt));
  }
  ToolReg = ReadIniUpper(s, "ToolReg", "");
  NomReg = ReadIniUpper(s, "NomReg", "");
  FirstToolLine = ReadIniStr(s, "FirstToolLine", "%", true);
  ToolLine = ReadIniStr(s, "ToolLine", "T#T3!T L#L4,3!L R#D4,3,0.5!D", true);
  LastToolLine = ReadIniStr(s, "LastToolLine", "%", true);
  EmptyToolLine = ReadIniStr(s, "EmptyToolLine", "%\r\n(INGEN DATA)\n\r%", true);
  ToolDiv = std::max(1, ReadIniInt(s, "ToolDiv", 1));
  AutoToolLoad = ReadIniBool(s, "AutoToolLoad", false);
  DOffset = ReadIniFloat(s, "DOffset", 0);
  DOffset = ReadIniFloat(s, "ROffset", DOffset);
  DOffset = ReadIniFloat(s, "XOffset", DOffset);
  LOffset = ReadIniFloat(s, "LOffset", 0);
  LOffset = ReadIniFloat(s, "ZOffset", LOffset);
  BackupFiles = std::max(0, ReadIniInt(s, "BackupFiles", 0));
  BakFiler = ReadIniBool(s, "BakFiler", ReadIniBool("Program", "BakFiler", true));
  LagKataloger = ReadIniBool(s, "LagKataloger", ReadIniBool("Program", "LagKataloger", false));
  SystemProgram = ReadIniBool(s, "SystemProgram", false);
  Revisjon = ReadIniInt(s, "Revisjon", 0);
  FilNavnNullstill = ReadIniBool(s, "FilNavnNullstill", false);
  BackupKatalog = ReadIniUpper(s, "BackupKatalog", "");
  if (!BackupKatalog.empty()) BackupKatalog = WithTrailingSep(BackupKatalog);
  FellesKataloger = ReadIniBool("Program", "FellesKataloger", false);
  SlettToolReg = ReadIniBool(s, "SlettToolReg", false);
  ToolRegUtgaar = ReadIniBool(s, "ToolRegUtgaar", false);
  TekstFormat = ReadIniBool(s, "TekstFormat", ReadIniBool(s, "TekstFormatCNC", true));
  UtvidEkstra = ReadIniStr(s, "UtvidEkstra", "", true).substr(0, 50);
  ReadMacroKeys();
  ReadListingKeys();
}

void TFileDef::ReadMacroKeys() {
  const std::string& s = SectionName;
  Makro = ReadIniUpper(s, "Makro", "", true);
  MakroIkke = ReadIniUpper(s, "MakroIkke", "", true);
  StartHendelse = ReadIniUpper(s, "StartHendelse", "", true);
  StoppHendelse = ReadIniUpper(s, "StoppHendelse", "", true);
  StartParameter = ReadIniUpper(s, "StartParameter", "", true);
  StoppParameter = ReadIniUpper(s, "StoppParameter", "", true);
  const std::string kind = ReadIniUpper(s, "MakroProgram", "Ingen");
  if (kind == "STANDARD") {
    MakroProgram = MakroKind::Standard;
  } else if (kind == "PARENTESER") {
    MakroProgram = MakroKind::Parenteser;
    Makro = "(M)(";
  } else if (kind == "FANUC") {
    MakroProgram = MakroKind::Fanuc;
    Makro = "MAKRO";
    MakroIkke = "%";
  } else if (kind != "INGEN") {
    ShowNotice(s, L1("Ugyldig makroprogram: ") + kind);
  }
}

void TFileDef::ReadListingKeys() {
  const std::string& s = SectionName;
  const std::string type = ReadIniUpper(s, "DirFilType", "Ingen");
  bool ok = true;
  Listing.type = DirFileTypeFromName(type, ok);
  if (!ok) ShowNotice(s, "Ugyldig DirFilType: " + type);
  Listing.dirProgramNr = ReadIniUpper(s, "DirProgramNr", DefaultDirProgramNr(Listing.type), true);
  TimeSize = ReadIniBool(s, "TimeSize", false);
  Listing.time = ReadIniBool(s, "Time", TimeSize);
  Listing.size = ReadIniBool(s, "Size", TimeSize);
  Listing.underKataloger = ReadIniBool(s, "UnderKataloger", false);
  Listing.maxKatalogLinjer = ReadIniInt(s, "MaxKatalogLinjer", 200);
  Listing.artikkel = std::max(0, ReadIniInt(s, "Artikkel", 0));
  Listing.beskrivelse = std::max(0, ReadIniInt(s, "Beskrivelse", 0));
  Listing.defaultExt = ReadIniChar(s, "DefaultExt", 'H');
  Listing.sector = std::max(1, ReadIniInt(s, "Sector", 1024));
  Listing.nameWidth = std::clamp(ReadIniInt(s, "MaxLengde", 20), 1, 255);
  Listing.startKode = ReadIniStr(s, "StartKode", "%", true);
  // The line's own stop code, which is empty unless the machine sets one.
  Listing.stoppKode = ReadIniStr(s, "StoppKode", ReadIniStr(s, "SluttKode", "", true), true);
}

void TFileDef::GetGridFileName(std::string& name, bool& stale) {
  name = GetCell(kColFilnavn);
  stale = !name.empty() && name.back() == '!';
  if (stale) name.pop_back();
}

void TFileDef::ResolveDir(bool firstSet, const std::string& name, std::string& dir) const {
  dir = firstSet ? DataDir : Katalog2;
  PathPrefix(name, dir);
}

void TFileDef::FindRevision(const std::string& dir, const std::string& name, bool& found,
                            std::string& path) {
  found = false;
  const std::string pattern = RevisionPattern(name, Ext);
  const std::string sub = DirOf(pattern);
  const std::string searchDir = JoinPath(dir, sub);
  std::vector<RevisionCandidate> candidates;
  for (const std::string& f : ListFiles(searchDir, FileNameOf(pattern)))
    candidates.push_back({f, FileTime(JoinPath(searchDir, f))});
  const int pick = ChooseRevision(Revisjon, candidates);
  if (pick < 0) return;
  const std::string shown = sub + candidates[static_cast<size_t>(pick)].name;
  path = JoinPath(dir, shown);
  found = true;
  SetCell(kColFilnavn, UpperCase(shown));
}

void TFileDef::FindInAltDirs(std::string& name, bool& found) {
  found = false;
  for (const std::string& alt : AltKataloger) {
    std::string path = JoinPath(alt, name);
    if (FileExists(path)) {
      name = path;
      found = true;
      return;
    }
    if (Revisjon >= 1) {
      FindRevision(alt, name, found, path);
      if (found) {
        name = path;
        return;
      }
    }
  }
}

void TFileDef::PrepareTransfer(bool isTool, bool& ok) {
  ok = true;
  RememberedName = GetCell(kColFilnavn);
  if (!isTool || ToolReg.empty()) return;
  // An expiring register is renewed by the reader itself; only deletion acts here.
  if (SlettToolReg && FileExists(ToolReg) && !DeleteToolRegister(ToolReg)) {
    ok = false;
    SetCell(kColMelding, L1("Umulig å slette verktøydata - ") + ToolReg);
  }
}

void TFileDef::MarkNameStale() {
  if (!FilNavnNullstill) return;
  std::string name = GetCell(kColFilnavn);
  if (!name.empty() && name.back() != '!') SetCell(kColFilnavn, name + "!");
}

}  // namespace zova
