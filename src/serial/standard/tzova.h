#pragma once
// The standard DNC driver: a control on a serial line that sends programs as
// punched-tape text between start and stop codes and asks for programs by a
// start signal (XON, CTS/DSR) or by a request text naming one. The variants
// of other controls derive from it and replace its slots.

#include <string>

#include "serial/line/tcom.h"
#include "serial/standard/standard_framer.h"

namespace zova {

class TZova : public TCom {
 public:
  TZova(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);
  ~TZova() override;

  // Configuration (read once).
  std::string StartKode = "%", StartKode2;
  std::string StoppKode, StoppTegn;
  std::string StartEkstra, StoppEkstra;
  std::string StoppFeil;
  bool LagreAlt = true;
  bool HandShakeTest = false;
  bool StartStoppKodeUt = false;
  bool StoppTegnUt = true;
  int VenteTid = 0;
  int SendDelayKey = 0;  // the machine's SendDelay (the port has its own)
  int PauseTid = 0;
  CharSet PauseTegn;
  int TegnDelay = 0;
  CharSet DelayTegn;
  bool FjernDelayTegn = false;
  bool DelayEtter = false;
  int MaxNull = 60;
  int SystemNuller = 0;
  int KvitteringsTid = 0;
  bool HenteKommando = false;
  bool Hurtig = false;
  bool HandShake = true;
  std::string Port;

  // Driver state.
  TComPort Com;
  bool PortOpen = false;
  bool NoRequestPending = true;
  int ReceiveCount = 0, SendCount = 0;
  int ReceiptCycles = 0;
  bool ReceiptIsError = false;
  int LastReceivedChars = 0;
  bool PreemptRule = false;
  // Characters of a send that were read from the file but did not go out
  // when the line failed (for the end check).
  int64_t SendUnsent = 1;

  // Reports and stores the outcome of a reception.
  void FinishReceive(bool complete, bool keep, bool& receiptIsError, bool& stored, bool store);
  void ReceiveSystemFile(const std::string& name, bool& stored, bool& receiptIsError);
  // TrailerDone: the whole NUL trailer went out (the start edge is kept).
  void FastSend(bool& lineOk, bool& fileOk, bool& trailerDone);
  void SendBinary(bool& lineOk, bool& fileOk, bool& trailerDone);

 protected:
  void Execute() override;

  // The slots the variants replace.
  virtual void AfterSend(bool isTool, bool& ok);
  virtual void OnStart() {}
  // The end of the thread, after "Kjører ikke" and before the log and the
  // line are closed (CloseLog also runs when a log write fails, mid-run).
  virtual void OnThreadEnd() {}
  virtual void OnIdle(bool /*busy*/) {}
  virtual void OnCycle() {}
  virtual void OnSendOrder();
  virtual void OnFetchOrder() {}
  virtual void Receive(bool& stored, bool& receiptIsError);
  virtual void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt);
  // The Status cell as a send starts.
  virtual void ShowSendStart(const std::string& kind);
  // What a send of text puts on the line: start codes, the program, end
  // codes and trailer. AbortText is the Melding should the line cut it short.
  virtual void SendText(bool isTool, bool program, bool& lineOk, bool& fileOk, bool& stopSent,
                        bool& trailerDone, std::string& abortText);

  void OpenLine();
  // One turn of the main loop.
  void RunCycle(int& receiptPending);

  // The steps of a send the variants share.
  // The next character of the program being sent: false at its end or when
  // the driver is told to end; FileOk turns false only when a read failed.
  bool TakeSendChar(char& ch, bool& fileOk);
  void SendTrailer(bool& lineOk, bool allowed, bool& trailerDone);
  // A line that failed within the last characters of the file took the
  // whole program (LineOk becomes true).
  void CheckSendEnd(bool& lineOk, bool fileOk);
  // The end of a send: the file closed, the outcome reported and, for a
  // send that went out whole, the after-send step. StopSent: the program's
  // stop code went out (a control that ends the send then has it whole);
  // AbortText is the Melding of a send the line cut short.
  void FinishSend(bool lineOk, bool fileOk, bool stopSent, bool isTool, bool program,
                  const std::string& abortText);

 private:
  void ReceiveFramed(StandardFramer& framer, bool& storeOk);
  void ConcludeReception(bool complete, bool storeOk, bool& stored, bool& receiptIsError);
  void TakeOrders(int& receiptPending);
  void StartSendChoice(int& receiptPending);
  bool Busy() const { return Com.StartSeen || Com.HasUnread; }
  void SendEndCodes(bool& lineOk, bool oneCharStoppTegnOnly);
  void ProgramBody(bool& lineOk, bool& fileOk, bool& stopSent);
};

}  // namespace zova
