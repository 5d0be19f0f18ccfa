#pragma once
// Keeps names that come from a control inside the station's directory trees:
// "..\" parts may reach no further than the roots the station allows.

#include <string>
#include <string_view>
#include <vector>

namespace zova {

// "/"-separated, upper-cased, with "." and ".." parts resolved; Escaped is set
// when ".." climbs above the start of the path.
std::string LexicalPath(std::string_view path, bool& escaped);

// True when Path (resolved) lies inside one of Roots (resolved).
bool InsideRoots(std::string_view path, const std::vector<std::string>& roots);

// The directory trees a machine's names may reach: its program directory,
// its second directory, the station's data directory and, with shared
// directories, the program directory's parent.
std::vector<std::string> MachineRoots(const std::string& dataDir, const std::string& katalog2,
                                      bool fellesKataloger);

// The parent of a directory ("A\B\" -> "A\"); the directory itself at a root.
std::string ParentDir(std::string_view dir);

}  // namespace zova
