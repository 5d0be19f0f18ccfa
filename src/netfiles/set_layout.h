#pragma once
// Names of program sets and where a file lands on a control's disk: a set
// P1 with separator S is P1.* plus P1S<name>.* on the PC and <name>.* on the
// control; on a Mazak control ".nc" programs go to the top directory as
// ".EIA" and every other file into "HardDisk\".

#include <optional>
#include <string>
#include <string_view>

namespace zova {

inline constexpr std::string_view kHardDiskDir = "HardDisk\\";

struct Placement {
  std::string subdir;  // "" or "HardDisk\"
  std::string name;
};
Placement PlaceOnControl(std::string_view name, bool mazak);

// The masks of the PC files that belong to set S (S upper-cased, without
// directory). With an extension only S itself.
std::string SetMainMask(std::string_view s);
std::string SetMemberMask(std::string_view s, char sep);  // S + C + "*.*"; empty with ext
// The control's name of a PC file matched by SetMemberMask: the part after S
// and C; nullopt for names with "-" or without anything after the separator.
std::optional<std::string> SetMemberControlName(std::string_view pcName, std::string_view s,
                                                char sep);
// The PC name of a control file fetched into set S.
std::string SetMemberPcName(std::string_view controlName, std::string_view s, char sep);

}  // namespace zova
