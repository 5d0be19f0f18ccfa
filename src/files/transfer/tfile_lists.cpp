// The substitute texts a send can need: the tool file built by the tool
// layer and the directory listing of a request's mask.

#include "core/error_text.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/storage/safe_file.h"
#include "files/transfer/listing_files.h"
#include "files/transfer/reception_names.h"
#include "files/transfer/tfile.h"
#include "tools/offset_program.h"
#include "tools/tool_settings.h"

namespace zova {

bool TFile::BuildToolFile(const std::string& target, std::string& path, std::string& error) {
  OffsetRequest rq;
  ReadToolFormat(SectionName, rq.Settings);
  rq.Keys = ReadMachineToolKeys(SectionName);
  std::string program = WithDefaultExt(GetCell(kColFilnavn), Ext), dir;
  ResolveDir(true, program, dir);
  rq.SourceProgram = dir + program;
  rq.Target = target;
  const OffsetFileResult res = WriteOffsetProgram(rq);
  for (const std::string& w : res.Warnings) NoteForSend(w);
  if (!res.Ok) {
    error = res.Error;
    return false;
  }
  if (!res.KeepOriginal) {
    path = target;
    return true;
  }
  // Nothing was written: what the control gave us (or, for a Heidenhain
  // program without a register, the program itself) goes back unchanged.
  path = rq.Settings.Format == kToolHeidenhain ? rq.SourceProgram : ToolDataTarget();
  if (FileExists(path)) return true;
  error = L1("Umulig å åpne filen: ") + path;
  return false;
}

bool TFile::BuildListing(std::string& path, std::string& error) {
  std::string mask = GetCell(kColFilnavn);
  if (mask.empty()) mask = "*" + Ext;
  std::string dir;
  ResolveDir(UseFirstSet, mask, dir);
  const std::string full = dir + mask;
  if (!DirExists(DirOf(full))) {
    error = "Katalog eksisterer ikke: " + DirOf(full);
    return false;
  }
  std::vector<ListingEntry> entries =
      CollectListingEntries(DirOf(full), FileNameOf(full), Listing.underKataloger);
  const std::string text = BuildDirectoryListing(std::move(entries), Listing);
  path = TempBase() + "DIR";
  AtomicWriter w;
  int e = w.Open(path);
  if (!e) e = w.Write(text.data(), text.size());
  if (!e) e = w.Commit();
  if (e) error = "Kopier-rewrite: " + path + ", " + ErrorText(e, ErrorContext::Storage);
  return e == 0;
}

}  // namespace zova
