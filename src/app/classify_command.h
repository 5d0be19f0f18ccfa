#pragma once
// "zova classify [Zova.ini] MACHINE FILE": what the name search makes of a
// text as if the machine had sent it. For people who configure machines.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "files/namesearch/search_config.h"

namespace zova {

// The report lines for a head already built: "header: ..." and one line per
// search mode, Latin-1.
std::vector<std::string> ClassifyReport(const NameSearchConfig& cfg, std::string_view head);

// "action: ..." for a head: what the transfer layer makes of it (store as
// NAME, send NAME, list MASK, print NAME, tool data, macro). Nothing is
// written: a macro's event record is left out.
std::string ClassifyAction(int machine, std::string_view head);

// Args are MACHINE and FILE; the configuration file is already active.
// 0 with the report on Out; 2 with one line on Err.
int RunClassifyCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace zova
