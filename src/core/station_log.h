#pragma once
// The station's own diagnostic log: standard error, one dated line each,
// UTF-8. Notices of the headless front end and facts the operator should be
// able to look up later ("machine 4 is inactive: no driver for ...") go here.

#include <string_view>

namespace zova {

void LogStation(std::string_view latin1Text);

// A notice or question that no person saw, with the answer it was given
// (empty: none).
void LogNotice(std::string_view caption, std::string_view text);
void LogQuestion(std::string_view caption, std::string_view text, std::string_view answer);

}  // namespace zova
