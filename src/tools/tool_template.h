#pragma once
// The line-template language of the configurable offset format ("STANDARD"):
// fields "#T...!T", "#L...!L" and "#D...!D" holding "width,decimals,factor".

#include <string>
#include <string_view>
#include <vector>

#include "tools/tool_record.h"

namespace zova {

std::string FormatToolLine(int toolNo, std::string_view tmpl, double l, double d);

// The whole format-5 program as text (lines end in CR LF; EmptyText is written
// as it stands). False when no record was written, except that an empty
// register with an EmptyText is a complete program.
bool BuildTemplateProgram(const std::vector<ToolRecord>& tools, std::string_view firstLine,
                          std::string_view emptyText, std::string_view lastLine,
                          std::string_view toolLine, std::string& out);

// Reads Register and writes Target. False when the register cannot be read or
// the target not written, or per BuildTemplateProgram.
bool WriteTemplateProgram(std::string_view reg, std::string_view target, std::string_view firstLine,
                          std::string_view emptyText, std::string_view lastLine,
                          std::string_view toolLine);

}  // namespace zova
