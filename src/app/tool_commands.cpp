#include "app/tool_commands.h"

#include <unistd.h>

#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/numformat.h"
#include "core/numparse.h"
#include "core/paths.h"
#include "tools/offset_program.h"
#include "tools/register_file.h"

namespace zova {

namespace {

int Fail(std::FILE* err, const std::string& latin1) {
  std::fprintf(err, "zova: %s\n", Latin1ToUtf8(latin1).c_str());
  return 2;
}

bool CopyToStream(const std::string& path, std::FILE* out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) ok = ok && std::fwrite(buf, 1, n, out) == n;
  std::fclose(f);
  return ok && std::fflush(out) == 0;
}

}  // namespace

int RunOffsetsCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.empty() || args.size() > 2) return Fail(err, "bruk: offsets [Zova.ini] MASKIN [UT]");
  auto machine = ParseInteger(args[0]);
  if (!machine || *machine < 1 || *machine > 100)
    return Fail(err, "ugyldig maskinnummer: " + args[0]);
  std::string section = MachineSection(*machine);
  OffsetRequest rq;
  ReadToolFormat(section, rq.Settings);
  rq.Keys = ReadMachineToolKeys(section);
  if (rq.Settings.Format == kToolNone)
    return Fail(err, section + L1(" har ingen verktøyprotokoll"));
  bool toStdout = args.size() < 2;
  rq.Target =
      toStdout ? TempDir() + "zova-offsets-" + std::to_string(::getpid()) + ".TOL" : args[1];
  OffsetFileResult r = WriteOffsetProgram(rq);
  for (const auto& w : r.Warnings) std::fprintf(err, "%s\n", Latin1ToUtf8(w).c_str());
  bool copied = !toStdout || r.KeepOriginal || CopyToStream(FsPath(rq.Target), out);
  if (toStdout) std::remove(FsPath(rq.Target).c_str());
  if (!r.Ok) return Fail(err, r.Error.empty() ? L1("verktøyprogrammet feilet") : r.Error);
  if (!copied) return Fail(err, "kan ikke skrive til standard ut");
  if (r.KeepOriginal)
    std::fprintf(err, "%s\n",
                 Latin1ToUtf8(L1("verktøydata sendes uendret (ingenting skrevet)")).c_str());
  return 0;
}

int RunRegisterCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.size() != 1) return Fail(err, "bruk: register REGISTER");
  RegisterLoad load = LoadRegister(args[0], RecordKind::Tool);
  if (!load.ok()) return Fail(err, args[0] + ": " + load.error);
  std::string line;
  for (const auto& raw : load.records) {
    ToolRecord t = DecodeTool(raw);
    line = std::to_string(t.ToolNo);
    for (double v : t.Reals) line += " " + FloatToStr(v, 4);
    line += "\n";
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size())
      return Fail(err, "kan ikke skrive til standard ut");
  }
  return std::fflush(out) == 0 ? 0 : Fail(err, "kan ikke skrive til standard ut");
}

}  // namespace zova
