#pragma once
// The driver of a NUM control worked from the control's own terminal: the
// operator there wakes the station (NUL, CR), gets a menu on the control's
// screen, types a choice and a program number, and the program or the
// machine's tool data then moves in checked blocks with alternating
// acknowledgements. TNumNJ has another menu and names its files with four
// digits.

#include <string>

#include "protocols/num/num_framer.h"
#include "serial/line/tcom.h"

namespace zova {

class TNum : public TCom {
 public:
  TNum(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  std::string Port;
  TComPort Com;

  // Text and CR, only while Ok.
  void SendNumLine(const std::string& text, bool& ok);
  // One line up to CR (not kept). Ok false when the line went quiet first.
  void ReadNumLine(std::string& line, bool& ok);

 protected:
  void Execute() override;

  virtual num::Variant Kind() const { return num::Variant::Num; }
  virtual void ShowMenu();
  // Until a valid choice or the end of the driver: Ok false at the end.
  virtual void ReadChoice(char& choice, std::string& path, bool& ok);
  virtual void RunSession();
  // The file a choice names, and whether it must exist first ("" when it
  // need not); MissingText is what the control's screen is told.
  virtual std::string ChoicePath(const num::Choice& choice, bool& mustExist,
                                 std::string& missingText);

  // ReadChoice, then the transfer chosen; choice 2 sends the tool data when
  // Choice2IsTool, else the program it names.
  void RunChoice(bool choice2IsTool);
  void SendNumProgram(bool tool);
  void ReceiveNumProgram();

 private:
  void Serve(char first);
  // Reads lines until one comes; false at the end of the driver.
  bool AwaitLine(std::string& line);
  enum class SendEnd { Sent, Restart, Failed };
  SendEnd SendBlocks(bool tool, int& repetitions);
  // One block until acknowledged; false when the tries ran out or a reply
  // restarted the transfer (Restart set).
  bool SendBlock(const std::string& block, int& counter, int& repetitions, bool& restart);
};

class TNumNJ : public TNum {
 public:
  using TNum::TNum;

 protected:
  num::Variant Kind() const override { return num::Variant::NumNJ; }
  std::string ChoicePath(const num::Choice& choice, bool& mustExist,
                         std::string& missingText) override;
  void RunSession() override;
};

}  // namespace zova
