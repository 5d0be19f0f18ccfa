#pragma once
// What a name found in a reception becomes before the station uses it: the
// control's directory characters, the machine's extension, the listing mask
// of a directory request, and the receipt text sent back. No file access.

#include <string>
#include <string_view>

#include "core/config/config.h"

namespace zova {

// Every KatalogTegn character becomes "\"; with FellesKataloger a name that
// then holds a directory is taken from the parent of the machine directory.
std::string StationNameFromControl(std::string_view name, const CharSet& katalogTegn,
                                   bool fellesKataloger);

// Ext appended when the file part of Name has no extension.
std::string WithDefaultExt(std::string_view name, std::string_view ext);

// Leading "..\" (or "../") parts taken off Name, each climbing one level
// from Dir (never above its root). Dir + the rest.
std::string ResolveLeadingParents(std::string_view name, std::string_view dir);

// The file mask of a directory request: "0000" is no name, a trailing
// "\0000" leaves the directory, Ext is added when there is no extension and
// "*" goes before the extension ("*.*" appended without one).
std::string DirectoryMask(std::string_view name, std::string_view ext);

// The receipt: the first "#N" becomes Name, the first "#B" the count.
std::string ReceiptText(std::string_view text, std::string_view name, long long count);

// Removes blanks outside parentheses (FjernSpace).
std::string RemoveBlanksOutsideComments(std::string_view line);

}  // namespace zova
