// The receive side: the temporary file, the head and the end of a reception.

#include <cerrno>
#include <cstdio>

#include "core/latin1.h"
#include "core/paths.h"
#include "files/namesearch/head_text.h"
#include "files/storage/safe_file.h"
#include "files/transfer/reception_names.h"
#include "files/transfer/tfile.h"
#include "tools/offset_program.h"
#include "tools/tool_settings.h"

namespace zova {
namespace {

constexpr int kReceiveAttempts = 10;
constexpr size_t kWriteBuffer = 1 << 16;

}  // namespace

void TFile::OpenReceiveFile(bool& ok) {
  CloseHandle();
  LineEnd.Reset();
  const std::string first = TempBase() + "RX";
  for (int i = 0; i < kReceiveAttempts && !file_; ++i) {
    TempName = i == 0 ? first : first + std::to_string(i - 1);
    file_ = std::fopen(FsPath(TempName).c_str(), "wb");
  }
  ok = file_ != nullptr;
  if (!ok) {
    TempName = first;
    return;
  }
  writing_ = true;
  // Without a buffer of ours glibc ignores the size and writes every 4 KB.
  if (!writeBuf_) writeBuf_ = std::make_unique<char[]>(kWriteBuffer);
  std::setvbuf(file_, writeBuf_.get(), _IOFBF, kWriteBuffer);
}

void TFile::StoreRaw(const char* data, size_t n, bool& ok) {
  ok = file_ && writing_ && fwrite_unlocked(data, 1, n, file_) == n;
}

void TFile::StoreChars(const char* data, size_t n, bool& ok) {
  ok = true;
  size_t from = 0;
  for (size_t i = 0; i < n; ++i) {
    const char ch = data[i];
    if (!FjernTegn[static_cast<unsigned char>(ch)]) {
      LineEnd.Advance(ch);
      continue;
    }
    // A removed character splits the run: what came before it goes out.
    if (i > from) {
      bool part = true;
      StoreRaw(data + from, i - from, part);
      ok = ok && part;
    }
    from = i + 1;
  }
  if (n > from) {
    bool part = true;
    StoreRaw(data + from, n - from, part);
    ok = ok && part;
  }
}

void TFile::StoreRawByte(uint8_t b, bool& ok) {
  LineEnd.ForceCrLf();
  const char c = static_cast<char>(b);
  StoreRaw(&c, 1, ok);
}

void TFile::StoreString(const std::string& text, bool& ok) {
  LineEnd.ForceCrLf();
  StoreRaw(text.data(), text.size(), ok);
}

void TFile::StoreLine(const std::string& text, bool& ok) {
  StoreString(text + "\r\n", ok);
}

void TFile::GrowHead(char ch) {
  if (zova::AddToHead(Head, ch, HeadLimit(), StartNavn) && !Classified) ClassifyReception();
}

void TFile::AddLineToHead(const std::string& text) {
  for (char ch : text) AddToHead(ch);
  AddToHead('\r');
}

void TFile::CloseFile(bool& ok) {
  ok = true;
  if (file_) ok = std::fclose(file_) == 0;
  file_ = nullptr;
  CloseHandle();
}

void TFile::CloseReceiveFile(bool store, int charCount, bool& tooShort, bool& ok) {
  CloseFile(ok);
  tooShort = charCount <= Noise;
  LastCharCount = charCount;
  if (ok && !tooShort) {
    if (!Classified) ClassifyReception();
    if (IsProgram && store) {
      const bool firstSet = UseFirstSet && !UtKatalog && !InnKatalog;
      // Conversions shape what is sent; a stored program stays as received.
      StoreReceived(firstSet, IsExtend, ok, 0, LineEnd.ByteForByte() || IsSystemFile);
    } else if (IsToolData && store) {
      std::string name;
      ok = SaveToolData(name);
      LogEvent(false, ok ? L1("Verktøydata lagret som ") + name
                         : L1("Verktøylagring feilet (") + name + ")");
    }
  }
  UseFirstSet = true;
}

void TFile::CloseAndStore(bool& ok) {
  CloseFile(ok);
  if (!ok) return;
  if (TransferName.empty()) TransferName = std::string(kNoName) + Ext;
  const bool firstSet = UseFirstSet && !UtKatalog && !InnKatalog;
  StoreReceived(firstSet, false, ok, 0, LineEnd.ByteForByte() || IsSystemFile);
  UseFirstSet = true;
}

std::string TFile::ToolDataTarget() const {
  const std::string ext = ToolFileExt(false, true);
  const bool regIsFile = !ToolReg.empty() && ExtPos(FileNameOf(ToolReg)) > 0;
  // Only the ORIGINAL format keeps tool data as text under the register's
  // own name; every other format's register holds records, which a received
  // text must not overwrite.
  if (regIsFile && ToolProtokoll == kToolOriginal) return ToolReg;
  std::string dir = regIsFile ? DirOf(ToolReg) : ToolReg;
  if (dir.empty()) dir = DataDir;
  std::string name = ToolDataName;
  if (name.empty() || name == kNoName) name = "TOOL";
  return JoinPath(WithTrailingSep(dir), WithDefaultExt(name, ext));
}

bool TFile::SaveToolData(std::string& name) {
  name = ToolDataTarget();
  int e = CopyFileAtomic(TempName, name);
  if (e == ENOENT && LagKataloger && ForceDirectories(DirOf(name)))
    e = CopyFileAtomic(TempName, name);
  return e == 0;
}

}  // namespace zova
