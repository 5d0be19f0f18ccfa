#pragma once
// The driver of a Heidenhain control that uses the station as its external
// storage unit: the control announces a program to store or asks for one by
// a header block, moves it as blocks with a block check, each answered with
// ACK or NAK, and gives file commands (delete, rename, make a directory, list
// a directory). Plain text that arrives without the block protocol is taken
// line by line as TLinje takes it. The operator's sends go out only in the
// magnetic-tape-unit mode (MEModus); without handshake a send order resets
// the control's dialogue instead.

#include <string>
#include <string_view>

#include "protocols/heidenhain/heidenhain_framer.h"
#include "protocols/heidenhain/tlinje.h"

namespace zova {

class THeidenHain : public TLinje {
 public:
  THeidenHain(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  using Outcome = heidenhain::BlockReader::Outcome;

  // Configuration (read once; XonXoff at each send).
  bool XoffBrudd = true;
  bool StartSjekk = true;
  bool EndSjekk = false;
  bool LinjeSjekk = false;
  bool Melding = false;
  bool MEModus = false;
  bool Maaling = false;
  char DefaultExt = 'H';

  // The type letter of the current transfer.
  char FileType = 'H';
  // The machine's directory; the control's current directory lies below it
  // (CurrentDir, relative, "/"-separated, empty at home).
  std::string HomeDir;
  std::string CurrentDir;
  // The control asked for program "0" and the name came from the Filnavn
  // cell.
  bool ZeroNamed = false;

  // ---- Block operations ----

  // A character, skipping XON always and XOFF unless KeepXoff. SingleRead:
  // one quiet period, else the line's whole character timeout. Ok false:
  // nothing came.
  void ReadHhChar(bool singleRead, bool keepXoff, bool& ok, char& ch);
  std::string HhFrame(std::string_view line) const;
  // One block, answered with ACK or NAK. Seed: what stands before its first
  // byte (the SOH of a header that was read as an answer). Text as
  // BlockReader gives it.
  Outcome ReceiveHhBlock(std::string_view seed, std::string& text);
  // Repeats a refused block (5 times, 3600 for program data with Maaling);
  // an accepted block loses one trailing blank.
  Outcome ReceiveHhBlockRetry(bool programData, std::string_view seed, std::string& text);
  // Writes a frame and waits for the control's answer (SOH, ETX, EOT, ACK,
  // CR, XOFF, NAK or ESC); 0 when none came. Interruptible: an answer that
  // comes while the frame goes out stops it. LastLine: one read only.
  char SendHhBlock(const std::string& frame, bool interruptible, bool lastLine);
  // Frames Line and sends it while the answer is NAK, 5 times at most.
  char SendHhBlockRetry(std::string_view line, bool interruptible, bool lastLine);
  // ETX, and the control's answer; Ok: it was EOT or SOH (or EndSjekk).
  char SendHhEnd(bool& ok);

  // ---- Transfers and commands ----

  // The next line of the file to send. False at the end of the file (or a
  // line of ETX or EOT). StartMissing: StartSjekk found no program start.
  // IsEnd: EndSjekk's last line.
  bool NextProgramLine(bool first, std::string& line, bool& startMissing, bool& isEnd);
  // Sends the program Name; the last answer of the control. Opened: the
  // file could be opened.
  char SendHhProgram(const std::string& name, bool listMode, bool& opened);
  // A header with "E"; the next command.
  std::string ServeHhRead(const std::string& name);
  // A header with "A"; the next command.
  std::string ReceiveHhProgram(const std::string& name);
  // After ESC; the next command.
  std::string ServeHhCommand();
  void RunHhCommand(const std::string& text);

  std::string ExtForType(char type) const;
  void SetNameFromNc(std::string name);
  bool ToolTransfer() const;

 protected:
  void Receive(bool& stored, bool& receiptIsError) override;
  void Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) override;

 private:
  // The commands the control gives until none is pending.
  void ServeCommands(std::string next);
  std::string ServeHeader(const std::string& text);
  void WriteFrame(const std::string& frame, bool& ok);
  void WriteControlChar(char ch);
  // Program lines while the control answers ACK. FileDone: no line is left.
  char SendProgramLines(bool listMode, bool& fileDone, bool& startMissing);
  void FinishHhSend(bool complete, bool startMissing);
  void StoreHhProgram(bool properEnd, bool storeOk, bool tool, bool& stored);
  void ResetControl();

  // Command paths: the current directory, the name and its extension.
  std::string CommandFile(const std::string& name) const;
  std::string CommandDir(const std::string& name) const;
  bool CommandPathAllowed(const std::string& path, const std::string& name);
  void DeleteOrChangeDir(const std::string& name);
  void RenameFile(const std::string& oldName, const std::string& newName);
  void MakeDirectory(const std::string& name);

  heidenhain::BlockReader reader_;
};

}  // namespace zova
