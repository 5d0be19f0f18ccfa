#pragma once
// Paths as the station writes them (Windows style, "\" or "/", often
// upper-cased) and their file-system form. Only this module turns one into the
// other: separators become "/", drive letters are mapped through
// ZOVA_DRIVE_<letter>, "\\server\share" through ZOVA_UNC_ROOT (default /mnt),
// and existing components are found case-insensitively.

#include <string>
#include <string_view>
#include <vector>

namespace zova {

inline bool IsSep(char c) {
  return c == '\\' || c == '/';
}

// 1-based position of the "." that starts the extension, searching from the
// end and stopping at a separator; 0 when there is none.
int ExtPos(std::string_view name);
// True when ExtPos > 0 and the name ends at most four characters after the dot.
bool HasShortExt(std::string_view name);
// Name without its extension; the extension with its dot.
std::string StripExt(std::string_view name);
std::string ExtOf(std::string_view name);
// Part after the last separator, and the part up to and including it.
std::string FileNameOf(std::string_view path);
std::string DirOf(std::string_view path);

// ":" at position 2, a leading "\\", or a leading "/" (a Linux path).
bool IsAbsolutePath(std::string_view p);
// "C:" for a drive path, "\\server\share" for a share path, else empty.
std::string DriveOrShare(std::string_view p);
// Prepares Base to stand before a stored file name: empty when Name is
// absolute, DriveOrShare(Base) when Name starts with a separator.
void PathPrefix(std::string_view name, std::string& base);

// Adds a trailing separator when missing ("/" for a path written with "/").
std::string WithTrailingSep(std::string_view dir);
// Joins a directory and a name with one separator between them.
std::string JoinPath(std::string_view dir, std::string_view name);

// The file-system path of a station path: "/"-separated, mapped, and with
// every existing component found case-insensitively (exact match first). A
// component that does not exist keeps the station's spelling.
std::string FsPath(std::string_view stationPath);

bool FileExists(std::string_view stationPath);
bool DirExists(std::string_view stationPath);
// Creates the directory and its parents; true when it exists afterwards.
bool ForceDirectories(std::string_view stationPath);

// Default locations of the Linux station.
std::string DefaultIniPath();   // /etc/zova/Zova.ini
std::string DefaultDataRoot();  // /var/lib/zova/
std::string HomeDir();          // last emergency store
std::string TempDir();          // $TMPDIR or /tmp/, with trailing "/"
std::string ProgramDir();       // directory of the executable, trailing "/"

// Files (not directories) of Dir whose names match the Windows mask
// (case-insensitive, "*" and "?"). Names only, sorted.
std::vector<std::string> ListFiles(std::string_view stationDir, std::string_view mask = "*");
bool MaskMatches(std::string_view mask, std::string_view name);
// Deletes every file that matches Mask (directory + mask).
void DeleteFiles(std::string_view mask);

}  // namespace zova
