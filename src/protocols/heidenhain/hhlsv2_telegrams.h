#pragma once
// The telegrams of the Heidenhain file transfer over LSV2 framing: log on
// ("A_LGFILE"), change directory ("C_DC"), announce a file ("C_FL"), its
// data ("S_FL"), the end ("T_FD"), ask for a file ("R_FL") and log off
// ("A_LO"); the control answers "T_OK". Names and data as bytes in and out.

#include <optional>
#include <string>
#include <string_view>

namespace zova::hhlsv2 {

inline constexpr std::string_view kLogOn = "A_LGFILE";
inline constexpr std::string_view kChangeDir = "C_DC";
inline constexpr std::string_view kAnnounce = "C_FL";
inline constexpr std::string_view kData = "S_FL";
inline constexpr std::string_view kFinished = "T_FD";
inline constexpr std::string_view kRead = "R_FL";
inline constexpr std::string_view kLogOff = "A_LO";
inline constexpr std::string_view kAnswerOk = "T_OK";

// A data block stays below this many characters.
inline constexpr int kBlockSize = 120;
// A block of more raw bytes is noise: the control sends one short block a
// telegram.
inline constexpr size_t kMaxBlockBytes = 2500;

// The control's name of FileName: without directory, path and extension,
// its first MaxLen characters, then "." and the DefaultExt letter.
std::string ProgramName(std::string_view fileName, int maxLen, char defaultExt);

// "C_DC", the directory and a NUL.
std::string ChangeDir(std::string_view dir);
// "C_FL" (Kind kAnnounce) or "R_FL" (kRead), the name and the Terminator.
std::string NameTelegram(std::string_view kind, std::string_view name, std::string_view terminator);
// The program data an "S_FL" telegram carries: from its fifth character,
// every NUL a CR. Nullopt for any other telegram.
std::optional<std::string> FetchedData(std::string_view telegram);

}  // namespace zova::hhlsv2
