#pragma once
// A text terminal on the shop floor, on a line of its own: an operator
// chooses a target machine, types or browses a program name, and has the
// station send, check or print that machine's chosen program. The terminal
// sends nothing itself: it places the name in the target's Filnavn cell and
// gives the station-wide send order the target's own driver takes.

#include <cstdint>
#include <string>

#include "serial/standard/tzova.h"
#include "serial/terminal/terminal_input.h"

namespace zova {

class TTerminal : public TZova {
 public:
  TTerminal(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  uint8_t Target = 1;
  int Lines = 4;

  void ShowPrompt();
  void ShowResult(bool keep, const std::string& title, const std::string& text);

 protected:
  void OnStart() override { ShowPrompt(); }
  void OnThreadEnd() override;
  // The input dialogue, entered when the terminal sent a byte.
  void Receive(bool& stored, bool& receiptIsError) override;
  // The terminal never takes a program: a start signal shows the prompt.
  void Send(bool, bool, bool, bool) override { ShowPrompt(); }

 private:
  // A key within ten read periods; false when none came, or at once when
  // the thread is ending or Abandoned.
  bool WaitKey(uint8_t& key, bool abandoned = false);
  void Show(const std::string& screen);
  void OrderSend();
  void CheckFile();
  void PrintFile();
  void Act(TerminalAction action);
  void ChooseTarget(int functionKey);
  void PlaceName(std::string name);
  // Abandoned: nothing to choose, or the operator gave up (Name "0000").
  bool BrowseDirectory(std::string& name);
  std::string TargetName(int machine) const;
  // The target's chosen file as a station path; empty for a name outside
  // the target's directories.
  std::string ChosenFile(std::string& name);
};

}  // namespace zova
