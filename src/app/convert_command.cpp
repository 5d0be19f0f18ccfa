#include "app/convert_command.h"

#include <memory>

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "core/paths.h"
#include "files/convert/conversions.h"
#include "files/convert/convert_file.h"
#include "files/convert/file_format.h"

namespace zova {

namespace {

constexpr int kMaxMachines = 100;

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

int Fail(std::FILE* err, const std::string& text) {
  std::fprintf(err, "zova convert: %s\n", Latin1ToUtf8(text).c_str());
  return 2;
}

ConvertOptions MachineOptions(int machine, const std::string& file) {
  std::string section = MachineSection(machine);
  ConvertOptions o;
  o.fileName = file;
  o.programExt = ReadIniUpper(section, "Ext", ProgramExt());
  o.programDir = MachineDataDir(machine);
  o.startCode = EditorStartCode();
  return o;
}

}  // namespace

bool IsSystemProgramName(const std::string& name, const std::string& sysExt) {
  if (sysExt.empty()) return false;
  return UpperCase(name).find(UpperCase(sysExt), 1) != std::string::npos;
}

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.size() != 2) return Fail(err, "bruk: zova convert [Zova.ini] MASKIN FIL");
  auto machine = ParseInteger(args[0]);
  if (!machine || *machine < 1 || *machine > kMaxMachines)
    return Fail(err, "ugyldig maskinnummer " + args[0]);
  const std::string& file = args[1];
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(FsPath(file).c_str(), "rb"));
  if (!in) return Fail(err, "finner ikke " + file);

  int format = ReadFileFormat(MachineSection(*machine));
  if (IsSystemProgramName(file, Globals().SysExt)) format = kFormatStandard;
  FileSource source(in.get());
  FileSink sink(out);
  ConvertResult result = ConvertStream(format, MachineOptions(*machine, file), source, sink);
  if (result == ConvertResult::Unchanged) {
    LineInput raw(source);
    if (!raw.Rewind() || !raw.CopyRest(sink)) result = ConvertResult::Failed;
  }
  if (std::fflush(out) != 0 || result == ConvertResult::Failed)
    return Fail(err, "konverteringen av " + file + " feilet");
  return 0;
}

}  // namespace zova
