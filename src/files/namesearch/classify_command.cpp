#include "files/namesearch/classify_command.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "core/paths.h"
#include "files/namesearch/head_text.h"

namespace zova {

namespace {

constexpr int kMaxMachines = 100;

int Fail(std::FILE* err, const std::string& text) {
  std::fprintf(err, "zova classify: %s\n", Latin1ToUtf8(text).c_str());
  return 2;
}

std::string ModeLine(std::string_view label, const NameResult& r) {
  auto flag = [](bool b) { return b ? "1" : "0"; };
  return std::string(label) + ": " + r.name + " found=" + flag(r.found) +
         " firstpair=" + flag(r.firstPair) + " extended=" + flag(r.extended) +
         " askname=" + flag(r.askName);
}

// The head as the driver collects it: at most the larger of MaxHent and
// MaxHent2 characters, trimmed to StartNavn.
std::string MachineHead(const std::string& section, std::string_view text) {
  const int maxHent = ReadIniInt(section, "MaxHent", 100);
  const int maxHent2 = ReadIniInt(section, "MaxHent2", maxHent);
  const std::string startNavn = ReadIniUpper(section, "StartNavn", "", true);
  return HeadOfText(text, static_cast<size_t>(std::max({maxHent, maxHent2, 0})), startNavn);
}

}  // namespace

std::vector<std::string> ClassifyReport(const NameSearchConfig& cfg, std::string_view head) {
  static constexpr std::pair<SearchMode, std::string_view> kModes[] = {
      {smFetch, "fetch"}, {smSave, "save"}, {smDirectory, "directory"},
      {smPrint, "print"}, {smTool, "tool"},
  };
  std::vector<std::string> lines{"header: " + std::string(head)};
  for (const auto& [mode, label] : kModes)
    lines.push_back(ModeLine(label, FindProgramNameWith(cfg, mode, head)));
  return lines;
}

int RunClassifyCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  if (args.size() != 2) return Fail(err, "bruk: zova classify [Zova.ini] MASKIN FIL");
  auto machine = ParseInteger(args[0]);
  if (!machine || *machine < 1 || *machine > kMaxMachines)
    return Fail(err, "ugyldig maskinnummer " + args[0]);
  const std::string section = MachineSection(*machine);
  if (!IniSectionExists(section)) return Fail(err, "finner ikke seksjonen [" + section + "]");
  std::ifstream in(FsPath(args[1]), std::ios::binary);
  if (!in) return Fail(err, "finner ikke " + args[1]);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return Fail(err, "kan ikke lese " + args[1]);

  const NameSearchConfig cfg = ReadNameSearchConfig(*machine);
  for (const std::string& line : ClassifyReport(cfg, MachineHead(section, text)))
    std::fprintf(out, "%s\n", Latin1ToUtf8(line).c_str());
  return std::fflush(out) == 0 ? 0 : 2;
}

}  // namespace zova
