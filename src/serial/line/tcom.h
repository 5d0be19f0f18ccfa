#pragma once
// The driver layer that owns the serial lines of a machine. Every operation
// takes the port record it works on, so a driver with two lines holds two
// records. The decisions (valid characters, output shaping, block-wise
// answers, start edges) are pure functions in line_checks.h and
// write_rules.h; this layer only does the I/O around them.
//
// Waiting goes through the station's Clock, except the device timeouts,
// which are the line's own real time.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/config.h"
#include "files/transfer/tfile.h"
#include "serial/line/com_port.h"
#include "serial/line/line_checks.h"

namespace zova {

inline constexpr char kXon = 17;
inline constexpr char kXoff = 19;

class TCom : public TFile {
 public:
  TCom(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // Opening and closing.
  void OpenPort(const std::string& portName, std::string_view extraValidChars, bool& ok,
                bool xonStartDefault, TComPort& rec);
  // "Kan ikke åpne " + port in the Status column and a 5 s pause.
  void ReportOpenFailure(bool ok, const std::string& portName);
  void ClosePort(TComPort& rec);
  void PurgePort(TComPort& rec);
  void PurgeOutput(TComPort& rec);

  // Reading. Ok false: nothing read (a timeout, an error, or an XON taken as
  // the start signal).
  void ReadChar(TComPort& rec, bool idle, bool& ok, char& ch) {
    ReadCharWithin(rec, idle, ReadTimeout(rec), ok, ch);
  }
  // The reading calls are inline down to the device's buffer: a reception
  // makes them for every byte.
  void ReadCheckedChar(TComPort& rec, bool check, bool& ok, char& ch, bool idle) {
    ReadCharWithin(rec, idle, ReadTimeout(rec), ok, ch);
    if (ok && InvalidCharStopsSender(rec, check, TransferError, static_cast<uint8_t>(ch)))
      StopSender(rec, false, ch);
  }
  void PollChar(TComPort& rec, bool& ok, char& ch);
  // A reception's read. What the line already holds goes to Take decoded, as
  // one run of at most MaxRun characters; Take(const char*, size_t) returns
  // how many of them it used (at least one). Only those are taken from the
  // line (logged, echoed and counted, once for the run); the rest stay for
  // the next read. A character that needs the line layer on its own (an
  // invalid one, an XON that starts a send, a pushed-back one, anything on a
  // raw line), or none held yet, is read as ReadCheckedChar reads it, waiting
  // as Idle says, and leads the run. False: nothing was read (a quiet line, a
  // read error, an XON taken as the start signal).
  template <typename Take>
  bool ReadRun(TComPort& rec, bool check, bool idle, size_t maxRun, Take&& take) {
    char run[kMaxRun];
    if (const size_t n = maxRun > 1 ? PeekRun(rec, run, std::min(maxRun, kMaxRun)) : 0) {
      const size_t used = take(static_cast<const char*>(run), n);
      TakeRun(rec, run, std::min(used, n));
      return true;
    }
    bool ok = false;
    ReadCheckedChar(rec, check, ok, run[0], idle);
    if (!ok) return false;
    // The wait brought whatever the line held by then: it goes with this one.
    const size_t n = 1 + (maxRun > 1 ? PeekRun(rec, run + 1, std::min(maxRun, kMaxRun) - 1) : 0);
    const size_t used = std::min(take(static_cast<const char*>(run), n), n);
    if (used > 1) TakeRun(rec, run + 1, used - 1);
    return true;
  }
  static constexpr size_t kMaxRun = 4096;
  static void UnreadChar(TComPort& rec, char ch);
  static bool HasUnreadChar(const TComPort& rec) { return rec.HasUnread; }
  // DTR/DSR flow is done here, by looking at DSR before each byte, and only
  // where the device reports its modem lines: on a pseudo-terminal or a TCP
  // port nothing could hold the output, and the bytes go in runs.
  static bool WatchesDsr(TComPort& rec);

  // Writing. Ok false after the tries are spent (or the send was stopped by
  // the control's block-wise answer).
  void WriteRawChar(TComPort& rec, bool noRetry, bool& ok, char ch);
  void WriteBlockChar(TComPort& rec, bool noRetry, bool& ok, char ch);
  void WriteChar(TComPort& rec, bool noRetry, bool& ok, char ch);
  void WriteString(TComPort& rec, const std::string& text, bool& ok, bool noRetry = false);
  // WriteChar for each of Data, handed to the kernel in one write where no
  // character needs the station between two others (RunWriteAllowed), else
  // one by one. Sent is how many of Data went out whole.
  void WriteChars(TComPort& rec, std::string_view data, bool noRetry, bool& ok, size_t& sent);
  void WriteStringWaitContinue(TComPort& rec, const std::string& text, bool& ok,
                               const CharSet& continueSet);
  void WriteUntilAnswer(TComPort& rec, const std::string& text, bool& ok, bool& answered, char& ch,
                        const CharSet& answerSet);
  // Raw bytes, no code conversion; Written is how many went out.
  void WriteBuffer(TComPort& rec, int length, bool& ok, const char* data, int& written);
  void BufferedWrite(TComPort& rec, bool flush, bool& ok, char ch, bool noRetry);
  void FlushOutput(TComPort& rec, bool& ok);

  // Start of a send and the handshake switch.
  void WaitForStart(TComPort& rec, int seconds, bool noWait);
  bool StartRequested(TComPort& rec);
  bool RemoteReady(TComPort& rec, bool wantOn);
  bool PollRemoteStart(TComPort& rec);
  void SwitchToSoftware(TComPort& rec, bool sendXon, bool clearHardwareFlow);
  void SwitchToHardware(TComPort& rec);
  void EndSend(TComPort& rec, bool keep);
  static void SetRemoveNull(TComPort& rec, bool on);

  // Faults on the line.
  void CheckComError(TComPort& rec, bool markFailed);
  void StopSender(TComPort& rec, bool tvFault, char ch);

  // Printing (unit-wide printer settings from [Program]).
  void PrintFile(int machine, const std::string& fileName, const std::string& title, bool& ok);
  void PrintText(int machine, const std::string& text, const std::string& title, bool& ok);
  void PrintLabel(const std::string& text, bool& ok);

 protected:
  void Pause(int64_t ms) { TheClock().Sleep(ms, TerminateFlag()); }

 private:
  // Up to Max bytes the device already holds, decoded into Out without being
  // taken, up to the first that needs the line layer on its own.
  size_t PeekRun(const TComPort& rec, char* out, size_t max) const;
  // Takes the first N of them as ReadCheckedChar would have, one by one.
  void TakeRun(TComPort& rec, const char* chars, size_t n);
  static int ReadTimeout(const TComPort& rec) {
    return rec.ReadsReturnAtOnce ? 0 : rec.TimeMultiplier;
  }
  [[gnu::always_inline]] void ReadCharWithin(TComPort& rec, bool idle, int timeoutMs, bool& ok,
                                             char& ch) {
    uint8_t b = 0;
    if (!rec.HasUnread && rec.Handle && rec.Handle->TakeBuffered(b))
      TakeByte(rec, b, ok, ch);
    else
      ReadCharWaiting(rec, idle, timeoutMs, ok, ch);
  }
  // A pushed-back character, or a byte the device has to wait for.
  void ReadCharWaiting(TComPort& rec, bool idle, int timeoutMs, bool& ok, char& ch);
  // The device wait with its retries, idle work and error reports.
  bool WaitForByte(TComPort& rec, bool idle, int timeoutMs, uint8_t& b);
  void TakeByte(TComPort& rec, uint8_t b, bool& ok, char& ch) {
    ch = rec.Raw ? static_cast<char>(b) : zova::DecodeChar(rec.Code, static_cast<char>(b));
    LogByte(kMarkReceived, static_cast<uint8_t>(ch));
    ++rec.CharCount;
    Echo(rec, true, &ch, 1);
    ok = !(rec.XonXoff && rec.XonStart && !rec.Raw && ch == kXon);
    if (!ok) TakeStartSignal(rec);
  }
  // The control's "send now": an XON taken as the start signal, not as data.
  void TakeStartSignal(TComPort& rec);
  void IdleTimeout(TComPort& rec);
  void ReportReadError(TComPort& rec, bool idle, int err);
  // Inline: it runs for every byte, and mostly the console is not fed.
  void Echo(const TComPort& rec, bool received, const char* data, size_t n) {
    if (rec.Raw)
      EchoHex(rec, received, data, n);
    else
      ConsoleWrite(!rec.Visible, received, static_cast<int>(rec.CharCount),
                   std::string_view(data, n));
  }
  void EchoHex(const TComPort& rec, bool received, const char* data, size_t n);
  void AfterWrite(const TComPort& rec);
  // Characters that went out: the byte log, the count and the console.
  void NoteSent(TComPort& rec, const char* chars, size_t n);
  bool HeldByDsr(TComPort& rec);
  // The one retrying write every send path goes through. Each try writes
  // the rest and may take TimeMultiplier (OneCharacter) or TimeMultiplier
  // for every byte of the rest (WholeRest, within reason). A try that moves
  // anything counts the tries again from there; one that fails with an
  // error rather than a timeout waits TimeMultiplier first, so a dead line
  // does not spend its tries at once; a control that holds DSR low with
  // DTR/DSR flow on costs a try and TimeMultiplier. No try after the first
  // once the driver is told to end. Returns how many bytes went out; the
  // caller logs, echoes and counts them.
  enum class TryTime { OneCharacter, WholeRest };
  size_t WriteRetrying(TComPort& rec, const uint8_t* data, size_t len, int tries, TryTime time);
  bool ApplySettings(TComPort& rec, const LineSettings& s);
  bool BlockwiseAnswered(TComPort& rec, bool& ok);
};

}  // namespace zova
