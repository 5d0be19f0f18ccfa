// Sends of the FAPT driver: a FAPT data file goes out byte for byte, with
// Test first framed into block form; everything else is the standard send.

#include "core/latin1.h"
#include "files/storage/safe_file.h"
#include "serial/variants/fapt_framer.h"
#include "serial/variants/tfapt.h"

namespace zova {

void TFapt::Send(bool isTool, bool isDirectory, bool errorReceipt, bool isReceipt) {
  if (isTool || isDirectory || errorReceipt || isReceipt || !IsFaptName(GetCell(kColFilnavn))) {
    TZova::Send(isTool, isDirectory, errorReceipt, isReceipt);
    return;
  }
  ++SendCount;
  ReportCell(kColStatus, "Sender Fapt-data - " + std::to_string(SendCount));
  SetCell(kColMelding, "");
  // The image is opened in place of the chosen file; the Filnavn cell and
  // the sent-file log line keep naming the chosen one.
  bool fileOk = false;
  if (Test) {
    OpenBlockImage(fileOk);
  } else {
    bool raw = false;
    OpenSendFile(false, raw, fileOk);
  }
  if (!fileOk) {
    ReportCell(kColStatus, "Sending feilet");
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + SendPath);
    return;
  }
  Com.Raw = true;
  LogNewLine();
  bool lineOk = true;
  SendBytes(lineOk, fileOk);
  EndSend(Com, lineOk);
  FlushConsole();
  FinishSend(lineOk, fileOk, false, false, true, L1("Klarer ikke å sende ut tegn"));
  Com.Raw = false;
}

void TFapt::OpenBlockImage(bool& ok) {
  bool raw = false;
  OpenSendFile(false, raw, ok);
  if (!ok) return;
  const std::string image = TempBase() + "FPT";
  AtomicWriter w;
  int e = w.Open(image);
  FaptImageBuilder builder;
  std::string out = FaptImageBuilder::Begin();
  char block[kBlockSize];
  for (bool got = true; !e && got;) {
    int count = 0;
    ReadBlock(block, count, got);
    if (got) builder.Add({block, static_cast<size_t>(count)}, out);
    e = w.Write(out.data(), out.size());
    out.clear();
  }
  if (!e) {
    out = builder.Finish();
    e = w.Write(out.data(), out.size());
  }
  if (!e) e = w.Commit();
  bool closed = false;
  CloseFile(closed);
  ok = e == 0 && closed;
  if (ok) OpenPreparedSendFile(image, ok);
  if (!ok) SendPath = image;
}

void TFapt::SendBytes(bool& lineOk, bool& fileOk) {
  char ch = 0;
  bool got = true;
  while (lineOk) {
    ReadFileChar(ch, got);
    if (!got) {
      fileOk = !MoreToSend();
      return;
    }
    if (Terminated()) break;
    WriteChar(Com, false, lineOk, ch);
  }
  // The control stops taking bytes at the BS: what it left is complete when
  // it was no more than the trailing NUL block.
  if (ch != '\0') {
    lineOk = false;
    return;
  }
  size_t left = 1;
  for (;;) {
    ReadFileChar(ch, got);
    if (!got) break;
    if (ch != '\0' || ++left > fapt::kBlockBytes) {
      lineOk = false;
      return;
    }
  }
  lineOk = true;
}

}  // namespace zova
