// The NUM driver's loop and the operator's session at the control's screen.

#include "protocols/num/tnum.h"

#include "core/latin1.h"
#include "core/paths.h"

namespace zova {

using namespace num;

namespace {

constexpr int kMenuBlankLines = 11;
constexpr int kMenuLinePauseMs = 100;
constexpr int kMissingFilePauseMs = 5000;
// A line longer than this has lost its CR: it is taken as it is.
constexpr size_t kMaxLine = 1024;

}  // namespace

TNum::TNum(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TCom(links, sharedRequest, machineNo) {
  Port = Trim(ReadIniUpper(SectionName, "Port", "COM" + std::to_string(machineNo + 1)));
}

void TNum::Execute() {
  Pause(100);
  bool ok = false;
  OpenPort(Port, "", ok, false, Com);
  // Lines end with CR alone, and a run of empty ones clears the screen: no
  // end-of-block text in their place.
  Com.Eob.clear();
  if (!ok) {
    ReportCell(kColMelding, "Startet ikke");
  } else {
    ReportCell(kColStatus, L1("Kjører kommunikasjon"));
    while (!Terminated()) {
      Com.CharCount = 0;
      char ch = 0;
      bool read = false;
      ReadChar(Com, true, read, ch);
      if (!read) continue;
      ConsoleBeginTransfer();
      ResetTransfer();
      Serve(ch);
      FlushConsole();
      ConsoleEndTransfer();
    }
    ClosePort(Com);
  }
  ReportCell(kColStatus, L1("Kjører ikke"));
  CloseLog();
  TheClock().Sleep(100, nullptr);
}

// The control wakes the station with NUL and CR; anything else is passed by.
void TNum::Serve(char first) {
  if (first != kNul) return;
  bool ok = true;
  WriteChar(Com, false, ok, kNul);
  char ch = 0;
  bool read = false;
  ReadChar(Com, false, read, ch);
  if (!read || ch != kCr) {
    if (read) UnreadChar(Com, ch);
    return;
  }
  ReportCell(kColStatus, "Leser input");
  RunSession();
}

void TNum::SendNumLine(const std::string& text, bool& ok) {
  if (!ok) return;
  WriteString(Com, text + kCr, ok);
}

void TNum::ReadNumLine(std::string& line, bool& ok) {
  line.clear();
  for (;;) {
    char ch = 0;
    ReadChar(Com, false, ok, ch);
    if (!ok || Terminated()) {
      ok = false;
      return;
    }
    if (ch == kCr || line.size() >= kMaxLine) return;
    line += ch;
  }
}

bool TNum::AwaitLine(std::string& line) {
  while (!Terminated()) {
    bool ok = false;
    ReadNumLine(line, ok);
    if (ok) return true;
  }
  return false;
}

void TNum::ShowMenu() {
  bool ok = true;
  for (int i = 0; i < kMenuBlankLines; ++i) SendNumLine("", ok);
  const std::vector<std::string> lines = MenuLines(Kind());
  for (size_t i = 0; i < lines.size() && ok; ++i) {
    Pause(kMenuLinePauseMs);
    if (i + 1 < lines.size())
      SendNumLine(lines[i], ok);
    else
      WriteString(Com, lines[i], ok);
  }
  FlushConsole();
}

std::string TNum::ChoicePath(const Choice& choice, bool& mustExist, std::string& missingText) {
  mustExist = choice.choice != '3';
  missingText = "FIL> Filen eksisterer ikke";
  if (choice.choice == '2') {
    missingText = "TOOLS> Tooldata eksisterer ikke";
    return ToolDataTarget();
  }
  return JoinPath(DataDir, choice.number + Ext);
}

void TNum::ReadChoice(char& choice, std::string& path, bool& ok) {
  ok = false;
  while (!Terminated()) {
    ShowMenu();
    ChoiceInput input;
    ChoiceInput::Key key = ChoiceInput::Key::Ignored;
    while (key != ChoiceInput::Key::Done) {
      char ch = 0;
      bool read = false;
      ReadChar(Com, true, read, ch);
      if (Terminated()) return;
      if (!read) continue;
      key = input.Feed(ch);
      bool echoed = true;
      if (ChoiceInput::Echoed(key)) WriteChar(Com, false, echoed, ch);
    }
    const std::optional<Choice> c = ParseChoice(Kind(), input.Text());
    if (!c) continue;
    bool mustExist = false;
    std::string missing;
    path = ChoicePath(*c, mustExist, missing);
    bool written = true;
    if (mustExist && !FileExists(path)) {
      SendNumLine("", written);
      SendNumLine(missing, written);
      FlushConsole();
      Pause(kMissingFilePauseMs);
      continue;
    }
    SendNumLine("DNC>", written);
    SendNumLine(ChoiceAnswer(Kind(), c->choice), written);
    choice = c->choice;
    ok = true;
    return;
  }
}

void TNum::RunSession() {
  RunChoice(true);
}

void TNum::RunChoice(bool choice2IsTool) {
  char choice = 0;
  std::string path;
  bool ok = false;
  ReadChoice(choice, path, ok);
  if (!ok) return;
  TransferName = path;
  SetCell(kColFilnavn, path);
  SetCell(kColMelding, "Input ferdig");
  if (choice == '3')
    ReceiveNumProgram();
  else
    SendNumProgram(choice == '2' && choice2IsTool);
}

std::string TNumNJ::ChoicePath(const Choice& choice, bool& mustExist, std::string& missingText) {
  mustExist = choice.choice != '3';
  missingText = "FIL> Filen eksisterer ikke";
  // The test programs are the ones the control punched back.
  const std::string& dir = choice.choice == '2' ? Katalog2 : DataDir;
  return JoinPath(dir, choice.number + Ext);
}

void TNumNJ::RunSession() {
  RunChoice(false);
}

}  // namespace zova
