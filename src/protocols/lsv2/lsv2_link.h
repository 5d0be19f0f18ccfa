#pragma once
// The LSV2 link as decisions: the driver reads one character the way
// NextRead (or the step) says, hands it over (or reports that nothing came)
// and carries out the step: write its bytes, log its marker, run the
// collision receive. No machine reads, writes, waits or watches the
// driver's termination; the driver stops between steps.
//
//   LsvConnect:   ENQ -> DLE "0"
//   LsvSendFrame: frame -> DLE "1" -> EOT
//   LsvReceive:   ENQ -> DLE "0" -> frame -> DLE "1" ... -> EOT

#include <string>
#include <string_view>

#include "protocols/lsv2/lsv2_framer.h"

namespace zova::lsv2 {

// How the next character is read: one TimeMultiplier wait (a single read),
// the port's full character timeout, or no wait at all (PollChar).
enum class ReadMode { kSingle, kFull, kPoll };

inline constexpr int kConnectAttempts = 4;
inline constexpr int kCollisionAttempts = 10;
inline constexpr int kFrameCounts = 4;
inline constexpr int kBlockAttempts = 4;

// LsvConnect: ENQ until the control answers DLE "0".
class Connect {
 public:
  struct Step {
    std::string write;
    ReadMode read = ReadMode::kFull;
    // The control sent ENQ too: the driver runs TakeCollisionTelegram,
    // then AfterCollision.
    bool collision = false;
    bool done = false, ok = false;
  };
  Step Begin();
  Step OnChar(char ch);
  Step OnNothing();
  Step AfterCollision() { return NextAttempt(""); }
  int Attempt() const { return attempt_; }
  int Limit() const { return limit_; }

 private:
  Step NextAttempt(std::string write);
  int attempt_ = 0;
  int limit_ = kConnectAttempts;
  bool digit_ = false;  // DLE came: its digit is read next
};

// LsvSendFrame: one frame until the control acknowledges it.
class FrameSender {
 public:
  struct Step {
    std::string write;
    ReadMode read = ReadMode::kFull;
    bool done = false, ok = false;
  };
  explicit FrameSender(std::string frame) : frame_(std::move(frame)) {}
  Step Begin();
  Step OnChar(char ch);
  Step OnNothing();
  int Count() const { return count_; }

 private:
  Step Again(bool resend);
  std::string frame_;
  int count_ = 0;
  bool digit_ = false;      // DLE came: its digit is read next
  bool sawAnswer_ = false;  // something came that was no acknowledgement
};

// What a receive accepts. The Heidenhain file transfer sends one block per
// telegram and nothing near this long: a longer burst is noise.
struct ReceiveLimits {
  bool singleBlock = false;  // the first block ends the telegram
  size_t maxBlock = 0;       // more raw bytes in a block are garbage; 0: no limit
};

// LsvReceive: one telegram of one or more blocks.
class Receiver {
 public:
  struct Step {
    std::string write;
    std::string marker;  // LogMarker without time
    // A character read after the last block that was no EOT: the driver
    // pushes it back (UnreadChar), so that an ENQ the control sent at once
    // is not lost.
    bool unread = false;
    char unreadChar = 0;
    bool done = false, ok = false;
  };
  // EnqSeen: the caller has already read the control's ENQ and answered it.
  explicit Receiver(bool enqSeen, ReceiveLimits limits = {});
  ReadMode NextRead() const;
  Step OnChar(char ch);
  Step OnNothing();
  // Bytes of a run, one at a time, up to the first step with something to
  // do; Used says how many were taken.
  Step Feed(std::string_view run, size_t& used);
  const std::string& Telegram() const { return telegram_; }

  // After done: the LogMarker (with time) and the message when more than
  // one attempt was needed; both empty otherwise.
  struct Notice {
    std::string marker, message;
  };
  Notice RetryNotice() const;

 private:
  enum class State { kAwaitEnq, kBlock, kDrain, kAwaitEot, kDone };
  Step CollectBlock(char ch);
  Step BlockFailed(bool answered);
  Step Restart();
  Step Finish(Step step);
  void StartBlock();

  State state_;
  ReceiveLimits limits_;
  BlockCollector block_;
  std::string telegram_;
  int blocks_ = 0;      // accepted blocks of this telegram
  int failures_ = 0;    // failed attempts of the current block
  int maxAttempt_ = 0;  // highest attempt any block needed
  bool garbageRestart_ = false;
  char lastDropped_ = 0;
  size_t dropped_ = 0;
};

}  // namespace zova::lsv2
