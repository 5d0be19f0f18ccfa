#pragma once
// Status and message texts of the network drivers, Latin-1.

#include <string>

#include "core/latin1.h"

namespace zova::netmsg {

inline std::string NoFilesFrom(const std::string& dir) {
  return L1("Ingen filer å kopiere fra ") + dir;
}
inline std::string CountText(int n, const char* one, const char* many) {
  return n == 1 ? L1(one) : std::to_string(n) + L1(many);
}

}  // namespace zova::netmsg
