// A program the Mazatrol control asks for: a line each time it says "p4",
// tape marks as section starts, and "pD" to pass over the rest of a section.

#include <deque>

#include "core/latin1.h"
#include "core/paths.h"
#include "files/transfer/reception_names.h"
#include "protocols/mazatrol/mazatrol_framer.h"
#include "protocols/mazatrol/mazatrol_send_lines.h"
#include "protocols/mazatrol/tmazatrol.h"

namespace zova {

using namespace mazatrol;

namespace {

constexpr int kOpenFailedPauseMs = 5000;

bool AllDigits(std::string_view s) {
  return !s.empty() && s.size() <= 18 && s.find_first_not_of("0123456789") == s.npos;
}

// The program's lines as they go out: the file read line by line, through
// SjekkFormat when it is on.
class SendLineSource {
 public:
  SendLineSource(TFile& file, bool sjekkFormat, int linjeLengde)
      : file_(file), sjekkFormat_(sjekkFormat), formatter_(linjeLengde) {}
  bool Next(std::string& line) {
    while (queue_.empty()) {
      if (atEnd_) return false;
      std::string raw;
      bool got = false;
      file_.ReadFileLine(raw, got);
      std::vector<std::string> lines;
      if (!got) {
        atEnd_ = true;
        if (sjekkFormat_) lines = formatter_.Finish();
      } else if (sjekkFormat_) {
        lines = formatter_.Feed(raw);
      } else {
        lines.push_back(std::move(raw));
      }
      for (std::string& l : lines) queue_.push_back(std::move(l));
    }
    line = std::move(queue_.front());
    queue_.pop_front();
    return true;
  }

 private:
  TFile& file_;
  bool sjekkFormat_;
  SjekkFormatter formatter_;
  std::deque<std::string> queue_;
  bool atEnd_ = false;
};

}  // namespace

bool TMazatrol::SendMazProgram() {
  const std::string savedEob = Com.Eob;
  Com.Eob.clear();
  ++SendCount;
  ReportCell(kColStatus, "Sender Mazatrolprogram - " + std::to_string(SendCount));
  SetCell(kColMelding, "");

  std::string cell = Trim(GetCell(kColFilnavn));
  std::string name = WithDefaultExt(cell, Keys.mazExt), dir;
  ResolveDir(true, name, dir);
  const std::string base = FileNameOf(StripExt(cell));
  if (!FileExists(dir + name) && AllDigits(base))
    name = DirOf(cell) +
           NumberFileName(std::stoll(base), Keys.number.width, Keys.kortFilNavn, Keys.mazExt);
  SetCell(kColFilnavn, name);
  bool raw = false, opened = false;
  OpenSendFile(false, raw, opened);
  if (!opened) {
    ReportCell(kColStatus, "Sending feilet");
    SetCell(kColMelding, L1("Umulig å åpne filen ") + name);
    Pause(kOpenFailedPauseMs);
    Com.Eob = savedEob;
    return false;
  }

  SendLineSource source(*this, Keys.sjekkFormat, Keys.linjeLengde);
  // The next line worth sending: a tape mark, or a line of program length.
  auto next = [&](std::string& line) {
    while (source.Next(line))
      if (IsTapeMark(line, Keys.tapeMark2) || line.size() >= kMinSendLine) return true;
    return false;
  };
  bool tapeMarkMet = false, firstLine = true, sectionEnded = false;
  bool lineOk = true, ended = false, whole = false;
  std::string line, reply;
  while (lineOk && !Terminated()) {
    if (!next(line)) {
      whole = true;
      break;
    }
    bool isMark = IsTapeMark(line, Keys.tapeMark2);
    if (sectionEnded) {
      // The control wants no more of this section: up to and with its tape
      // mark (which may be the line just read) nothing goes out.
      sectionEnded = false;
      if (tapeMarkMet)
        while (!isMark && next(line)) isMark = IsTapeMark(line, Keys.tapeMark2);
      SendMazRaw(kAnswerRepeat, lineOk);
    } else if (isMark) {
      tapeMarkMet = true;
      if (!Keys.tapeMarks) continue;
      LogNewLine();
      SendMazRaw(line, lineOk);
    } else {
      // A line stored without its check digits gets them back.
      const std::string out = Keys.saveBcc ? line : WithCheckWhenShort(line, Keys.linjeLengde);
      LogNewLine();
      SendMazLine(LineForm(out), lineOk);
    }
    if (!lineOk) break;
    const WaitEnd wait =
        WaitMazReply(kRequest, kSectionEnd, tapeMarkMet || (Keys.skippLinje && firstLine), reply);
    firstLine = false;
    if (wait == WaitEnd::Failed) {
      lineOk = false;
    } else if (wait == WaitEnd::End) {
      ended = true;
      // Ended after the last line, the control has the whole program.
      whole = !next(line);
      break;
    } else {
      sectionEnded = KindOf(reply) == ReplyKind::SectionEnd;
    }
  }
  bool closed = false;
  CloseFile(closed);
  Com.Eob = savedEob;
  FlushConsole();
  if (!closed) {
    SetCell(kColMelding, L1("Klarer ikke å lukke filen"));
  } else if (whole && lineOk) {
    LogSentToCnc(TransferPath.empty() ? name : TransferPath);
    ReportCell(kColStatus, "Fil sendt");
  } else if (ended) {
    ReportCell(kColStatus, "Kasettinnhold sendt");
  } else {
    ReportCell(kColStatus, "Sending avbrutt");
  }
  return ended;
}

}  // namespace zova
