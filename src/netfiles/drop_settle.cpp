#include "netfiles/drop_settle.h"

namespace zova {

bool CountsAsDropFile(std::string_view name) {
  size_t dot = name.find('.');
  return dot != std::string_view::npos && dot > 0;
}

bool IsImportable(std::string_view name) {
  return !name.empty() && name[0] != '.';
}

bool SettleTracker::Add(const DropSnapshot& s) {
  if (!first_ && s == last_)
    ++stable_;
  else
    stable_ = 0;
  first_ = false;
  last_ = s;
  return stable_ >= needed_;
}

}  // namespace zova
