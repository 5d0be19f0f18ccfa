#pragma once
// The 3964R procedure as decisions: the driver reads a character (or finds
// that the read timed out), hands it to the machine and does what the step
// says: write its bytes, flush the console, end the log line, run the
// unsolicited receive. No machine reads, writes or waits itself, and none
// watches the driver's termination: the driver stops between steps.
//
//   send:    STX -> (DLE) block -> (DLE) done; NAK after the block: next pass
//   receive: (STX) -> DLE -> block -> BCC -> DLE or NAK

#include <string>
#include <string_view>

#include "protocols/t3964r/r3964_framer.h"

namespace zova::r3964 {

inline constexpr int kStartAttempts = 3;

// Melding texts of the layer: a refused block, and a telegram the partner
// sent on its own initiative (HandleUnsolicited's default) or that failed.
inline constexpr std::string_view kRetransmitText = "Retransmitterer";
inline constexpr std::string_view kUnsolicitedFailedText = "Egenmelding feilet";
// "Egenmelding: " and the telegram in bracket notation.
std::string UnsolicitedMessage(std::string_view telegram);
inline constexpr int kPasses = 5;

// StartSend: up to three STX, each waiting for the partner's DLE.
class StartSend {
 public:
  enum class Action {
    kWriteStx,            // (again) send STX, then read
    kWait,                // the character was skipped: read again
    kConnected,           // DLE: the block may go
    kReceiveUnsolicited,  // collision: push the STX back, receive the
                          // partner's telegram, then AfterUnsolicited
    kFailed,              // the attempts are spent
  };
  explicit StartSend(bool highPriority) : highPriority_(highPriority) {}
  Action Begin();
  Action OnChar(char ch);
  // A read timed out (the driver flushes the console first) or the STX
  // could not be written.
  Action OnTimeout() { return NextAttempt(); }
  Action AfterUnsolicited() { return NextAttempt(); }
  int Attempt() const { return attempt_; }

 private:
  Action NextAttempt();
  bool highPriority_;
  int attempt_ = 0;
};

// What ended the wait after a block was written.
enum class BlockAnswer { kAccepted, kRejected, kOther, kTimedOut, kWriteFailed };
BlockAnswer ClassifyBlockAnswer(char ch);

// SendTelegram: one machine over passes, StartSend and the block. The
// driver writes Write, and when Unsolicited is set it runs the receive of
// the partner's telegram (TelegramReceiver fed the STX first) and calls
// AfterUnsolicited.
class TelegramSender {
 public:
  struct Step {
    std::string write;
    bool flushConsole = false;  // after a timed-out read in StartSend
    bool passEnded = false;     // LogNewLine
    bool unsolicited = false;
    bool done = false;
    bool ok = false;  // with done: the block was answered with DLE
  };
  TelegramSender(std::string_view telegram, bool highPriority);
  // A telegram BuildBlock refuses is never started: Begin ends at once.
  BlockError Error() const { return block_.error; }
  Step Begin();
  Step OnChar(char ch);
  Step OnTimeout();
  Step OnWriteFailed();
  Step AfterUnsolicited();
  int Pass() const { return pass_; }

 private:
  Step StartResult(StartSend::Action action);
  Step EndPass(bool repeat);
  Step Finish(bool ok);

  Block block_;
  bool highPriority_;
  StartSend start_;
  bool blockSent_ = false;
  int pass_ = 0;
};

// ReceiveTelegram: up to five passes, each STX -> DLE -> block -> DLE/NAK.
class TelegramReceiver {
 public:
  struct Step {
    size_t used = 0;  // bytes of the run taken
    std::string write;
    bool retransmit = false;  // post "Retransmitterer" (before the NAK)
    bool passEnded = false;   // LogNewLine
    bool done = false;
    bool ok = false;  // with done: Telegram() holds the telegram
  };
  // Bytes as they come; stops after a decision, which the driver carries
  // out before it feeds the rest of the run.
  Step Feed(std::string_view run);
  // A read timed out.
  Step OnTimeout();
  // Undoubled, with its DLE ETX.
  const std::string& Telegram() const { return telegram_; }
  int Pass() const { return pass_; }

 private:
  Step BlockDecided();
  Step Fail(size_t used);

  bool awaitingStx_ = true;
  int pass_ = 0;
  BlockCollector block_;
  std::string telegram_;
  bool done_ = false;
};

}  // namespace zova::r3964
