#include "serial/terminal/terminal_browse.h"

#include <algorithm>

#include "core/paths.h"
#include "serial/terminal/terminal_screens.h"

namespace zova {

BrowseList MakeBrowseList(std::vector<std::string> files, const std::string& mask, int lines) {
  BrowseList list;
  if (files.empty()) {
    list.entries = {"Ingen filer:", "", mask};
    list.abandoned = true;
  } else {
    std::sort(files.begin(), files.end());
    list.entries = std::move(files);
  }
  list.entries.resize(list.entries.size() + static_cast<size_t>(std::max(lines - 1, 0)));
  return list;
}

int PagedTop(int top, uint8_t key, int lines, int size) {
  switch (key) {
    case 17:
      ++top;
      break;
    case 18:
      top += lines;
      break;
    case 19:
      top = 0;
      break;
    case 20:
      top -= lines;
      break;
    case 21:
      --top;
      break;
    default:
      break;
  }
  return std::max(0, std::min(top, size - lines));
}

std::string BrowsePage(const std::vector<std::string>& entries, int top, int lines) {
  std::string page = kTerminalClear;
  for (int i = 0; i < lines; ++i) {
    if (i > 0) page += kCrLf;
    const auto at = static_cast<size_t>(top + i);
    if (top + i >= 0 && at < entries.size()) page += entries[at];
  }
  return page;
}

std::string BrowsedName(const std::string& typed, const std::string& entry) {
  return DirOf(typed) + entry;
}

}  // namespace zova
