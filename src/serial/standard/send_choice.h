#pragma once
// The standard driver's small decisions, kept out of its loops: which send a
// start signal gets, how long a receipt waits, when a reception is complete
// and when the NUL trailer goes out.

#include <cstdint>
#include <string>
#include <string_view>

namespace zova {

enum class SendChoice { Receipt, Directory, Program, Tool };

struct SendChoiceInput {
  bool receiptPending = false;
  bool listingConfigured = false;  // a DirFilType is set
  std::string fileCell;            // the Filnavn cell, upper-cased
  int toolFormat = 0;              // ToolProtokoll; 0 none
  bool autoToolLoad = false;
  std::string lastAutoToolFile;  // upper-cased; empty when none was loaded
};

SendChoice ChooseSend(const SendChoiceInput& in);

// A name with one of the tool data extensions (mill, turn, tool).
bool IsToolFileName(std::string_view upperName);

// KvitteringsTid seconds as idle read cycles of TimeMultiplier ms, one more
// when an automatic send waits VenteTid first.
int ReceiptCycles(int kvitteringsTid, int timeMultiplier, int venteTid);

// The reception ended with its stop code, its StoppFeil sequence, or (with
// no stop code configured) anything after the start code.
bool ReceptionComplete(bool stopSeen, bool stopSequenceMatched, bool stoppKodeEmpty, bool started);

// The NUL trailer follows a program unless an end-of-transmission sequence
// closes it, which it may only precede when the stop code ends differently.
bool SendsTrailer(std::string_view stoppTegn, bool startStoppKodeUt, std::string_view stoppKode);

// A send cut short still counts as good when the control stopped within the
// last 5 characters of the file. Unsent is how many characters had been read
// from the file without going out (the refused one and any read with it in
// the same write); the result is how many more may be read before the file
// must be at its end, or -1 when too many are missing already.
int EndCheckReads(int64_t unsent);

// The operator's file name asks for a system file: SysExt stands in it after
// its first character.
bool IsSystemFileName(std::string_view upperName, std::string_view sysExt);

}  // namespace zova
