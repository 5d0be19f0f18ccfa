#pragma once
// Directory listings sent to a control as a program: from a list of files to
// the listing text in the control's format. No file access here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zova {

enum class DirFileType {
  Ingen,
  Fanuc,  // also MAZATROL
  Okuma,
  Siemens,
  Traub,
  Heidenhain,  // also HEIDENHAINTDM
  Parenteser,
  Emco,
  Okuma3000,
  Philips,
  RoverB,
};

// Upper-cased DirFilType; Ok false for an unknown value (the caller tells the
// operator and lists nothing).
DirFileType DirFileTypeFromName(std::string_view text, bool& ok);
// The DirProgramNr default of a type; empty where it has none.
std::string DefaultDirProgramNr(DirFileType type);

struct ListingEntry {
  std::string name;
  bool isDir = false;
  int64_t size = 0;
  int day = 1, month = 1, year = 2000;
  std::string article, description;  // from the index file; may be empty
};

struct ListingOptions {
  DirFileType type = DirFileType::Ingen;
  std::string dirProgramNr;
  bool time = false, size = false;
  bool underKataloger = false;
  int maxKatalogLinjer = 200;
  int artikkel = 0, beskrivelse = 0;
  int nameWidth = 20;
  std::string startKode = "%", stoppKode = "%";
  char defaultExt = 'H';
  int sector = 1024;
};

// The whole listing program, lines ended by CR LF (plus the trailing NUL or
// ETX of the formats that end with one).
std::string BuildDirectoryListing(std::vector<ListingEntry> entries, const ListingOptions& o);

// The entry column part of one line (shared by the formats with columns).
std::string ListingEntryText(const ListingEntry& e, const ListingOptions& o);

}  // namespace zova
