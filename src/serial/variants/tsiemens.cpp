#include "serial/variants/tsiemens.h"

#include "core/latin1.h"
#include "serial/variants/siemens_send_rules.h"
#include "tools/tool_settings.h"

namespace zova {

namespace {

constexpr size_t kReceiveRun = 4096;

}  // namespace

TSiemens::TSiemens(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TZova(links, sharedRequest, machineNo) {
  Siemens3 = ReadIniBool(SectionName, "Siemens3", false);
}

void TSiemens::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ResetTransfer();
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar Siemens-data - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
  } else {
    SiemensFramer framer(StoppTegn);
    bool storeOk = true;
    ReceiveFramed(framer, storeOk);
    FlushConsole();
    FinishReceive(framer.Complete(), storeOk, receiptIsError, stored, framer.Started());
  }
  if (PreemptRule) EndSend(Com, false);
}

void TSiemens::ReceiveFramed(SiemensFramer& framer, bool& storeOk) {
  std::string out, head;
  auto take = [&](const char* data, size_t n) {
    out.clear();
    head.clear();
    const size_t used = framer.Feed({data, n}, out, head);
    bool written = true;
    StoreChars(out.data(), out.size(), written);
    storeOk = storeOk && written;
    for (size_t i = 0; i < head.size() && !HeadFull(); ++i) AddToHead(head[i]);
    return used;
  };
  while (!framer.Ended() && !Terminated()) {
    if (!ReadRun(Com, true, framer.IdleReads(), kReceiveRun, take)) {
      framer.Quiet();
      break;
    }
  }
}

void TSiemens::ShowSendStart(const std::string& kind) {
  ReportCellWait(kColStatus, "Sender Siemens-" + kind + "data - " + std::to_string(SendCount));
}

void TSiemens::SendText(bool isTool, bool program, bool& lineOk, bool& fileOk, bool& /*stopSent*/,
                        bool& trailerDone, std::string& /*abortText*/) {
  Com.BlokkvisActive =
      program || (isTool && (ToolProtokoll == kToolSiemens880 || ToolProtokoll == kToolHeidenhain));
  WriteString(Com, StartEkstra, lineOk, true);
  char last = ' ';
  SendBody(lineOk, fileOk, last);
  SendEnd(lineOk, last);
  Pause(100);
  SendTrailer(lineOk, StoppTegn.empty(), trailerDone);
}

void TSiemens::SendBody(bool& lineOk, bool& fileOk, char& last) {
  SiemensSendState state;
  const bool oneCharStop = StoppTegn.size() == 1;
  while (lineOk && fileOk) {
    char ch = 0;
    if (!TakeSendChar(ch, fileOk)) break;
    const SiemensCharStep step = NextSiemensChar(state, ch, Com.CharCount, Com.Blokkvis);
    if (step.pauseBefore) PauseBetweenPrograms();
    WriteChar(Com, step.noRetry, lineOk, ch);
    if (!lineOk) {
      SendUnsent = 1;
      break;
    }
    last = ch;
    if (oneCharStop && ch == StoppTegn[0]) break;
  }
}

void TSiemens::PauseBetweenPrograms() {
  if (Siemens3) {
    for (int i = 0; i < MaxNull && !Terminated(); ++i) {
      bool ok = true;
      WriteChar(Com, true, ok, '\0');
      if (!ok) break;
    }
  }
  FlushConsole();
  Pause(Siemens3 ? 5000 : 1000);
}

void TSiemens::SendEnd(bool& lineOk, char last) {
  if (!lineOk) return;
  WriteString(Com, StoppEkstra, lineOk, true);
  // A file that ends with its end character has sent it already.
  if (lineOk && StoppTegn.size() == 1 && StoppTegn[0] != last) WriteString(Com, StoppTegn, lineOk);
}

}  // namespace zova
