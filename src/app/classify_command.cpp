#include "app/classify_command.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/numparse.h"
#include "core/paths.h"
#include "files/namesearch/head_text.h"
#include "files/transfer/tfile.h"

namespace zova {

namespace {

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

// The transfer layer's own classification, without its side effects: a
// macro is recognised but no event record is written.
class DryRunDriver : public TFile {
 public:
  using TFile::TFile;
  void Execute() override {}

 protected:
  void WriteMacroRecord(int, const std::string&, bool& ok) override { ok = true; }
};

std::string Describe(const TFile& d) {
  if (d.IsMacro) return "macro";
  if (d.IsToolData) return "tool data";
  if (d.IsToolName || d.IsRequest) return "send " + d.TransferName;
  if (d.IsDirectory) return "list " + d.TransferName;
  if (d.IsPrint) return "print " + d.TransferName;
  return "store as " + d.TransferName + (d.IsExtend ? " (extend)" : "");
}

}  // namespace

std::string ClassifyAction(int machine, std::string_view head) {
  StationModel model(machine);
  UiLinks links;
  links.model = &model;
  DryRunDriver d(links, model.Request(machine), machine);
  d.ResetTransfer();
  d.Head = std::string(head);
  d.ClassifyReception();
  return "action: " + Describe(d);
}

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
  const std::string head = MachineHead(section, text);
  std::vector<std::string> lines = ClassifyReport(cfg, head);
  lines.push_back(ClassifyAction(static_cast<int>(*machine), head));
  for (const std::string& line : lines) std::fprintf(out, "%s\n", Latin1ToUtf8(line).c_str());
  return std::fflush(out) == 0 ? 0 : 2;
}

}  // namespace zova
