#pragma once
// "zova convert MACHINE FILE": what a machine is sent for FILE, on standard
// output. For people who set up a machine's FilFormat.

#include <cstdio>
#include <string>
#include <vector>

namespace zova {

// Args are MACHINE and FILE (the Zova.ini argument already taken). Writes the
// converted program, byte for byte, to Out; FILE itself when the machine's
// format leaves it as it is. Errors: one line on Err and 2.
int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// True when the station sends Name without conversion: it holds the system
// program extension after its first character.
bool IsSystemProgramName(const std::string& name, const std::string& sysExt);

}  // namespace zova
