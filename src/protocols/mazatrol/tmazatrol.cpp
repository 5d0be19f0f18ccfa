// The Mazatrol driver's keys, its exchanges and the telegrams both ways.

#include "protocols/mazatrol/tmazatrol.h"

#include "core/config/config.h"
#include "core/latin1.h"
#include "protocols/mazatrol/mazatrol_framer.h"

namespace zova {

using namespace mazatrol;

TMazatrol::TMazatrol(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  Keys = ReadMazatrolKeys(IniSection(SectionName));
  // Programs of other kinds keep an extension of their own.
  if (!Keys.ext2.empty() && UpperCase(Ext) == UpperCase(Keys.mazExt)) Ext = Keys.ext2;
}

void TMazatrol::OnStart() {
  Com.ContinueSet.set('p');
  Com.ContinueSet.set('q');
}

void TMazatrol::OnSendOrder() {
  // The control asks for its programs itself: the order has put the name in
  // the Filnavn cell, which the next "p4" sends.
}

void TMazatrol::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ReportCell(kColStatus, "Mazatrol kommuniserer");
  SetCell(kColMelding, "");
  char ch = 0;
  bool ok = false;
  ReadChar(Com, false, ok, ch);
  if (!ok) return;
  if (ch == kEsc || ch == kCan) {
    UnreadChar(Com, ch);
    PrintGraphics();
  } else if (ch == 'p' || ch == 'q') {
    Exchange(ch);
  } else if (ch != kEot) {
    // A lone EOT is the late second one of the last telegram.
    UnreadChar(Com, ch);
    TZova::Receive(stored, receiptIsError);
  }
}

void TMazatrol::Exchange(char first) {
  enkelEot_ = Keys.enkelEot && !Keys.LearnsNumber();
  twoEot_ = false;
  tapeMarkSeen_ = false;
  BeginExchangeFlow();
  std::string reply(1, first);
  bool ok = true;
  std::string rest;
  ReadMazReply(rest, ok);
  reply += rest;
  bool ended = !ok;
  while (!ended && !reply.empty() && !Terminated()) {
    switch (KindOf(reply)) {
      case ReplyKind::ProgramLine:
        ended = ReceiveMazProgram(reply);
        break;
      case ReplyKind::Request:
        ended = SendMazProgram();
        break;
      case ReplyKind::End:
        ended = true;
        break;
      case ReplyKind::Status:
        Answer(kAnswerStatus, reply);
        break;
      default:
        Answer(kAnswerRepeat, reply);
        break;
    }
    if (!ended) ReadMazReply(reply, ok);
    if (!ok) reply.clear();
  }
  EndExchangeFlow();
}

void TMazatrol::BeginExchangeFlow() {
  Com.BlokkvisActive = false;
  softwareForExchange_ = false;
  if (!Com.HandShake) return;
  if (Com.XonXoff) {
    if (Com.Handle) Com.Handle->ResumeOutput();
    return;
  }
  SetCell(kColMelding, "Xon/Xoff aktivert");
  Pause(50);
  // The switch is made for a line set up with XON/XOFF; this one is only
  // for the exchange.
  Com.XonXoff = true;
  SwitchToSoftware(Com, false, true);
  Com.XonXoff = false;
  softwareForExchange_ = true;
}

void TMazatrol::EndExchangeFlow() {
  Com.BlokkvisActive = true;
  if (softwareForExchange_) SwitchToHardware(Com);
  softwareForExchange_ = false;
}

bool TMazatrol::Answer(std::string_view answer, const std::string& reply) {
  bool ok = true;
  SendMazRaw(answer, ok);
  if (!ok) SetCell(kColMelding, "Sending av respons feilet: " + reply);
  return ok;
}

void TMazatrol::ReadMazReply(std::string& reply, bool& ok) {
  reply.clear();
  ReplyCollector collector;
  ok = false;
  for (;;) {
    char ch = 0;
    bool read = false;
    ReadChar(Com, false, read, ch);
    if (!read || Terminated()) return;
    // A second EOT that came after the poll belongs to the last reply.
    if (ch == kEot && collector.Reply().empty() && !enkelEot_) {
      twoEot_ = true;
      continue;
    }
    if (collector.Feed(ch)) break;
  }
  reply = collector.Reply();
  ok = true;
  if (enkelEot_) return;
  char next = 0;
  bool polled = false;
  PollChar(Com, polled, next);
  if (!polled) return;
  if (next == kEot)
    twoEot_ = true;
  else
    UnreadChar(Com, next);
}

void TMazatrol::SendMazRaw(std::string_view text, bool& ok) {
  ok = true;
  WriteString(Com, ShortTelegram(text), ok);
  EndSend(Com, false);
}

void TMazatrol::SendMazLine(const std::string& line, bool& ok) {
  ok = true;
  WriteString(Com, LineTelegram(line), ok);
  EndSend(Com, false);
}

TMazatrol::WaitEnd TMazatrol::WaitMazReply(std::string_view expected, std::string_view second,
                                           bool allowSecond, std::string& reply) {
  for (;;) {
    bool ok = false;
    ReadMazReply(reply, ok);
    if (!ok || Terminated()) return WaitEnd::Failed;
    auto startsWith = [&](std::string_view p) { return reply.compare(0, p.size(), p) == 0; };
    if (startsWith(expected) || (allowSecond && startsWith(second))) return WaitEnd::Expected;
    const ReplyKind kind = KindOf(reply);
    if (kind == ReplyKind::End) return WaitEnd::End;
    if (kind == ReplyKind::TapeMark) tapeMarkSeen_ = true;
    if (!Answer(kAnswerRepeat, reply)) return WaitEnd::Failed;
  }
}

void TMazatrol::WriteKeys(const KeyValues& keys) {
  for (const auto& [key, value] : keys)
    if (!WriteIniStr(SectionName, key, value))
      SetCell(kColMelding, L1("Klarer ikke å lagre ") + key);
}

void TMazatrol::DrainLine() {
  for (;;) {
    char ch = 0;
    bool read = false;
    ReadChar(Com, false, read, ch);
    if (!read || Terminated()) return;
  }
}

}  // namespace zova
