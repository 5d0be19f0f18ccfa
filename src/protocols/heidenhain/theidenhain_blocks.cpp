// The Heidenhain driver's block operations: a block received and answered,
// a block sent and its answer awaited, the end of a program.

#include "core/latin1.h"
#include "protocols/heidenhain/theidenhain.h"

namespace zova {

using namespace heidenhain;

namespace {

CharSet Chars(std::initializer_list<char> chars) {
  CharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

const CharSet kAnswers = Chars({kSoh, kEtx, kEot, kAck, kCr, kXoff, kNak, kEsc});
const CharSet kFlow = Chars({kXon, kXoff});

// An acknowledgement still missing after this many reads is shown.
constexpr int kReadsBeforeNotice = 10;

}  // namespace

void THeidenHain::ReadHhChar(bool singleRead, bool keepXoff, bool& ok, char& ch) {
  do {
    ReadChar(Com, singleRead, ok, ch);
  } while (ok && !Terminated() && (ch == kXon || (ch == kXoff && !keepXoff)));
  ok = ok && ch != kXon && (keepXoff || ch != kXoff);
}

std::string THeidenHain::HhFrame(std::string_view line) const {
  return EncodeBlock(line, LinjeSjekk);
}

void THeidenHain::WriteControlChar(char ch) {
  bool ok = true;
  WriteRawChar(Com, false, ok, ch);
}

THeidenHain::Outcome THeidenHain::ReceiveHhBlock(std::string_view seed, std::string& text) {
  reader_.Start(seed);
  auto take = [&](const char* data, size_t n) { return reader_.Feed({data, n}); };
  while (!reader_.Decided() && !Terminated()) {
    if (reader_.AwaitingEndFollower()) {
      // One byte may still belong to the end; anything else is read again.
      char ch = 0;
      bool ok = false;
      ReadHhChar(true, false, ok, ch);
      if (!ok)
        reader_.Quiet();
      else if (reader_.Feed(std::string_view(&ch, 1)) == 0)
        UnreadChar(Com, ch);
    } else if (!ReadRun(Com, false, false, kMaxRun, take)) {
      reader_.Quiet();
    }
  }
  if (!reader_.Decided()) reader_.Quiet();
  text = reader_.Text();
  switch (reader_.Result()) {
    case Outcome::Accepted:
      WriteControlChar(kAck);
      LogNewLine();
      break;
    case Outcome::Refused:
      WriteControlChar(kNak);
      break;
    default:
      break;
  }
  return reader_.Result();
}

THeidenHain::Outcome THeidenHain::ReceiveHhBlockRetry(bool programData, std::string_view seed,
                                                      std::string& text) {
  const int tries = MaxBlockTries(Maaling, programData);
  Outcome o = Outcome::TimedOut;
  // A repeated block comes whole, with its own first byte.
  for (int t = 0; t < tries && !Terminated(); ++t) {
    o = ReceiveHhBlock(t == 0 ? seed : std::string_view(), text);
    if (o != Outcome::Refused) break;
  }
  if (o == Outcome::Accepted) text = std::string(StripOneTrailingBlank(text));
  return o;
}

void THeidenHain::WriteFrame(const std::string& frame, bool& ok) {
  // The frame goes to the kernel in one write where the line allows it; the
  // rest of one the control held up waits for its XON.
  size_t sent = 0;
  ok = false;
  if (frame.find_first_of("\r\n") == std::string::npos) WriteChars(Com, frame, false, ok, sent);
  if (!ok && !Terminated()) WriteStringWaitContinue(Com, frame.substr(sent), ok, kFlow);
}

char THeidenHain::SendHhBlock(const std::string& frame, bool interruptible, bool lastLine) {
  bool ok = true;
  if (interruptible) {
    bool answered = false;
    char ch = 0;
    WriteUntilAnswer(Com, frame, ok, answered, ch, kAnswers);
    if (answered) return ch;
  } else {
    WriteFrame(frame, ok);
  }
  if (!ok) {
    SetCell(kColMelding, "Linjesending feilet");
    return 0;
  }
  EndSend(Com, true);
  bool waited = false;
  for (int reads = 1; !Terminated(); ++reads) {
    char ch = 0;
    bool got = false;
    // The last line's answer may not come at all: one read of the whole
    // character timeout decides.
    ReadHhChar(!lastLine, XoffBrudd, got, ch);
    if (got && kAnswers.test(static_cast<unsigned char>(ch))) {
      if (waited) SetCell(kColMelding, "");
      return ch;
    }
    if (lastLine) break;
    if (reads == kReadsBeforeNotice) {
      FlushConsole();
      SetCell(kColMelding, L1("Venter på ACK"));
      waited = true;
    }
  }
  if (waited) SetCell(kColMelding, "");
  return 0;
}

char THeidenHain::SendHhBlockRetry(std::string_view line, bool interruptible, bool lastLine) {
  const std::string frame = HhFrame(line);
  char answer = 0;
  for (int t = 0; t < MaxBlockTries(false, false) && !Terminated(); ++t) {
    answer = SendHhBlock(frame, interruptible, lastLine);
    if (answer != kNak) break;
  }
  return answer;
}

char THeidenHain::SendHhEnd(bool& ok) {
  WriteControlChar(kEtx);
  FlushConsole();
  char ch = 0;
  bool got = false;
  ReadHhChar(true, false, got, ch);
  if (!got) ch = 0;
  ok = EndSjekk || ch == kEot || ch == kSoh;
  return ch;
}

}  // namespace zova
