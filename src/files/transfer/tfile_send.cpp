// The send side: finding and opening what goes out, and handing it out a
// character, a line or a block at a time.

#include <sys/stat.h>

#include "core/clock.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/convert/convert_file.h"
#include "files/storage/safe_file.h"
#include "files/transfer/reception_names.h"
#include "files/transfer/tfile.h"

namespace zova {
namespace {

constexpr int kEmptyFilePauseMs = 1000;

int WriteWholeFile(const std::string& path, const std::string& text) {
  AtomicWriter w;
  int e = w.Open(path);
  if (!e) e = w.Write(text.data(), text.size());
  if (!e) e = w.Commit();
  return e;
}

int64_t FileSize(std::FILE* f) {
  struct stat st {};
  return ::fstat(fileno(f), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

}  // namespace

bool TFile::OpenForSend(const std::string& path, bool& ok) {
  CloseHandle();
  file_ = std::fopen(FsPath(path).c_str(), "rb");
  ok = file_ != nullptr;
  filter_.Reset();
  return ok;
}

void TFile::OpenTextAsSendFile(const std::string& text, bool& ok) {
  const std::string path = TempBase() + "Tom";
  SendPath = path;
  ok = WriteWholeFile(path, text) == 0 && OpenForSend(path, ok);
  if (!ok) NoteForSend(L1("Umulig å åpne filen: ") + path);
}

void TFile::OpenPreparedSendFile(const std::string& path, bool& ok) {
  SendPath = path;
  OpenForSend(path, ok);
}

void TFile::OpenSendFile(bool allowAlt, bool& raw, bool& ok) {
  CloseHandle();
  raw = ok = false;
  std::string name;
  bool stale = false;
  GetGridFileName(name, stale);
  name = WithDefaultExt(name, UseFirstSet ? Ext : Ext2);
  std::string dir;
  ResolveDir(UseFirstSet, name, dir);
  std::string path = dir + name;
  // Until a file is found this is the path the operator is told about.
  SendPath = path;
  bool found = FileExists(path);
  if (!found && !DirExists(DirOf(path))) NoteForSend("Katalog eksisterer ikke: " + DirOf(path));
  if (!found && Revisjon >= 1) FindRevision(dir, name, found, path);
  if (!found && !AltKataloger.empty() && DirOf(name).empty()) {
    std::string alt = name;
    FindInAltDirs(alt, found);
    if (found) path = alt;
  }
  if (!found && allowAlt && !FeilFil.empty()) {
    std::string feilDir;
    ResolveDir(UseFirstSet, FeilFil, feilDir);
    found = FileExists(feilDir + FeilFil);
    if (found) path = feilDir + FeilFil;
  }
  if (!found) {
    if (!allowAlt && !IngenFil.empty()) OpenTextAsSendFile(IngenFil, ok);
    return;
  }
  TransferPath = SendPath = path;
  const std::string sys = Globals().SysExt;
  raw = !sys.empty() && UpperCase(path).find(sys, 1) != std::string::npos;
  if (FilFormat >= 1 && !raw) {
    bool cok = true;
    ConvertFile(FilFormat, false, path, cok, Ext, dir, TempBase() + "TX");
    if (!cok) {
      NoteForSend("Konvertering feilet: " + TransferPath);
      return;
    }
  }
  if (!OpenForSend(path, ok)) {
    NoteForSend(L1("Umulig å åpne filen: ") + path);
    return;
  }
  if (FileSize(file_) == 0) {
    CloseHandle();
    ok = false;
    NoteForSend("Filen er tom");
    TheClock().Sleep(kEmptyFilePauseMs, TerminateFlag());
  }
}

void TFile::PrepareSend(bool isTool, bool isDirectory, bool& ok, bool& raw, std::string& message,
                        std::string& kind, bool allowAlt, bool errorReceipt, bool isReceipt) {
  ok = raw = false;
  message.clear();
  kind.clear();
  sendNote_.clear();
  SendPath.clear();
  std::string path;
  if (isReceipt || errorReceipt) {
    kind = "kvitterings";
    OpenTextAsSendFile(
        ReceiptText(errorReceipt ? FeilMelding : Kvittering, GetCell(kColFilnavn), LastCharCount),
        ok);
  } else if (isTool) {
    kind = L1("verktøy");
    SendPath = TempBase() + "TOL";
    if (BuildToolFile(SendPath, path, message)) OpenForSend(SendPath = path, ok);
  } else if (isDirectory) {
    kind = "katalog";
    if (BuildListing(path, message)) OpenForSend(SendPath = path, ok);
  } else {
    OpenSendFile(allowAlt, raw, ok);
    if (raw) kind = L1("binær");
  }
  // Only what this preparation reported is shown again after the send: an
  // older Melding (a "Sending startet" of the handshake) would tell the
  // operator the opposite of what happened.
  if (message.empty()) message = sendNote_;
  if (!ok && !message.empty()) SetCell(kColMelding, message);
}

void TFile::NoteForSend(const std::string& text) {
  SetCell(kColMelding, text);
  sendNote_ = text;
}

bool TFile::FillBuffer() {
  if (pos_ < fill_) return true;
  pos_ = fill_ = 0;
  if (!file_ || writing_) return false;
  fill_ = fread_unlocked(buf_, 1, kBlockSize, file_);
  return fill_ > 0;
}

bool TFile::NextByte(char& ch) {
  if (havePushed_) {
    havePushed_ = false;
    ch = pushed_;
    return true;
  }
  if (!FillBuffer()) return false;
  ch = buf_[pos_++];
  return true;
}

bool TFile::MoreToSend() {
  if (atEnd_) return false;
  if (havePushed_) return pushed_ != 26 || SubOK;
  if (!FillBuffer()) return false;
  return buf_[pos_] != 26 || SubOK;
}

void TFile::NextSendChar(char& ch, bool& ok) {
  char in = 0;
  while (!atEnd_ && NextByte(in)) {
    switch (filter_.Feed(in, ch)) {
      case SendFilter::Step::Accept:
        ok = true;
        return;
      case SendFilter::Step::End:
        atEnd_ = true;
        break;
      case SendFilter::Step::Skip:
        break;
    }
  }
  ok = false;
}

void TFile::ReadFileChar(char& ch, bool& ok) {
  ok = NextByte(ch);
}

void TFile::ReadBlock(char* buffer, int& count, bool& ok) {
  count = 0;
  if (havePushed_) {
    havePushed_ = false;
    buffer[count++] = pushed_;
  }
  while (count < kBlockSize && FillBuffer()) {
    const size_t n = std::min(fill_ - pos_, static_cast<size_t>(kBlockSize - count));
    std::copy(buf_ + pos_, buf_ + pos_ + n, buffer + count);
    pos_ += n;
    count += static_cast<int>(n);
  }
  ok = count > 0;
}

void TFile::ReadFileLine(std::string& line, bool& ok) {
  line.clear();
  char c = 0;
  ok = false;
  while (NextByte(c)) {
    ok = true;
    if (c == '\n') break;
    if (c == '\r') {
      if (NextByte(c) && c != '\n') PushBackChar(c);
      break;
    }
    line += c;
  }
  if (FjernSpace) line = RemoveBlanksOutsideComments(line);
}

void TFile::NextSendLine(std::string& line, bool& ok) {
  char c = 0;
  for (;;) {
    line.clear();
    bool more = true;
    for (;;) {
      NextSendChar(c, more);
      if (!more || ((c == '\r' || c == '\n') && !line.empty())) break;
      if (c != '\r' && c != '\n') line += c;
    }
    if (FjernSpace) line = RemoveBlanksOutsideComments(line);
    ok = !line.empty();
    if (ok || !more) return;
  }
}

bool TFile::SkipSendChars(int count, bool& ok) {
  ok = true;
  char c = 0;
  bool more = true;
  for (int i = 0; i < count && more; ++i) NextSendChar(c, more);
  if (file_ && std::ferror(file_)) ok = false;
  return !MoreToSend();
}

int64_t TFile::BytesLeft() {
  if (!file_ || writing_) return 0;
  const long at = std::ftell(file_);
  const int64_t buffered = static_cast<int64_t>(fill_ - pos_) + (havePushed_ ? 1 : 0);
  return FileSize(file_) - (at < 0 ? 0 : at) + buffered + 1;
}

void TFile::PushBackChar(char ch) {
  pushed_ = ch;
  havePushed_ = true;
}

}  // namespace zova
