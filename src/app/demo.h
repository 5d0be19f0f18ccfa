#pragma once
#include <string>

namespace zova::app {

// Writes the embedded demo configuration and its directories into a runtime
// directory of this user and returns the path of its Zova.ini.
std::string PrepareDemo();

}  // namespace zova::app
