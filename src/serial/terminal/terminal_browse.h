#pragma once
// The terminal's directory browser: the list of matching files padded so
// the last can stand on the top line, the paging keys, and the page shown.

#include <cstdint>
#include <string>
#include <vector>

namespace zova {

struct BrowseList {
  std::vector<std::string> entries;
  bool abandoned = false;  // nothing matched: the list says so
};

// Files (sorted names) matching Mask, then Lines - 1 empty entries. No
// files: "Ingen filer:", an empty line and the mask, and Abandoned.
BrowseList MakeBrowseList(std::vector<std::string> files, const std::string& mask, int lines);

// The top entry after a paging key (17 down one, 18 down a page, 19 to the
// first, 20 up a page, 21 up one; other keys leave it), kept within
// 0 .. size - lines.
int PagedTop(int top, uint8_t key, int lines, int size);

// Lines entries from Top on, separated by CR LF, after the clear-screen.
std::string BrowsePage(const std::vector<std::string>& entries, int top, int lines);

// The directory part of the typed mask followed by the chosen entry.
std::string BrowsedName(const std::string& typed, const std::string& entry);

}  // namespace zova
