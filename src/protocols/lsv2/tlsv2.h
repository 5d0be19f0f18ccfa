#pragma once
// The LSV2 driver: a control that exchanges telegrams ("T ST  ", "M RR  ",
// "R PP...", "T FD") framed as ENQ / DLE "0", DLE STX text DLE ETX BCC /
// DLE "1", EOT. The station sends programs on the operator's order, fetches
// them, and serves what the control starts: a program wanted ("TDPP",
// "PT"), offered ("RDPP", "PR"), the control's own send dialogue ("T ST  "),
// alarms and status reports. Reports that come while the station waits for
// an answer are queued and served before the next order. The framing and
// every decision are the pure lsv2_* layers; this class reads, writes and
// reports.
//
// The operator's orders come through the request record: Fetch (the
// Filnavn cell names the program), Send (the Filnavn cell, or OrderName1
// for a named send whose result is handed back), Flag2 start program
// (OrderName1), Flag4 load magazine (OrderValue), and OrderValue3 > 0 unload
// that tool (OrderByte the pocket). Send and fetch come from the window,
// the web interface and `zova ctl`; the others are for the tool variants.

#include <string>
#include <string_view>

#include "protocols/lsv2/lsv2_blocks.h"
#include "protocols/lsv2/lsv2_link.h"
#include "protocols/lsv2/lsv2_port_link.h"
#include "protocols/lsv2/lsv2_reports.h"
#include "protocols/t3964r/tbilz.h"

namespace zova {

class TLSV2 : public TBilz {
 public:
  TLSV2(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // Keys of the machine section.
  bool KortClear = false;
  std::string Clear;                // upper, visual
  std::string Terminator = "\r\n";  // upper, visual
  bool Status = true;
  std::string AlarmFilter;  // upper
  int BlockSize = 120;
  // Set by the tool and pallet variants (and Okuma's Reset key).
  bool LoadAfterSend = false;
  bool ResetAtStart = false;

  const std::string& PendingLine() const { return blocks_.PendingLine(); }
  const lsv2::ReportQueue& Reports() const { return queue_; }

  // ---- Link operations, on Com. Each returns its ok. ----

  // Reads one character (one TimeMultiplier wait when SingleRead, else the
  // full character timeout) and answers an ENQ with DLE "0". True when a
  // character was read.
  bool AnswerEnq(bool singleRead, char& ch);
  bool LsvConnect();
  bool LsvSendFrame(const std::string& frame);
  // LsvConnect, the frame, the log line ended. A telegram the framing
  // refuses (an ETX or ETB in its text) is not sent.
  bool LsvSend(std::string_view telegram);
  bool LsvReceive(std::string& telegram, bool enqSeen);

  // ---- Dialogue operations ----

  void TakeCollisionTelegram();
  // The first telegram that is no report (reports are queued).
  bool ReceiveAnswer(std::string& answer, bool enqSeen = false);
  // ReceiveAnswer, held while the control answers "T WA".
  bool ReceiveAnswerWaiting(std::string& answer);
  bool ReceiveAnswerWithin(int seconds, std::string& answer);
  bool NextNcTelegram(std::string& telegram, bool enqSeen);

  bool ReadNcStatus(bool withAu);
  bool ClearNcMemory(const std::string& ncName);
  bool CheckNcReady(const std::string& ncName);
  bool SendProgramBody(std::string_view area);
  // The operator's send of the file the Filnavn cell names.
  bool SendProgram();
  // Asks the control for FileName's program and stores it under FileName.
  bool FetchProgram(const std::string& fileName);
  // Takes "R " Area data telegrams up to "T FD" into the receive file and
  // stores it; a transfer that breaks off stores nothing.
  bool ReceiveProgramBody(std::string_view area);
  bool ReceiveTestProgram();
  bool ServeTdpp(const std::string& telegram);
  // "PT": the program the control asks for in Area. RequireOk: the
  // control's final answer must be "M OK" (Okuma).
  bool ServePt(const std::string& telegram, bool requireOk = false);
  bool ServePr(const std::string& telegram);
  void ReportAlarm(const std::string& telegram);
  bool ServeNc(bool enqSeen);

 protected:
  void Execute() override;

  // The slots the variants replace.
  virtual void PollHook() {}
  virtual void HandleNcTelegram(const std::string& telegram, bool& handled, bool& ok);
  virtual void LoadMagazine(int magazine, bool& ok);
  virtual void UnloadTool(int tool, int pocket, bool& ok);
  virtual void StartProgram(bool& ok);
  virtual void ResetNc(bool& ok);

  // Bytes to the line; false when not all went out.
  bool Write(std::string_view bytes) { return WriteBytes(Com, bytes); }
  // One character as Mode says; false when none came.
  bool Read(lsv2::ReadMode mode, char& ch);
  int MaxNameLength() const { return Search.maxLengde; }
  // The file being sent, for its name in the control's telegrams.
  std::string CurrentFileName();
  // Shows Name in Filnavn as the transfer file (the machine's extension
  // added when it has none); false, with the reason in Melding, for a name
  // that reaches outside the machine's directories.
  bool UseTransferName(std::string name);
  // Opens the transfer file for sending; false when there is none.
  bool OpenForSending();
  // Steps 2 to 6 of a send, on the open file.
  bool SendOpenFile();
  // Runs Serve inside a console transfer, with the transfer state reset
  // and orders held back until it ends (a wake for an order would cut a
  // read of the dialogue short).
  template <typename F>
  void InTransfer(F&& serve);

  lsv2::ReportQueue queue_;

 private:
  void RunCycle();
  void TakeOrders();
  void OperatorFetch();
  void OperatorSend();
  void OperatorStart();
  void OperatorLoad();
  void OperatorUnload();
  void ServeControl(bool enqSeen);
  void HoldOrders(bool hold);
  // "Status" column texts of an order's outcome, its result handed back.
  void HandBack(bool ok);

  lsv2::PortLink link_{*this, Com, [this] { TakeCollisionTelegram(); }};
  lsv2::BlockReader blocks_{120};
  bool namedSendSeen_ = false;
};

template <typename F>
void TLSV2::InTransfer(F&& serve) {
  ConsoleBeginTransfer();
  ResetTransfer();
  HoldOrders(true);
  serve();
  HoldOrders(false);
  FlushConsole();
  ConsoleEndTransfer();
}

}  // namespace zova
