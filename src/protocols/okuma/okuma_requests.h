#pragma once
// The Okuma control's own requests on the LSV2 dialogue: which request a
// telegram is, the directory listing it asks for ("LIPM" mask, first entry,
// last entry) and the listing's lines, and what a change of the control's
// readiness asks of the driver.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zova::okuma {

enum class OkumaRequest {
  kNone,            // "Ingen Okuma kommando", then TLSV2's handling
  kStartup,         // "PTCM": OkumaStartup
  kListDirectory,   // "LIPM": OkumaListDirectory
  kSendProgram,     // "PTPM": OkumaSendProgram
  kNameSequence,    // "MCPM": OkumaNameSequence
  kReceiveProgram,  // "PRPM": OkumaReceiveProgram
};
OkumaRequest ClassifyOkumaTelegram(std::string_view telegram);

// "LIPM" mask "," first "," last. A missing or malformed entry number is
// taken as absent: the listing starts at entry 0, and runs to its end
// without a last number. A control's well-formed request is unchanged by
// this; a broken one gets a listing rather than a driver that stops.
struct ListRequest {
  std::string mask;
  size_t first = 0;
  std::optional<size_t> last;
  // A mask without "*" names one file that must exist ("M NP" otherwise).
  bool NamesOneFile() const { return mask.find('*') == std::string::npos; }
};
ListRequest ParseListRequest(std::string_view telegram);

struct DirEntry {
  std::string name;
  bool directory = false;
  uint64_t size = 0;
  std::tm modified{};  // local time
};
// "<name>" or NAME, the size right-aligned in 9, " ", "yyyy.mm.dd hh:nn:ss",
// " 00".
std::string ListingLine(const DirEntry& entry);
// Lines First..Last (from 0; Last cut to the listing), each followed by LF.
std::string JoinListing(const std::vector<std::string>& lines, const ListRequest& request);

// PollHook: the control's readiness as last seen.
struct ReadinessStep {
  bool changed = false;
  std::string status;      // "NC klar for kommunikasjon" or "NC inaktiv"
  bool contact = false;    // reset the character count and run ResetNc
  bool clearTegn = false;  // otherwise the Tegn column is cleared
};
ReadinessStep OnReadiness(bool ready, bool& ncReady, bool resetKey);

}  // namespace zova::okuma
