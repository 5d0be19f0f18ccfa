#pragma once
// Converting a stored program into the temporary file that is sent.

#include <string>
#include <string_view>

namespace zova {

// Runs conversion Format from FileName into TargetName (both station paths).
// CrLineEnds picks CR line ends for NJNC and NJCINCI. On success FileName
// becomes TargetName, unless the conversion decided to send the stored file
// as it is (format 0, OKUMA5000 without "%"): then FileName stays and no
// target is left behind. On failure FileName is unchanged, Ok is false and
// the half-written target is removed.
void ConvertFile(int format, bool crLineEnds, std::string& fileName, bool& ok,
                 std::string_view programExt, std::string_view programDir,
                 std::string_view targetName);

// [Redigerer] StartKode, upper-cased, bracket notation decoded.
std::string EditorStartCode();

}  // namespace zova
