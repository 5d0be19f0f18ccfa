#pragma once
// An LSV2 control: every telegram goes as ENQ, DLE "0", one or more frames
// each acknowledged with DLE "1" (or refused with NAK and sent again), and
// EOT. On top of that link it plays the control's side of the dialogues:
// it takes a program the station sends ("T ST  ", "M AU  ", "PRCL", "PRPP",
// "R PP" blocks, "T FD"), asks for one ("TDPP", "PT"), offers one ("RDPP",
// "PR"), sends reports, collides on purpose and answers "T WA" for a while.
// The okuma-* commands play an Okuma control's own requests. It keeps the
// standard control's commands.

#include <string>
#include <vector>

#include "controls/standard_control.h"

namespace zova::sim {

class Lsv2Control : public StandardControl {
 public:
  Lsv2Control(SimLine& line, const SimOptions& options);

 private:
  // Options every lsv2 command reads: --timeout MS (10000) for each wait,
  // --nak N (refuse the station's first N frames), --corrupt N (send the
  // first N frames with a wrong BCC), --block N (split telegrams into
  // blocks of at most N characters).
  struct Link {
    int timeout = 10000;
    long nak = 0;
    long corrupt = 0;
    long block = 0;
  };
  bool ReadLink(const SimCommand& cmd, Link& link, std::string& error);

  // lsv2-expect TEXT [--prefix]: one telegram from the station, which must
  // be TEXT (or begin with it).
  bool Expect(const SimCommand& cmd, std::string& error);
  // lsv2-send TEXT: one telegram to the station (reports: "R AL I...").
  bool Send(const SimCommand& cmd, std::string& error);
  // lsv2-collide TEXT: answers the station's ENQ with its own ENQ and sends
  // TEXT when the station gives way.
  bool Collide(const SimCommand& cmd, std::string& error);
  // lsv2-receive FILE [--wait N] [--wait-ms MS] [--not-ready] [--keep-memory]
  // [--expect-name NAME]: the station's send dialogue; the program's data
  // goes to FILE.
  bool Receive(const SimCommand& cmd, std::string& error);
  // lsv2-request NAME FILE [--pt] [--refused]: asks for program NAME with
  // "TDPP" (the station then runs its send dialogue) or "PTPP"; the data
  // goes to FILE. --refused expects "TDPPF" or "M NR".
  bool Request(const SimCommand& cmd, std::string& error);
  // lsv2-offer NAME FILE [--pr] [--expect-request TEXT]: offers FILE as NAME
  // with "RDPP" (the station asks for it with "PTPP") or "PRPP".
  bool Offer(const SimCommand& cmd, std::string& error);
  // lsv2-test-send NAME FILE: the send dialogue towards the station, as
  // the station runs it towards a control.
  bool TestSend(const SimCommand& cmd, std::string& error);
  // okuma-startup, okuma-list MASK FIRST LAST FILE, okuma-request NAME FILE,
  // okuma-offer NAME FILE: the Okuma control's own requests ("PTCM",
  // "LIPM", "PTPM", "PRPM").
  bool OkumaStartup(const SimCommand& cmd, std::string& error);
  bool OkumaList(const SimCommand& cmd, std::string& error);
  bool OkumaRequest(const SimCommand& cmd, std::string& error);
  bool OkumaOffer(const SimCommand& cmd, std::string& error);
  // The Heidenhain file transfer over the same link (lsv2_control_hh.cpp).
  // hh-lsv2-receive FILE [--terminator T] [--expect-name NAME]
  // [--expect-dir DIR] [--refuse] [--wait N]: takes the station's send
  // ("A_LGFILE", "C_DC", "C_FL", "S_FL", "T_FD", "A_LO", each answered
  // "T_OK"; --refuse answers "C_FL" with "T_ER"); the program goes to FILE
  // with every Terminator (default NUL) a CR LF. --wait N answers the first
  // data block with N "T WA" first.
  // hh-lsv2-serve NAME FILE [--missing]: answers "R_FL" for NAME with FILE
  // as "S_FL" telegrams (lines ended by NUL), then "T_FD"; --missing
  // answers "T_ER" instead.
  void AddHeidenhainCommands();
  bool HhReceive(const SimCommand& cmd, std::string& error);
  bool HhServe(const SimCommand& cmd, std::string& error);

  // The link. ReadTelegram waits for the station's ENQ; SendTelegram
  // starts with ENQ unless the handshake was already made.
  bool ReadTelegram(Link& link, std::string& telegram, std::string& error);
  bool ReadBlock(Link& link, std::string& block, std::string& error);
  bool SendTelegram(Link& link, const std::string& telegram, std::string& error,
                    bool handshakeDone = false);
  bool AwaitReady(Link& link, std::string& error);
  // Sends Telegram, then reads the answer, which must begin with Want.
  bool Ask(Link& link, const std::string& telegram, const std::string& want, std::string& answer,
           std::string& error);
  bool ExpectTelegram(Link& link, const std::string& want, std::string& got, std::string& error);

  // Dialogue pieces.
  bool TakeSendDialogue(const SimCommand& cmd, Link& link, std::string& error);
  bool TakeProgramData(Link& link, const std::string& area, std::string& data, std::string& error);
  bool GiveProgramData(Link& link, const std::string& area, const std::string& file,
                       std::string& error);
  void Note(const std::string& text) const;
};

}  // namespace zova::sim
