#include "serial/terminal/tterminal.h"

#include "core/config/config.h"
#include "core/driver/machine_set.h"
#include "core/file_settings.h"
#include "core/paths.h"
#include "files/storage/name_guard.h"
#include "serial/terminal/terminal_browse.h"
#include "serial/terminal/terminal_screens.h"

namespace zova {

namespace {

constexpr int kKeyReads = 10;
constexpr int64_t kResultMs = 5000;
constexpr int64_t kChosenMs = 2000;
const std::string kAbandonedName = "0000";

bool ValidMachine(int n) {
  return n >= 1 && n <= MachineSet::ConfiguredMachineCount();
}

// Path is where Machine's names may lead: its directories, not the rest of
// the disk (a typed "..\" stays inside them).
bool InsideMachineDirs(int machine, const std::string& path) {
  const std::string dir = MachineDataDir(machine);
  const std::string katalog2 =
      WithTrailingSep(ReadIniUpper(MachineSection(machine), "Katalog2", dir));
  return InsideRoots(path,
                     MachineRoots(dir, katalog2, ReadIniBool("Program", "FellesKataloger", false)));
}

// The machine's directory before a name, as stored names are joined.
std::string MachinePath(int machine, const std::string& name) {
  std::string dir = MachineDataDir(machine);
  PathPrefix(name, dir);
  return dir + name;
}

}  // namespace

TTerminal::TTerminal(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  const int maskin = ReadIniInt(SectionName, "Maskin", 1);
  Target = static_cast<uint8_t>(ValidMachine(maskin) ? maskin : 1);
  Lines = TerminalLines(ReadIniInt(SectionName, "Linjer", 4));
}

void TTerminal::Show(const std::string& screen) {
  bool ok = false;
  WriteString(Com, screen, ok);
  FlushConsole();
}

void TTerminal::ShowPrompt() {
  Show(PromptScreen(Lines));
}

void TTerminal::ShowResult(bool keep, const std::string& title, const std::string& text) {
  Show(ResultScreen(title, text, Lines));
  if (keep) return;
  Pause(kResultMs);
  Show(kCrLf);
  ShowPrompt();
}

void TTerminal::OnThreadEnd() {
  Show(StoppedScreen());
}

bool TTerminal::WaitKey(uint8_t& key, bool abandoned) {
  for (int i = 0; i < kKeyReads && !Terminated() && !abandoned; ++i) {
    bool ok = false;
    char ch = 0;
    ReadChar(Com, true, ok, ch);
    if (ok) {
      key = static_cast<uint8_t>(ch);
      return true;
    }
  }
  return false;
}

void TTerminal::Receive(bool& stored, bool& receiptIsError) {
  stored = receiptIsError = false;
  ReportCellWait(kColStatus, "Inntasting startet");
  TerminalInput input;
  KeyOutcome last;
  bool keyCame = false;
  while (!Terminated()) {
    uint8_t key = 0;
    keyCame = WaitKey(key);
    if (!keyCame) break;
    last = input.Feed(key);
    if (last.action != TerminalAction::None) {
      Act(last.action);
      return;
    }
    if (last.echo) {
      bool ok = false;
      WriteChar(Com, false, ok, static_cast<char>(last.echoByte));
      FlushConsole();
    }
    ReportCell(kColMelding, "Filnavn: " + input.Name());
    if (last.Finished()) break;
  }
  if (Terminated()) return;
  if (last.functionKey != 0) {
    ChooseTarget(last.functionKey);
  } else if (!keyCame || input.Name().empty()) {
    ReportCellWait(kColStatus, "Inntasting avbrutt");
  } else {
    PlaceName(input.Name());
    return;
  }
  ShowPrompt();
}

void TTerminal::Act(TerminalAction action) {
  switch (action) {
    case TerminalAction::Check:
      CheckFile();
      break;
    case TerminalAction::Send:
      OrderSend();
      break;
    case TerminalAction::Print:
      PrintFile();
      break;
    case TerminalAction::None:
      break;
  }
}

std::string TTerminal::TargetName(int machine) const {
  return TerminalMachineName(ReadIniStr(MachineSection(machine), "Navn", ""), machine);
}

void TTerminal::ChooseTarget(int functionKey) {
  const int chosen = ReadIniInt(SectionName, "F" + std::to_string(functionKey), Target);
  if (ValidMachine(chosen))
    Target = static_cast<uint8_t>(chosen);
  else
    ReportCell(kColMelding, "Ugyldig maskin: " + std::to_string(chosen));
  const std::string name = TargetName(Target);
  Show(ChosenMachineScreen(name, Lines));
  ReportCellWait(kColStatus, "Ny maskin: " + name);
  Pause(kChosenMs);
  Show(kCrLf);
}

void TTerminal::PlaceName(std::string name) {
  if (name.find('.') == std::string::npos)
    name += ReadIniUpper(MachineSection(Target), "Ext", ProgramExt());
  bool abandoned = false;
  if (name.find_first_of("*?") != std::string::npos) abandoned = BrowseDirectory(name);
  SetCellAt(Target, kColFilnavn, name);
  ReportCellWait(kColStatus, "Inntasting slutt");
  if (!abandoned) {
    Show(ReadyScreen(name, Lines));
    Pause(kResultMs);
    Show(kCrLf);
  }
  if (!Terminated()) ShowPrompt();
}

bool TTerminal::BrowseDirectory(std::string& name) {
  ReportCell(kColStatus, "Viser katalog");
  const std::string full = MachinePath(Target, name);
  std::vector<std::string> files;
  if (InsideMachineDirs(Target, full)) files = ListFiles(DirOf(full), FileNameOf(full));
  const BrowseList list = MakeBrowseList(std::move(files), name, Lines);
  const int size = static_cast<int>(list.entries.size());
  bool abandoned = list.abandoned;
  int top = 0;
  uint8_t key = 0;
  bool keyCame = false;
  for (;;) {
    Show(BrowsePage(list.entries, top, Lines));
    keyCame = WaitKey(key, abandoned);
    if (!keyCame) break;
    key = NormalisedKey(key);
    if (key == kTerminalCr || key == kTerminalEsc) break;
    top = PagedTop(top, key, Lines, size);
  }
  if (keyCame && key == kTerminalCr)
    name = BrowsedName(name, list.entries[static_cast<size_t>(top)]);
  // "Ingen filer:" would be gone with the next screen before anyone read it.
  if (list.abandoned) Pause(kResultMs);
  if ((keyCame && key == kTerminalEsc) || Terminated()) abandoned = true;
  if (abandoned) name = kAbandonedName;
  return abandoned;
}

std::string TTerminal::ChosenFile(std::string& name) {
  name = GetCellAt(Target, kColFilnavn);
  if (name.empty()) return {};
  const std::string path = MachinePath(Target, name);
  return InsideMachineDirs(Target, path) ? path : std::string();
}

void TTerminal::OrderSend() {
  ReportCell(kColMelding, "Sending til maskin " + std::to_string(Target) + " startet");
  const bool taken = OrderSendToMachine(Target);
  const std::string name = TargetName(Target);
  if (!taken) {
    // Nobody would take the order; it is not left to surprise a later start.
    ShowResult(false, "Sending til maskin:", name + " ikke aktiv");
    ReportCell(kColStatus, "Maskin ikke aktiv");
    return;
  }
  ShowResult(false, "Sending til maskin:", name);
  ReportCell(kColStatus, "Sending startet");
}

void TTerminal::CheckFile() {
  std::string name;
  const std::string path = ChosenFile(name);
  const bool exists = !path.empty() && FileExists(path);
  ShowResult(false, "Fil: " + name, exists ? "Filen eksisterer" : "Eksisterer ikke");
  ReportCell(kColStatus, "Filsjekk ferdig");
}

void TTerminal::PrintFile() {
  std::string name;
  const std::string path = ChosenFile(name);
  if (!path.empty() && FileExists(path)) {
    ShowResult(true, "Fil: " + name, "Utskrift startet");
    bool ok = false;
    TCom::PrintFile(Target, path, name, ok);
    ShowResult(false, "Fil: " + name, ok ? "Utskrift ferdig" : "Utskrift feilet");
  } else {
    ShowResult(false, "Fil: " + name, "Eksisterer ikke");
  }
  ReportCell(kColStatus, "Utskrift ferdig");
}

}  // namespace zova
