#pragma once
// The FilFormat conversions, bytes in and bytes out. Each reads its source
// once from the start (SIEMENSCLEAR twice) and holds at most one buffer and
// a line or two, so memory stays flat whatever the size of the program.

#include <string>

#include "files/convert/byte_stream.h"
#include "files/convert/line_io.h"

namespace zova {

struct ConvertOptions {
  bool crLineEnds = false;  // CR instead of the usual line end (NJNC, NJCINCI)
  std::string fileName;     // source path as the station writes it (EMCO, KOMMENTARER)
  std::string programExt;   // machine's program extension (KOMMENTARER)
  std::string programDir;   // machine's program directory (KOMMENTARER)
  std::string startCode;    // [Redigerer] StartKode, already decoded (OKUMA3000)
};

enum class ConvertResult {
  Converted,  // the sink holds the converted program
  Unchanged,  // nothing was written: the stored file is to be sent as it is
  Failed,     // a read or write failed, or the format is unknown
};

// Runs conversion Format (1 to 15) from Source into Sink. Format 0 and an
// OKUMA5000 source without "%" near its start give Unchanged.
ConvertResult ConvertStream(int format, const ConvertOptions& options, ByteSource& source,
                            ByteSink& sink);

// The single conversions; each returns false when a read or write failed.
bool ConvertNJ(LineInput& in, LineOutput& out, bool btr);
bool ConvertNJNC(LineInput& in, LineOutput& out, bool crLineEnds);
bool ConvertNJCinci(LineInput& in, LineOutput& out, bool crLineEnds);
bool ConvertEmco(LineInput& in, LineOutput& out, const std::string& fileName);
bool ConvertProsent(LineInput& in, LineOutput& out);
bool ConvertHakmo(LineInput& in, LineOutput& out);
bool ConvertOkuma3000(LineInput& in, LineOutput& out, const std::string& startCode);
bool ConvertKbgCnc200(LineInput& in, LineOutput& out);
bool ConvertKommentarer(LineInput& in, LineOutput& out, const ConvertOptions& options);
bool ConvertSiemensClear(LineInput& in, LineOutput& out, ByteSink& sink);
bool ConvertKopi(LineInput& in, LineOutput& out, ByteSink& sink);
bool ConvertSmt(LineInput& in, LineOutput& out);
// Unchanged is set when none of the first three lines holds "%".
bool ConvertOkuma5000(LineInput& in, LineOutput& out, bool& unchanged);
bool ConvertFanuc(LineInput& in, LineOutput& out);

// A line of at least two characters starting with "N", "T", "H" or "&" and a digit.
bool IsBlockLine(const std::string& s);
// Removes each "(" to the next ")" inclusive, or to the end without one.
std::string RemoveComments(const std::string& s);
void RemoveCommentsInPlace(std::string& s);
// "N10G01X5" -> "N10  G01 X5": two spaces before the first later upper-case
// letter, one before each further one.
std::string SpaceBlock(const std::string& s);
void SpaceBlockInto(const std::string& s, std::string& spaced);
// The tag of the file's path: relative to ProgramDir, without ProgramExt and
// drive, "/" separated, in parentheses.
std::string CommentTag(const std::string& fileName, const std::string& programDir,
                       const std::string& programExt);
// The program number of a Siemens "%" or "L" line: first character and the
// digits after it; a trailing "00" of an "L" number is dropped.
std::string SiemensClearEntry(const std::string& line);
// EMCO's header number: the digits of the base name, at most the last four, or "0005".
std::string EmcoProgramNumber(const std::string& fileName);

}  // namespace zova
