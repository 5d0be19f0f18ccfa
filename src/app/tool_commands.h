#pragma once
// The logic of "zova offsets" and "zova register" (the app files only register
// them). Errors: one line on Err and the result 2.

#include <cstdio>
#include <string>
#include <vector>

namespace zova {

// MACHINE [OUT]: the machine's offset program from its ToolReg register with
// its ToolProtokoll, to OUT or to Out. The active Zova.ini is already set.
int RunOffsetsCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
// REGISTER: one tool a line, the tool number and every real with four decimals.
int RunRegisterCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace zova
