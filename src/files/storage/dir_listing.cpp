#include "files/storage/dir_listing.h"

#include <algorithm>

#include "core/numformat.h"
#include "core/paths.h"

namespace zova {
namespace {

const std::string kNoFiles = "N1 (INGEN FILER)";

void Line(std::string& out, std::string_view s) {
  out.append(s);
  out.append("\r\n");
}

bool AnyColumn(const ListingOptions& o) {
  return o.time || o.size || o.artikkel > 0 || o.beskrivelse > 0;
}

std::string DateText(const ListingEntry& e) {
  return IntToStrZero(e.day, 2) + "." + IntToStrZero(e.month, 2) + "." +
         IntToStrZero(((e.year % 100) + 100) % 100, 2);
}

std::string DisplayName(const ListingEntry& e) {
  return e.isDir ? e.name + "\\" : e.name;
}

std::string HeadingText(const ListingOptions& o) {
  std::string s;
  auto col = [&s](std::string_view c) {
    s.append(c);
    s += ' ';
  };
  if (o.time) col("    DATO");
  if (o.size) col("    TEGN");
  if (o.artikkel > 0) col(PadStr("ARTIKKEL", o.artikkel, false));
  if (o.beskrivelse > 0) col(PadStr("BESKRIVELSE", o.beskrivelse, false));
  s += o.nameWidth < 6 ? "FIL" : "FILNAVN";
  return s;
}

// Subdirectories first, each group by name; then cut to the line limit.
void SortAndLimit(std::vector<ListingEntry>& entries, const ListingOptions& o) {
  if (entries.size() > 1)
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      if (a.isDir != b.isDir) return a.isDir;
      return a.name < b.name;
    });
  const size_t limit = static_cast<size_t>(std::max(0, o.maxKatalogLinjer));
  if (entries.size() > limit) entries.resize(limit);
}

// "(" entry ")" lines, with the heading when there is more than one entry.
void CommonEntries(const std::vector<ListingEntry>& entries, const ListingOptions& o, bool numbered,
                   std::string& out) {
  if (entries.empty()) {
    Line(out, kNoFiles);
    return;
  }
  std::vector<std::string> texts;
  if (entries.size() > 1 && AnyColumn(o)) {
    std::string h = HeadingText(o);
    texts.push_back(h);
    texts.push_back(std::string(h.size(), '-'));
  }
  for (const auto& e : entries) texts.push_back(ListingEntryText(e, o));
  int n = 0;
  for (const auto& t : texts) {
    std::string line;
    if (numbered) line = "N" + IntToStrZero(++n, 3) + " ";
    line += "(" + t + ")";
    Line(out, line);
  }
}

void Heidenhain(const std::vector<ListingEntry>& entries, const ListingOptions& o,
                std::string& out) {
  const int width = std::max(12, o.nameWidth);
  const bool sectors = o.sector > 1;
  Line(out, "O D");
  Line(out, o.dirProgramNr);
  Line(out, PadStr("FILENAME", width, false) + (sectors ? " SECTORS   START" : "   BYTES   START"));
  int64_t used = 0;
  for (const auto& e : entries) {
    if (e.isDir) continue;
    std::string name = e.name;
    if (ExtPos(name) == 0 && o.defaultExt != 0) name += std::string(".") + o.defaultExt;
    const int64_t amount = sectors ? (e.size + o.sector - 1) / o.sector : e.size;
    Line(out, PadStr(name, width, false) + IntToStrPad(amount, 8) + IntToStrPad(used, 8));
    used += amount;
  }
  Line(out, "");
  Line(out, "FREE:   999");
  Line(out, "USED:" + IntToStrPad(used, 6));
}

void Philips(const std::vector<ListingEntry>& entries, const ListingOptions& o, std::string& out) {
  Line(out, "%PM" + o.dirProgramNr);
  if (o.dirProgramNr.empty() || o.dirProgramNr[0] != 'N')
    Line(out, "N" + o.dirProgramNr + " (KATALOG)");
  CommonEntries(entries, o, true, out);
  Line(out, "N999 M30");
}

}  // namespace

DirFileType DirFileTypeFromName(std::string_view t, bool& ok) {
  ok = true;
  if (t == "INGEN" || t.empty()) return DirFileType::Ingen;
  if (t == "FANUC" || t == "MAZATROL") return DirFileType::Fanuc;
  if (t == "OKUMA") return DirFileType::Okuma;
  if (t == "SIEMENS") return DirFileType::Siemens;
  if (t == "TRAUB") return DirFileType::Traub;
  if (t == "HEIDENHAIN" || t == "HEIDENHAINTDM") return DirFileType::Heidenhain;
  if (t == "PARENTESER" || t == "PARENTES" || t == "PARANTESER" || t == "PARANTES")
    return DirFileType::Parenteser;
  if (t == "EMCO") return DirFileType::Emco;
  if (t == "OKUMA3000") return DirFileType::Okuma3000;
  if (t == "PHILIPS") return DirFileType::Philips;
  if (t == "ROVERB") return DirFileType::RoverB;
  ok = false;
  return DirFileType::Ingen;
}

std::string DefaultDirProgramNr(DirFileType type) {
  switch (type) {
    case DirFileType::Fanuc:
      return ":5006";
    case DirFileType::Siemens:
      return "%5006";
    case DirFileType::Traub:
      return "O5006";
    case DirFileType::Heidenhain:
      return "--HOME--";
    case DirFileType::Emco:
      return "%5006 ";
    case DirFileType::Philips:
      return "5006";
    default:
      return "";
  }
}

std::string ListingEntryText(const ListingEntry& e, const ListingOptions& o) {
  std::string s;
  if (o.time) s += DateText(e) + " ";
  if (o.size) s += IntToStrPad(e.size, 8) + " ";
  if (o.artikkel > 0) s += PadStr(e.article, o.artikkel, false) + " ";
  if (o.beskrivelse > 0) s += PadStr(e.description, o.beskrivelse, false) + " ";
  std::string name = DisplayName(e);
  if (o.nameWidth > 0 && name.size() > static_cast<size_t>(o.nameWidth))
    name.resize(static_cast<size_t>(o.nameWidth));
  return s + name;
}

std::string BuildDirectoryListing(std::vector<ListingEntry> entries, const ListingOptions& o) {
  if (!o.underKataloger) std::erase_if(entries, [](const ListingEntry& e) { return e.isDir; });
  SortAndLimit(entries, o);
  std::string out;
  switch (o.type) {
    case DirFileType::Ingen:
      break;
    case DirFileType::Fanuc:
    case DirFileType::Traub:
      Line(out, "%");
      Line(out, o.dirProgramNr);
      CommonEntries(entries, o, false, out);
      Line(out, "M30");
      Line(out, "%");
      break;
    case DirFileType::Okuma:
      CommonEntries(entries, o, false, out);
      Line(out, "M02");
      break;
    case DirFileType::Siemens:
      Line(out, o.dirProgramNr);
      CommonEntries(entries, o, false, out);
      Line(out, "M02");
      break;
    case DirFileType::Parenteser:
      // A machine without a start or stop code gets no blank line for it.
      if (!o.startKode.empty()) Line(out, o.startKode);
      Line(out, o.dirProgramNr);
      CommonEntries(entries, o, false, out);
      Line(out, "M30");
      if (!o.stoppKode.empty()) Line(out, o.stoppKode);
      break;
    case DirFileType::Emco:
      Line(out, o.dirProgramNr);
      if (entries.empty()) Line(out, kNoFiles);
      for (const auto& e : entries) Line(out, "N" + DisplayName(e) + "  ");
      Line(out, "N9999  M30");
      break;
    case DirFileType::Okuma3000:
      Line(out, "%");
      CommonEntries(entries, o, false, out);
      Line(out, "M30");
      out += '\0';
      break;
    case DirFileType::Philips:
      Philips(entries, o, out);
      break;
    case DirFileType::RoverB:
      Line(out, o.dirProgramNr);
      for (const auto& e : entries) Line(out, PadStr(DisplayName(e), 11, false));
      out += '\x03';
      break;
    case DirFileType::Heidenhain:
      Heidenhain(entries, o, out);
      break;
  }
  return out;
}

}  // namespace zova
