// Okuma's directory listing ("LIPM"): the machine directory's entries that
// match the control's mask, sent as one "DIPM" telegram.

#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "core/latin1.h"
#include "core/paths.h"
#include "protocols/lsv2/lsv2_telegrams.h"
#include "protocols/okuma/tlsv2_okuma.h"

namespace zova {

namespace {

bool HasDirectory(const std::string& mask) {
  return mask.find_first_of("\\/:") != std::string::npos || mask.find("..") != std::string::npos;
}

std::optional<okuma::DirEntry> EntryOf(const std::filesystem::directory_entry& e) {
  struct stat st {};
  if (::stat(e.path().c_str(), &st) != 0) return std::nullopt;
  okuma::DirEntry entry;
  entry.name = e.path().filename().string();
  entry.directory = S_ISDIR(st.st_mode);
  entry.size = entry.directory ? 0 : static_cast<uint64_t>(st.st_size);
  const std::time_t t = st.st_mtime;
  localtime_r(&t, &entry.modified);
  return entry;
}

}  // namespace

std::vector<std::string> TLSV2Okuma::ListDirectory(const std::string& mask) {
  std::vector<std::string> lines;
  if (HasDirectory(mask)) return lines;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(FsPath(DataDir), ec)) {
    if (!MaskMatches(mask, e.path().filename().string())) continue;
    if (const std::optional<okuma::DirEntry> entry = EntryOf(e))
      lines.push_back(okuma::ListingLine(*entry));
  }
  return lines;
}

bool TLSV2Okuma::OkumaListDirectory(const std::string& telegram) {
  const okuma::ListRequest request = okuma::ParseListRequest(telegram);
  if (request.NamesOneFile()) {
    ReportCell(kColFilnavn, request.mask);
    if (HasDirectory(request.mask) || !FileExists(JoinPath(DataDir, request.mask))) {
      ReportCellWait(kColMelding, "Filsjekk, filen eksisterer ikke");
      LsvSend("M NP");
      return false;
    }
  }
  std::string answer;
  if (!LsvSend(lsv2::kReadyToSend) || !ReceiveAnswer(answer)) return false;
  if (answer.compare(0, 4, "T BD") == 0) return true;
  ReportCellWait(kColMelding, "Sender kataloginnhold");
  const std::string listing = okuma::JoinListing(ListDirectory(request.mask), request);
  const bool ok = LsvSend("DIPM" + listing) && ReceiveAnswer(answer) &&
                  answer == lsv2::kAnswerNext && LsvSend(lsv2::kFinished) && ReceiveAnswer(answer);
  ReportCell(kColMelding, ok ? "Kataloginnhold sendt" : "Sending av kataloginnhold feilet");
  return ok;
}

}  // namespace zova
