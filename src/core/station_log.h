#pragma once
// The station's own diagnostic log: standard error, one dated line each,
// UTF-8. Notices of the headless front end and facts the operator should be
// able to look up later ("machine 4 is inactive: no driver for ...") go here.

#include <string_view>

namespace zova {

void LogStation(std::string_view latin1Text);

}  // namespace zova
