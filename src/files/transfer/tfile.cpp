#include "files/transfer/tfile.h"

#include <algorithm>

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/convert/file_format.h"
#include "tools/tool_settings.h"

namespace zova {

TFile::TFile(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TFileDef(links, sharedRequest, machineNo), Search(ReadNameSearchConfig(machineNo)) {
  ReadTransferKeys();
  TempName = TempBase() + "RX";
}

TFile::~TFile() {
  CloseHandle();
}

void TFile::ReadTransferKeys() {
  const std::string& s = SectionName;
  bool present = false;
  ToolLagre = ReadIniUpper(s, "ToolLagre", "", true);
  StartNavn = ReadIniUpper(s, "StartNavn", "", true);
  KatalogTegn = ReadIniCharSet(s, "KatalogTegn", "/", present);
  FilNavnTegn = ReadIniCharSet(s, "FilNavnTegn", "", present);
  MaxHent = ReadIniInt(s, "MaxHent", 100);
  MaxHent2 = ReadIniInt(s, "MaxHent2", MaxHent);
  FastKatalog = ReadIniBool(s, "FastKatalog", true);
  UtKatalog = ReadIniBool(s, "UtKatalog", ReadIniBool("Program", "UtKatalog", false));
  InnKatalog = ReadIniBool(s, "InnKatalog", ReadIniBool("Program", "InnKatalog", false));
  OrigToolNavn = ReadIniBool(s, "OrigToolNavn", true);
  BrukHenteProgram = ReadIniBool(s, "BrukHenteProgram", true);
  IgnorerFilNavn = ReadIniUpper(s, "IgnorerFilNavn", "", true);
  FjernLinje = ReadIniCharSet(s, "FjernLinje", "", present);
  FjernTegn = ReadIniCharSet(s, "FjernTegn", "", present);
  IngenFil = ReadIniStr(s, "IngenFil", "", true);
  FeilFil = ReadIniUpper(s, "FeilFil", "");
  Noise = ReadIniInt(s, "Noise", 5);
  Utvid = ReadIniUpper(s, "Utvid", "", true);
  StoreBokstaver = ReadIniBool(s, "StoreBokstaver", false);
  ByttFra = ReadIniStr(s, "ByttFra", "", true);
  ByttTil = ReadIniStr(s, "ByttTil", "", true);
  FjernSpace = ReadIniBool(s, "FjernSpace", false);
  Kvittering = ReadIniStr(s, "Kvittering", "[CR]%[CR](FIL LAGRET)[CR]%[CR]", true);
  FeilMelding = ReadIniStr(s, "FeilMelding", "", true);
  SubOK = ReadIniBool(s, "SubOK", false);
  // The notices for unknown values come from the layers that own the keys.
  FilFormat = std::max(0, FileFormatNumber(ReadIniUpper(s, "FilFormat", "STANDARD")));
  ToolProtokoll = std::max(0, ToolFormatNumber(ReadIniUpper(s, "ToolProtokoll", "")));
  macro_ = {Makro, MakroIkke, StartHendelse, StoppHendelse, StartParameter, StoppParameter};
  static constexpr const char* kKinds[] = {"INGEN", "STANDARD", "PARENTESER", "FANUC"};
  MacroMarkersFor(kKinds[static_cast<int>(MakroProgram)], macro_);

  SendRules rules;
  rules.storeBokstaver = StoreBokstaver;
  rules.byttFra = ByttFra;
  rules.byttTil = ByttTil;
  rules.fjernLinje = FjernLinje;
  rules.fjernTegn = FjernTegn;
  rules.subOK = SubOK;
  filter_ = SendFilter(rules);
}

void TFile::SetFileName(const std::string& name) {
  TransferName = name;
  if (!FastKatalog) {
    std::string dir;
    ResolveDir(UseFirstSet, name, dir);
    TransferName = dir + name;
  }
  SetCell(kColFilnavn, TransferName);
}

void TFile::ResetTransfer() {
  Head.clear();
  TransferName.clear();
  TransferPath.clear();
  IsProgram = IsExtend = IsToolName = IsToolData = false;
  IsDirectory = IsPrint = IsMacro = IsRequest = false;
  Classified = false;
  ToolDataName.clear();
  TransferError = false;
  IsSystemFile = false;
  UseFirstSet = true;
}

void TFile::ResetStopMatcher(const std::string& sequence) {
  stop_.Reset(sequence);
}

void TFile::CloseHandle() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  writing_ = false;
  pos_ = fill_ = 0;
  atEnd_ = false;
  havePushed_ = false;
}

}  // namespace zova
