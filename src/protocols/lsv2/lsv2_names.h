#pragma once
// Program names between the station's files and the control's telegrams.
// The control marks a numeric program name with "%"; the station's files
// carry the bare name. MaxLen is the machine's maximum name length.

#include <optional>
#include <string>
#include <string_view>

namespace zova::lsv2 {

// NcProgramName: the file's name without directory, path and extension, its
// first MaxLen characters; "%" before a positive number, "00" after a name
// that starts with "L" and is no number.
std::string NcProgramName(std::string_view fileName, int maxLen);

// A name as a control writes it in a telegram: it ends at the first control
// character (a CR LF terminator), loses the blanks around it and a leading
// "%", and is cut to MaxLen. Nullopt when nothing is left.
std::optional<std::string> NameFromControl(std::string_view text, int maxLen);

// The file a control's "RDPP" offer names (FetchProgram's rule): of the five
// characters from the seventh, "%" and the text after it, or else the five
// with their second character removed.
std::optional<std::string> OfferedFileName(std::string_view telegram, int maxLen);

// The file the operator's fetch of Cell (the Filnavn entry) asks for: the
// name without its extension, cut to MaxLen, whatever its first character.
std::optional<std::string> OperatorFetchFileName(std::string_view cell, int maxLen);

// "TDPP": the name from the eighth character.
std::optional<std::string> TdppFileName(std::string_view telegram, int maxLen);

// "PT" and "PR" (and Okuma's "PTPM", "PRPM"): the area code is the third and
// fourth character, the name follows from the fifth.
struct AreaRequest {
  std::string area;
  std::string name;
};
std::optional<AreaRequest> AreaRequestOf(std::string_view telegram, int maxLen);

// ReceiveTestProgram: the name a "PRPP" telegram carries after its fifth
// character ("%" or a blank as the station itself sends it).
std::optional<std::string> TestProgramFileName(std::string_view prpp, int maxLen);

}  // namespace zova::lsv2
