#pragma once
// The driver layer that knows where a machine's programs live and how a
// received program becomes a file there, with its backups.

#include <string>
#include <vector>

#include "core/driver/tlogg.h"
#include "files/storage/dir_listing.h"

namespace zova {

enum class MakroKind { Ingen, Standard, Parenteser, Fanuc };

class TFileDef : public TLogg {
 public:
  TFileDef(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  void GetGridFileName(std::string& name, bool& stale);
  // Dir to stand before Name: empty for a drive or share name, the drive of
  // Katalog for a name starting with a separator, else Katalog or Katalog2.
  void ResolveDir(bool firstSet, const std::string& name, std::string& dir) const;
  void FindRevision(const std::string& dir, const std::string& name, bool& found,
                    std::string& path);
  void FindInAltDirs(std::string& name, bool& found);
  // Stores TempName under TransferName. Format: the storage conversion (0 none).
  void StoreReceived(bool firstSet, bool extend, bool& ok, int format, bool byteForByte);
  void CopyNormalized(const std::string& source, const std::string& target, bool& ok, bool append,
                      const std::string& logName);
  void MoveOrCopyFile(const std::string& source, const std::string& target, bool& ok,
                      const std::string& logName);
  // Path of the next emergency file; Ok false when no store can be made.
  void OpenBackupFile(const std::string& logName, std::string& path, bool& ok);
  void PrepareTransfer(bool isTool, bool& ok);
  void MarkNameStale();

  // Configuration (read once).
  int SjekkTid = 250;
  std::vector<std::string> AltKataloger;
  std::string ToolReg, NomReg, FirstToolLine, ToolLine, LastToolLine, EmptyToolLine;
  int ToolDiv = 1;
  bool AutoToolLoad = false;
  double DOffset = 0, LOffset = 0;
  int BackupFiles = 0;
  bool BakFiler = true;
  bool LagKataloger = false;
  bool SystemProgram = false;
  int Revisjon = 0;
  bool FilNavnNullstill = false;
  std::string BackupKatalog;  // empty: the target's directory
  std::string Makro, MakroIkke, StartHendelse, StoppHendelse, StartParameter, StoppParameter;
  MakroKind MakroProgram = MakroKind::Ingen;
  ListingOptions Listing;
  bool TimeSize = false;
  bool FellesKataloger = false;
  bool SlettToolReg = false, ToolRegUtgaar = false;

  // Transfer state shared with the transfer layer.
  std::string TransferName;
  std::string TempName;
  bool TransferError = false;
  bool IsSystemFile = false;
  bool TekstFormat = true;
  std::string UtvidEkstra;
  std::string RememberedName;  // the Filnavn cell before the transfer

 protected:
  // True when Path lies inside the machine's directories (or the parent of
  // the machine directory with FellesKataloger).
  bool NameAllowed(const std::string& path) const;
  // Runs between writing the new program and renaming it into place; false
  // stops the store there (tests use it to interrupt a store).
  virtual bool BeforeReplace(const std::string& /*target*/) { return true; }

 private:
  void ReadMacroKeys();
  void ReadListingKeys();
  void RotateBackups(const std::string& dir, const std::string& base, const std::string& target);
  void EmergencyStore(const std::string& source, const std::string& logName, bool normalise);
  int WriteTarget(const std::string& source, const std::string& target, bool append, bool normalise,
                  bool keepBak, const std::string& dir, const std::string& base);
  void ShowIoError(const std::string& what, int code);
};

}  // namespace zova
