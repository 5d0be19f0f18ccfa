#pragma once
// The text of a private-profile (INI) file and its pure operations: lookup
// with Windows semantics and the one-line edit that a write makes.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zova {

class ProfileText {
 public:
  // Text is Latin-1; line ends CR LF, LF or CR.
  explicit ProfileText(std::string_view text = {});

  // Value of the first Key in the first section named Section (both compared
  // case-insensitively); nullopt when missing. Blanks around the value are
  // trimmed and a value in matching double quotes loses them.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;
  std::vector<std::string> KeysOf(std::string_view section) const;

  // Changes the key's line, or appends the key to its section, or the section
  // to the text. Every other line stays as it was.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;

 private:
  struct Section {
    std::string name;
    size_t headerLine;
    size_t lastContentLine;  // last non-blank line of the section
  };
  void Index();
  static std::string MapKey(std::string_view section, std::string_view key);

  std::vector<std::string> lines_;
  std::string eol_ = "\r\n";
  bool endsWithEol_ = true;
  std::vector<Section> sections_;                       // first occurrence of each name
  std::unordered_map<std::string, size_t> sectionIdx_;  // upper name -> sections_ index
  std::unordered_map<std::string, size_t> keyLine_;     // upper "SECTION\1KEY" -> line
};

// Splits "key = value" into trimmed key and value; false for lines that are
// not key lines (comments, blanks, section headers, no "=").
bool SplitKeyLine(std::string_view line, std::string& key, std::string& value);

}  // namespace zova
