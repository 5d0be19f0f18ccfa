// The Heidenhain control's file commands: delete (or change directory),
// rename, make a directory, list a directory. Every name comes from the
// control and is kept inside the machine's directories.

#include "core/error_text.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/visual.h"
#include "files/storage/name_guard.h"
#include "files/storage/safe_file.h"
#include "protocols/heidenhain/theidenhain.h"

namespace zova {

using namespace heidenhain;

namespace {

// The invalid text is shown up to this length.
constexpr size_t kShownCommand = 30;

}  // namespace

std::string THeidenHain::ServeHhCommand() {
  CommandReader reader;
  for (;;) {
    char ch = 0;
    bool ok = false;
    ReadHhChar(true, false, ok, ch);
    const CommandReader::Outcome o =
        ok && !Terminated() ? reader.Feed(ch) : CommandReader::Outcome::Overlong;
    switch (o) {
      case CommandReader::Outcome::Open:
        continue;
      case CommandReader::Outcome::Header:
        return std::string(1, kSoh);
      case CommandReader::Outcome::Listing:
        SetFileName(CurrentDir + ListingMask(DefaultExt, Ext));
        Send(false, true, false, false);
        return {};
      case CommandReader::Outcome::Command:
        RunHhCommand(reader.Text());
        return {};
      case CommandReader::Outcome::Overlong:
        SetCell(kColMelding, StrToVisual(reader.Text().substr(0, kShownCommand)));
        ReportCell(kColStatus, "Ugyldig kommando");
        return {};
    }
  }
}

void THeidenHain::RunHhCommand(const std::string& text) {
  const Command c = ParseCommand(text);
  if (c.letter != 'F') FileType = c.type;
  switch (c.letter) {
    case 'D':
      DeleteOrChangeDir(c.argument);
      break;
    case 'N':
      if (c.twoNames) RenameFile(c.oldName, c.newName);
      break;
    case 'F':
      MakeDirectory(c.argument);
      break;
    case 'P':
      SetCell(kColMelding, "P:" + c.argument + " Hvilken kommando er dette ?");
      break;
    default:
      break;
  }
  WriteControlChar(kEtx);
  FlushConsole();
}

std::string THeidenHain::CommandFile(const std::string& name) const {
  return HomeDir + CurrentDir + name + ExtForType(FileType);
}

std::string THeidenHain::CommandDir(const std::string& name) const {
  return HomeDir + CurrentDir + name;
}

bool THeidenHain::CommandPathAllowed(const std::string& path, const std::string& name) {
  if (!name.empty() && NameAllowed(path)) return true;
  SetCell(kColMelding, "Ulovlig katalog i filnavn: " + name);
  LogEvent(false, "Ulovlig filnavn " + name);
  return false;
}

void THeidenHain::DeleteOrChangeDir(const std::string& name) {
  const std::string file = CommandFile(name);
  if (Listing.underKataloger) {
    const std::string dir = CommandDir(name);
    // The current directory stays below the machine's own.
    bool escaped = false, homeEscaped = false;
    const std::string target = LexicalPath(dir, escaped);
    const std::string home = LexicalPath(HomeDir, homeEscaped);
    if (!name.empty() && DirExists(dir) && InsideRoots(dir, {HomeDir})) {
      CurrentDir = target.substr(home.size() + 1) + "/";
      return;
    }
    if (name.empty() || !FileExists(file) || target == home) {
      CurrentDir.clear();
      return;
    }
  }
  if (!CommandPathAllowed(file, name)) return;
  if (const int e = RemoveFile(file))
    SetCell(kColMelding, file + ": " + ErrorText(e, ErrorContext::Storage));
}

void THeidenHain::RenameFile(const std::string& oldName, const std::string& newName) {
  const std::string from = CommandFile(oldName), to = CommandFile(newName);
  if (!CommandPathAllowed(from, oldName) || !CommandPathAllowed(to, newName)) return;
  if (!FileExists(from)) {
    SetCell(kColMelding, L1("Umulig å åpne filen ") + from);
    return;
  }
  // A rename never overwrites a program.
  if (FileExists(to)) {
    SetCell(kColMelding, L1("Filen eksisterer fra før"));
    return;
  }
  if (const int e = MoveFile(from, to))
    SetCell(kColMelding, to + ": " + ErrorText(e, ErrorContext::Storage));
}

void THeidenHain::MakeDirectory(const std::string& name) {
  const std::string dir = CommandDir(name);
  if (!CommandPathAllowed(dir, name)) return;
  if (!ForceDirectories(dir)) SetCell(kColMelding, "Katalog kan ikke opprettes: " + dir);
}

}  // namespace zova
