#include "files/convert/convert_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/config/config.h"
#include "core/paths.h"
#include "files/convert/conversions.h"
#include "files/convert/file_format.h"

namespace zova {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Only a plain file is ours to remove; a target may be a device.
void RemoveTarget(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
}

bool CloseFile(FilePtr& f) {
  std::FILE* raw = f.release();
  return raw && std::fclose(raw) == 0;
}

}  // namespace

std::string EditorStartCode() {
  return ReadIniUpper("Redigerer", "StartKode", "", true);
}

void ConvertFile(int format, bool crLineEnds, std::string& fileName, bool& ok,
                 std::string_view programExt, std::string_view programDir,
                 std::string_view targetName) {
  ok = false;
  if (format == kFormatStandard) {
    ok = true;
    return;
  }
  if (format < 0 || format >= kFormatCount) return;
  ConvertOptions options;
  options.crLineEnds = crLineEnds;
  options.fileName = fileName;
  options.programExt = std::string(programExt);
  options.programDir = std::string(programDir);
  if (format == kFormatOkuma3000) options.startCode = EditorStartCode();

  std::string targetPath = FsPath(targetName);
  FilePtr src(std::fopen(FsPath(fileName).c_str(), "rb"));
  if (!src) return;
  FilePtr dst(std::fopen(targetPath.c_str(), "wb"));
  if (!dst) return;
  FileSource source(src.get());
  FileSink sink(dst.get());
  ConvertResult result = ConvertStream(format, options, source, sink);
  bool closed = CloseFile(src);
  closed = CloseFile(dst) && closed;
  ok = closed && result != ConvertResult::Failed;
  // Neither a stored file sent as it is nor a failed conversion may leave a
  // target that a later step could send by mistake.
  if (!ok || result == ConvertResult::Unchanged) {
    RemoveTarget(targetPath);
    return;
  }
  fileName = std::string(targetName);
}

}  // namespace zova
