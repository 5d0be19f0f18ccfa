#pragma once
// The head of a reception: the header text the name search looks at.

#include <cstddef>
#include <string>
#include <string_view>

namespace zova {

// Appends one received character to Head while it is shorter than Limit:
// blanks, tabs, NUL and line ends are left out, a line end adds one blank
// unless Head already ends with one. When Head reaches Limit and StartNavn is
// set, lines before StartNavn are dropped to make room. True once Head is
// full, which is when the reception is classified.
bool AddToHead(std::string& head, char ch, size_t limit, std::string_view startNavn);

// The head of a whole text, upper-cased as the classification sees it.
std::string HeadOfText(std::string_view text, size_t limit, std::string_view startNavn);

}  // namespace zova
