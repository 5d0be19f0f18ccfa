#pragma once
// The driver of a Mazak control speaking Mazatrol: the control starts every
// exchange. It offers a program a line at a time ("p1"), asks for one
// ("p4"), asks status questions ("q") or sends its screen's graphics (ESC or
// CAN first) for the printer. The program number and title are read from
// their configured places in the data, and the station learns those places
// from a test program. Anything else on the line is a standard reception.

#include <string>
#include <string_view>

#include "protocols/mazatrol/mazatrol_layout.h"
#include "protocols/mazatrol/mazatrol_settings.h"
#include "serial/standard/tzova.h"

namespace zova {

class TMazatrol : public TZova {
 public:
  TMazatrol(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  mazatrol::MazatrolKeys Keys;

  // One reply: the characters up to EOT (not kept). Ok false when the line
  // went quiet first. Unless EnkelEOT, a second EOT right after is taken
  // too (and noted: the control sends two); one that comes late is passed
  // over at the start of the next reply.
  void ReadMazReply(std::string& reply, bool& ok);
  // Text and EOT.
  void SendMazRaw(std::string_view text, bool& ok);
  // A program line with its check digits as the last two characters.
  void SendMazLine(const std::string& line, bool& ok);
  enum class WaitEnd { Expected, End, Failed };
  // Reads replies until one starts with Expected (or, when AllowSecond, with
  // Second), or "pA" ends the exchange; any other is answered "p00". Failed:
  // the line went quiet or an answer could not be sent.
  WaitEnd WaitMazReply(std::string_view expected, std::string_view second, bool allowSecond,
                       std::string& reply);

 protected:
  void OnStart() override;
  void OnSendOrder() override;
  void Receive(bool& stored, bool& receiptIsError) override;

 private:
  void Exchange(char first);
  void BeginExchangeFlow();
  void EndExchangeFlow();
  // Answers a reply; false (and Melding) when the answer did not go out.
  bool Answer(std::string_view answer, const std::string& reply);
  // Both true when the control ended the exchange with "pA".
  bool ReceiveMazProgram(const std::string& first);
  bool SendMazProgram();
  void PrintGraphics();
  void DropGraphics();
  // Reads until the line is quiet.
  void DrainLine();
  void WriteKeys(const mazatrol::KeyValues& keys);

  bool enkelEot_ = false;  // EnkelEOT, off while learning
  bool twoEot_ = false;    // the control ended a reply with two EOT
  bool tapeMarkSeen_ = false;
  bool softwareForExchange_ = false;
};

}  // namespace zova
