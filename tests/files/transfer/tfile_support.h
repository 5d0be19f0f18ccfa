#pragma once
// A TFile driver on a temporary directory, for the transfer scenarios.

#include <memory>
#include <string>

#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/transfer/tfile.h"
#include "support/test_support.h"

namespace zova::test {

class FileDriver : public TFile {
 public:
  using TFile::TFile;
  void Execute() override {}
};

struct Reception {
  bool ok = false, tooShort = false;
};

struct TFileFixture {
  TempDir data;
  TempDir tmp;
  StationModel model{2};
  UiLinks links;
  ScopedUiHost ui;
  std::unique_ptr<ScopedIni> ini;

  TFileFixture() { links.model = &model; }
  std::string M() { return data / "M1/"; }
  std::unique_ptr<FileDriver> Make(const std::string& keys, const std::string& program = "") {
    ForceDirectories(M());
    ini.reset();
    ini = std::make_unique<ScopedIni>("[Program]\n" + program + "\n[Maskin1]\nKatalog=" + M() +
                                      "\n" + keys + "\n");
    auto d = std::make_unique<FileDriver>(links, model.Request(1), 1);
    d->LogBase = tmp / "Maskin1.";
    return d;
  }
  // One whole reception as the standard driver makes it.
  static Reception Receive(TFile& d, const std::string& text, bool store = true) {
    Reception r;
    d.ResetTransfer();
    d.OpenReceiveFile(r.ok);
    for (char ch : text) {
      d.StoreChar(ch, r.ok);
      d.AddToHead(ch);
    }
    d.CloseReceiveFile(store, static_cast<int>(text.size()), r.tooShort, r.ok);
    return r;
  }
  // Everything NextSendChar hands out.
  static std::string SendAll(TFile& d) {
    std::string out;
    char ch = 0;
    bool ok = true;
    for (d.NextSendChar(ch, ok); ok; d.NextSendChar(ch, ok)) out += ch;
    return out;
  }
  std::string Cell(int col) { return model.Cell(col, 1); }
};

}  // namespace zova::test
