#include "protocols/heidenhain/tlinje.h"

#include "core/latin1.h"

namespace zova {

void TLinje::Receive(bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  std::string carried;
  do {
    bool one = false, error = false;
    ReceiveLineFile(carried, one, error);
    // A later program of the transmission does not undo an earlier one.
    stored = stored || one;
    receiptIsError = error;
  } while (!carried.empty() && !Terminated());
  if (PreemptRule) EndSend(Com, false);
}

void TLinje::ReceiveLineFile(std::string& carried, bool& stored, bool& receiptIsError) {
  stored = false;
  receiptIsError = false;
  ResetTransfer();
  ++ReceiveCount;
  ReportCell(kColStatus, "Mottar linjedata - " + std::to_string(ReceiveCount));
  SetCell(kColMelding, "");
  SetCell(kColTegn, "");
  // A later file counts from its carried line and the character that was
  // given back for it; the first counts what the main loop read already.
  if (!carried.empty())
    Com.CharCount = static_cast<int64_t>(carried.size()) + (Com.HasUnread ? 1 : 0);
  bool ok = false;
  OpenReceiveFile(ok);
  if (!ok) {
    SetCell(kColMelding, L1("Umulig å åpne filen - ") + TempName);
    carried.clear();
    return;
  }
  LinjeFramer framer(Codes(), carried);
  bool storeOk = true;
  StoreReady(framer, storeOk);
  ReadLines(framer, storeOk);
  // The rest of a longer end sequence belongs to this transmission.
  if (framer.StoppTegnSeen())
    for (size_t i = 1; i < StoppTegn.size(); ++i) {
      char ch = 0;
      bool read = false;
      ReadChar(Com, false, read, ch);
    }
  FlushConsole();
  carried = storeOk ? framer.CarryOver() : std::string();
  const bool complete = framer.Complete();
  if (complete || LagreAlt || Com.CharCount <= Noise) {
    FinishReceive(complete, storeOk, receiptIsError, stored, framer.StartMet());
    return;
  }
  bool closed = false;
  CloseFile(closed);
  receiptIsError = true;
  ReportCell(kColStatus, "Lagring avbrutt");
  SetCell(kColMelding, "Datamottak ikke komplett");
}

void TLinje::ReadLines(LinjeFramer& framer, bool& storeOk) {
  while (!framer.Ended() && storeOk && !Terminated()) {
    char ch = 0;
    bool read = false;
    ReadCheckedChar(Com, true, read, ch, framer.QuietEnds());
    if (!read) {
      framer.Quiet();
    } else if (framer.Feed(ch) == LinjeFramer::Take::GiveBack) {
      // The next program's first character: read again for it.
      --Com.CharCount;
      UnreadChar(Com, ch);
    }
    StoreReady(framer, storeOk);
    if (!read) break;
  }
}

void TLinje::StoreReady(LinjeFramer& framer, bool& storeOk) {
  for (const std::string& line : framer.Ready()) {
    if (!storeOk) break;
    StoreLine(line, storeOk);
    AddLineToHead(line);
  }
  framer.Ready().clear();
}

}  // namespace zova
