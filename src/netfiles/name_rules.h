#pragma once
// How a file dropped by a control is given its program name: the four rules
// of FtpFilNavn, applied to the first bytes of the file.

#include <string>
#include <string_view>

namespace zova {

enum class NameRule { Kommentarer, Parenteser, Standard, Mazak, Invalid };

// FtpFilNavn, upper-cased; anything unknown is Invalid.
NameRule ParseNameRule(std::string_view ftpFilNavn);

// ! # $ % & ' - . 0-9 @ A-Z ^ _ a-z { } ~
bool IsFileNameChar(unsigned char c);

constexpr size_t kNameHeadBytes = 250;

struct NameResult {
  bool ok = false;
  std::string name;   // Prefiks + "Feil" when not ok
  std::string error;  // shown in Melding; may be empty on failure
};

struct NameInput {
  std::string_view head;      // first bytes of the file
  std::string_view fileName;  // the dropped file's own name
  std::string_view prefiks;   // [Program] Prefiks
  std::string_view start;     // delimiters of the STANDARD rule
  std::string_view stop;
};

NameResult DelimiterName(const NameInput& in, std::string_view start, std::string_view stop);
NameResult MazakName(const NameInput& in);
NameResult FindProgramName(NameRule rule, const NameInput& in);
// A file that could not be read: the rule fails with the read error.
NameResult UnreadableName(std::string_view prefiks, std::string_view error);

// A program name becomes a directory below Katalog2: empty, "." and ".."
// components and leading separators are dropped, so no control can make the
// station write outside that directory. "/" becomes "\".
std::string SafeRelativeDir(std::string_view name);

}  // namespace zova
