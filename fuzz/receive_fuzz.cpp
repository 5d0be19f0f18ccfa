// The receive side of TFile: bytes in, classification and stored files out.
// The first input byte picks one of the machine set-ups below, the rest is
// what the control sends. After each reception: the head is within its limit,
// at most one kind is set, and nothing was written outside the data tree.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "core/globals.h"
#include "core/model/station_model.h"
#include "files/transfer/tfile.h"

namespace {

namespace fs = std::filesystem;

class Driver : public zova::TFile {
 public:
  using TFile::TFile;
  void Execute() override {}
};

constexpr int kSetups = 6;

// One machine per set-up: names with directories, second sets, macros,
// listings, tool data, extension and removed characters.
const char* const kMachines[kSetups] = {
    "",
    "FastKatalog=False\nKatalogTegn=/\\\nDirFilType=FANUC\nMaxHent=40\nMaxHent2=60",
    "HenteProgram=DOBBEL\nStartLagre2=<\nStoppLagre2=>\nKatalog2=@DATA@M2/\nUtvid=(U)",
    "MakroProgram=PARENTESER\nStartNavn=O\nMaxHent=12",
    "ToolProtokoll=EMCODREI\nToolLagre=%T\nTool=T\nToolReg=@DATA@TOOLS/",
    "HenteProgram=PARENTESER\nFjernTegn=[NUL]\nBackupFiles=2\nTekstFormat=False",
};

struct World {
  fs::path root;
  zova::StationModel model{kSetups + 1};
  zova::UiLinks links;
  std::unique_ptr<Driver> drivers[kSetups];
  std::set<std::string> kept{"M2", "TOOLS"};

  World() {
    char tmpl[] = "/tmp/zova-receive-fuzz-XXXXXX";
    root = ::mkdtemp(tmpl);
    const std::string data = (root / "data/").string();
    fs::create_directories(root / "tmp");
    fs::create_directories(root / "data/M2");
    fs::create_directories(root / "data/TOOLS");
    std::string ini =
        "[Program]\nTemp=" + (root / "tmp/").string() + "\nBackupKatalog=" + data + "EMERG\n";
    for (int i = 0; i < kSetups; ++i) {
      std::string keys = kMachines[i];
      for (size_t p; (p = keys.find("@DATA@")) != std::string::npos;) keys.replace(p, 6, data);
      const std::string dir = data + "M" + std::to_string(i + 1) + "X/";
      fs::create_directories(dir);
      kept.insert("M" + std::to_string(i + 1) + "X");
      ini += "[Maskin" + std::to_string(i + 1) + "]\nKatalog=" + dir + "\n" + keys + "\n";
    }
    std::ofstream(root / "Zova.ini") << ini;
    zova::Globals().IniFil = (root / "Zova.ini").string();
    zova::Globals().DataKatalog = data;
    links.model = &model;
    for (int i = 0; i < kSetups; ++i)
      drivers[i] = std::make_unique<Driver>(links, model.Request(i + 1), i + 1);
  }
  ~World() { fs::remove_all(root); }

  // Every file under the root must lie in the data tree or the temporary
  // directory; the data tree is emptied for the next input. A name with
  // "..\" may rightly land beside the machine directories, in the data
  // directory itself.
  void CheckAndClear() {
    for (const auto& e : fs::recursive_directory_iterator(root)) {
      const std::string p = e.path().string();
      if (p.rfind((root / "data").string(), 0) != 0 && p.rfind((root / "tmp").string(), 0) != 0 &&
          e.path() != root / "Zova.ini")
        std::abort();
    }
    for (const auto& e : fs::directory_iterator(root / "data")) {
      if (!e.is_directory() || e.is_symlink() || !kept.count(e.path().filename().string())) {
        fs::remove_all(e.path());
        continue;
      }
      for (const auto& f : fs::directory_iterator(e.path())) fs::remove_all(f.path());
    }
  }
};

World& TheWorld() {
  static World w;
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  World& w = TheWorld();
  Driver& d = *w.drivers[data[0] % kSetups];
  w.model.SetCell(zova::kColFilnavn, data[0] % kSetups + 1, (data[0] & 0x80) ? "P1!" : "");
  d.ResetTransfer();
  d.TransferError = data[0] & 0x40;
  bool ok = false;
  d.OpenReceiveFile(ok);
  if (!ok) std::abort();
  for (size_t i = 1; i < size; ++i) {
    d.StoreChar(static_cast<char>(data[i]), ok);
    d.AddToHead(static_cast<char>(data[i]));
    if (d.Head.size() > d.HeadLimit()) std::abort();
  }
  bool tooShort = false;
  d.CloseReceiveFile(true, static_cast<int>(size - 1), tooShort, ok);
  const int kinds = d.IsProgram + d.IsRequest + d.IsDirectory + d.IsPrint + d.IsMacro +
                    d.IsToolData + d.IsToolName;
  if (kinds > 1) std::abort();
  if (!tooShort && !d.Classified) std::abort();
  w.CheckAndClear();
  return 0;
}
