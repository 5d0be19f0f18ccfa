#pragma once
// The driver layer that owns the file side of one transfer: the temporary
// receive file and its head, what a reception is (program, request, listing,
// print, tool data, macro), the file or text that goes out and the character
// rules on its way, the stop-sequence matcher and the line code tables.
//
// Contracts for the serial layer: no operation blocks on the line; Ok false
// means the file operation failed and the reason is already in Melding where
// the operator must see it. Every operation is called from the driver's own
// thread only.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/config/config.h"
#include "files/namesearch/search_config.h"
#include "files/storage/macro.h"
#include "files/storage/tfiledef.h"
#include "files/transfer/char_codes.h"
#include "files/transfer/line_end_state.h"
#include "files/transfer/send_filter.h"
#include "files/transfer/stop_matcher.h"

namespace zova {

class TFile : public TFileDef {
 public:
  static constexpr int kBlockSize = 1024;

  TFile(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);
  ~TFile() override;

  // ---- Receive side ----

  // Creates TempName (temporary base + "RX"); when that fails, "RX0" .. "RX8"
  // are tried. On total failure Ok is false and TempName is the first name.
  void OpenReceiveFile(bool& ok);
  // One received character after FjernTegn, advancing the line-end state.
  // Inline, with AddToHead and MatchStop: a reception calls them for every
  // byte.
  void StoreChar(char ch, bool& ok) {
    if (FjernTegn[static_cast<unsigned char>(ch)]) {
      ok = true;
      return;
    }
    LineEnd.Advance(ch);
    ok = file_ && writing_ && putc_unlocked(ch, file_) != EOF;
  }
  // StoreChar for each of N characters, written in one go.
  void StoreChars(const char* data, size_t n, bool& ok);
  // Without the FjernTegn filter; the text counts as CR LF text (state 3).
  void StoreRawByte(uint8_t b, bool& ok);
  void StoreString(const std::string& text, bool& ok);
  // Text and CR LF.
  void StoreLine(const std::string& text, bool& ok);
  // Collects the head; classifies the reception once the head is full.
  void AddToHead(char ch) {
    if (!HeadFull()) GrowHead(ch);
  }
  bool HeadFull() const { return Head.size() >= HeadLimit(); }
  void AddLineToHead(const std::string& text);
  // Once per reception, while TransferName is empty.
  void ClassifyReception();
  // Ends a reception. TooShort: CharCount <= Noise (line noise, not stored).
  // With Store a program is stored and tool data saved; Ok false when the
  // file could not be closed or the store failed.
  void CloseReceiveFile(bool store, int charCount, bool& tooShort, bool& ok);
  // Closes the transfer file (either direction).
  void CloseFile(bool& ok);
  // Closes the receive file and stores it as a program under TransferName
  // without classification (system files and the line drivers' own names).
  void CloseAndStore(bool& ok);

  // ---- Send side ----

  // Opens what is to be sent: a receipt text (IsReceipt; FeilMelding when
  // ErrorReceipt), the tool file (IsTool), a directory listing (IsDirectory)
  // or the program in the Filnavn cell. Kind is the word the driver shows:
  // "kvitterings", "verktøy" (Latin-1), "katalog", "binær" (Latin-1, Raw) or
  // empty. Message: what went wrong when Ok is false (also in Melding).
  void PrepareSend(bool isTool, bool isDirectory, bool& ok, bool& raw, std::string& message,
                   std::string& kind, bool allowAlt, bool errorReceipt, bool isReceipt);
  // Finds and opens the program named in the Filnavn cell. Raw: a system
  // file, sent without code conversion or character rules.
  void OpenSendFile(bool allowAlt, bool& raw, bool& ok);
  // Writes Text to temporary base + "Tom" and opens it for sending.
  void OpenTextAsSendFile(const std::string& text, bool& ok);
  // Opens Path, a file the driver prepared, as it is for sending.
  void OpenPreparedSendFile(const std::string& path, bool& ok);
  // True while unread bytes remain; a SUB ends the file unless SubOK.
  bool MoreToSend();
  // The next character after the machine's character rules; Ok false at the
  // end of the file (or a SUB) and on a read error.
  void NextSendChar(char& ch, bool& ok);
  // The next byte as it is (binary sends); Ok false at the end.
  void ReadFileChar(char& ch, bool& ok);
  // Up to kBlockSize raw bytes into Buffer (which holds at least that many);
  // Count 0 and Ok false at the end.
  void ReadBlock(char* buffer, int& count, bool& ok);
  // One raw line without its line end (CR LF, LF or CR); FjernSpace applied.
  // Ok false at the end of the file with nothing read.
  void ReadFileLine(std::string& line, bool& ok);
  // The next non-empty line through the character rules (NextSendChar).
  void NextSendLine(std::string& line, bool& ok);
  // Reads up to Count characters through the character rules; True when the
  // file is at its end afterwards.
  bool SkipSendChars(int count, bool& ok);
  // File size - position + buffered rest + 1 (0 when no file is open).
  int64_t BytesLeft();
  // Gives one character back; the next read returns it first.
  void PushBackChar(char ch);

  // ---- Transfer state ----

  // TransferName := Name (the directory prefixed unless FastKatalog), shown
  // in the Filnavn cell.
  void SetFileName(const std::string& name);
  // Clears the head, TransferName, the classification and TransferError.
  void ResetTransfer();

  // The StoppFeil matcher.
  void ResetStopMatcher(const std::string& sequence);
  void MatchStop(char ch, bool& found) { found = !stop_.Empty() && stop_.Match(ch); }
  bool MatchingStop() const { return !stop_.Empty(); }

  // The line code tables (see char_codes.h).
  static int CodeFromName(std::string_view text) { return zova::CodeFromName(text); }
  static void DecodeChar(int code, char& ch) { ch = zova::DecodeChar(code, ch); }
  static void EncodeChar(int code, char& ch) { ch = zova::EncodeChar(code, ch); }
  static void DecodeBuffer(int code, char* data, size_t n) { zova::DecodeBuffer(code, data, n); }
  static void EncodeBuffer(int code, char* data, size_t n) { zova::EncodeBuffer(code, data, n); }

  // ---- Configuration (read once) ----

  NameSearchConfig Search;  // the markers, brackets and name-search options
  std::string ToolLagre;
  std::string StartNavn;
  std::string IgnorerFilNavn;
  std::string IngenFil, FeilFil;
  std::string Utvid;
  std::string Kvittering = "\r%\r(FIL LAGRET)\r%\r";
  std::string FeilMelding;
  std::string ByttFra, ByttTil;
  CharSet KatalogTegn, FilNavnTegn, FjernLinje, FjernTegn;
  int MaxHent = 100, MaxHent2 = 100;
  int Noise = 5;
  int FilFormat = 0;  // the machine's file format (conversion) number
  int ToolProtokoll = 0;
  bool FastKatalog = true;
  bool UtKatalog = false, InnKatalog = false;
  bool OrigToolNavn = true;
  bool BrukHenteProgram = true;
  bool StoreBokstaver = false;
  bool FjernSpace = false;
  bool SubOK = false;

  // ---- Transfer state (per transfer) ----

  std::string TransferPath;
  // What the last PrepareSend opened or, when nothing was there, the full
  // path it looked for: the operator is told which file could not be opened.
  std::string SendPath;
  std::string Head;
  LineEndState LineEnd;
  bool UseFirstSet = true;
  bool IsProgram = false, IsExtend = false, IsToolName = false, IsToolData = false;
  bool IsDirectory = false, IsPrint = false, IsMacro = false;
  bool IsRequest = false;  // a fetch request: TransferName is what to send
  bool Classified = false;
  std::string ToolDataName;  // the name received tool data is saved under
  int LastCharCount = 0;     // the character count of the last reception ("#B")

  // Temporary base: the machine's temporary directory + "Maskin" + N + ".".
  std::string TempBase() const { return LogBase; }
  size_t HeadLimit() const { return static_cast<size_t>(std::max({MaxHent, MaxHent2, 0})); }
  // Where received tool data is saved: the register itself for the ORIGINAL
  // format when ToolReg names a file, else a tool file beside the register.
  std::string ToolDataTarget() const;

 protected:
  // Opens Path as it is for sending (no conversion, no search).
  bool OpenForSend(const std::string& path, bool& ok);
  // A name from a control is kept only inside the machine's directories:
  // false (with the reason in Melding and the event log) when it reaches
  // outside them. A leading "..\" part is resolved into Name.
  bool GuardName(std::string& name, bool forProgram);
  // The tool layer's file for a send of tool data; tests replace it.
  virtual bool BuildToolFile(const std::string& target, std::string& path, std::string& error);
  // Saves received tool data; Name is what the event log shows.
  virtual bool SaveToolData(std::string& name);
  // The event record of a macro (the status record file of this machine).
  virtual void WriteMacroRecord(int number, const std::string& parameter, bool& ok);

 private:
  void ReadTransferKeys();
  bool ClassifyMacro();
  bool ClassifyToolName();
  bool ClassifyDirectory();
  bool ClassifyPrint();
  void ClassifyFetchOrProgram();
  void ClassifyToolData();
  std::string NameFromResult(const NameResult& r);
  std::string MachineDir() const { return UseFirstSet ? DataDir : Katalog2; }
  bool BuildListing(std::string& path, std::string& error);
  // Melding for a problem met while preparing a send; kept so that the send
  // can show it again when it ends.
  void NoteForSend(const std::string& text);
  bool FillBuffer();
  bool NextByte(char& ch);
  void StoreRaw(const char* data, size_t n, bool& ok);
  void GrowHead(char ch);
  void CloseHandle();

  std::FILE* file_ = nullptr;
  std::string sendNote_;  // see NoteForSend
  bool writing_ = false;
  std::unique_ptr<char[]> writeBuf_;  // the receive file's; outlives file_
  char buf_[kBlockSize];
  size_t pos_ = 0, fill_ = 0;
  bool atEnd_ = false;
  bool havePushed_ = false;
  char pushed_ = 0;
  SendFilter filter_{SendRules{}};
  StopMatcher stop_;
  MacroMarkers macro_;
};

}  // namespace zova
