#pragma once
// The file-name header an Okuma control reads before a program: "$", the
// name the control files it under, and a short padding. The control takes
// names of the form NAME.EXT, the name part beginning with a letter; a file
// of the station's own extension is a main program there (".MIN").

#include <string>

namespace zova {

// What a send carries; the control files everything but a program under a
// fixed name.
enum class OkumaSendKind { Program, Tool, Directory, Receipt, ErrorReceipt };

struct OkumaHeaderKeys {
  bool filNavnUt = true;   // a program's header carries the Filnavn cell
  bool nullSpace = false;  // three NULs after the name instead of four blanks
  int okumaNavn = 16;      // longest name part
  std::string prefiks = "P";
  std::string ext = ".NC";  // the machine's extension
  int leader = 0;           // > 0: three NULs before the "$" instead
};

// The Prefiks key as the header uses it: upper-cased, up to its first
// character that is not a letter A-Z or a digit; a value that does not begin
// with a letter (which the control would refuse) is "P".
std::string OkumaPrefiks(const std::string& value);

// The name after "$" (Cell: the Filnavn cell, directories allowed). Without
// FilNavnUt a program's name is left empty, which the control gets as
// "A.MIN".
std::string OkumaHeaderName(OkumaSendKind kind, const std::string& cell,
                            const OkumaHeaderKeys& keys);

// The whole header as it goes on the line, padding included.
std::string OkumaHeader(OkumaSendKind kind, const std::string& cell, const OkumaHeaderKeys& keys);

}  // namespace zova
