#include "core/textfile.h"

#include <cerrno>

#include "core/error_text.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/numformat.h"
#include "core/paths.h"
#include "core/uihost.h"

namespace zova {

TextFile::~TextFile() {
  if (f_) std::fclose(f_);
}

namespace {

void OpenMode(std::string_view name, std::FILE*& f, const char* mode, bool& ok) {
  if (f) {
    std::fclose(f);
    f = nullptr;
  }
  f = std::fopen(FsPath(name).c_str(), mode);
  ok = f != nullptr;
}

}  // namespace

void OpenWrite(std::string_view name, TextFile& f, bool& ok) {
  OpenMode(name, f.f_, "wb", ok);
}
void OpenAppend(std::string_view name, TextFile& f, bool& ok) {
  OpenMode(name, f.f_, "ab", ok);
}

void OpenRead(std::string_view name, TextFile& f, bool& ok) {
  OpenMode(name, f.f_, "rb", ok);
  if (!ok && Globals().Debug)
    ShowNotice(L1("Åpne ") + std::string(name), ErrorText(errno, ErrorContext::TextFile));
}

void CloseText(TextFile& f, bool& ok) {
  if (!f.f_) return;
  ok = std::fclose(f.f_) == 0;
  f.f_ = nullptr;
}

void WriteText(TextFile& f, std::string_view s, bool& ok) {
  if (!ok) return;
  if (!f.IsOpen()) {
    ok = false;
    return;
  }
  ok = std::fwrite(s.data(), 1, s.size(), f.Handle()) == s.size();
}

void WriteTextLine(TextFile& f, std::string_view s, bool& ok) {
  WriteText(f, s, ok);
  WriteText(f, "\r\n", ok);
}

void ReadTextLine(TextFile& f, std::string& s, bool& ok) {
  s.clear();
  if (!ok) return;
  std::FILE* h = f.Handle();
  if (!h) {
    ok = false;
    return;
  }
  int c = std::getc(h);
  if (c == EOF) {
    ok = false;
    return;
  }
  while (c != EOF && c != '\n' && c != '\r') {
    s.push_back(static_cast<char>(c));
    c = std::getc(h);
  }
  if (c == '\r') {
    int n = std::getc(h);
    if (n != '\n' && n != EOF) std::ungetc(n, h);
  }
}

void ReadTextChar(TextFile& f, char& c, bool& ok) {
  if (!ok) return;
  int b = f.Handle() ? std::getc(f.Handle()) : EOF;
  ok = b != EOF;
  if (ok) c = static_cast<char>(b);
}

void ReadTextLineCR(TextFile& f, char& c, std::string& s, bool& ok) {
  s.clear();
  if (!ok) return;
  std::FILE* h = f.Handle();
  if (!h) {
    ok = false;
    return;
  }
  if (static_cast<unsigned char>(c) >= 32) s.push_back(c);
  int b;
  for (;;) {
    b = std::getc(h);
    if (b == EOF) break;
    if (b == '\r' || b == '\n') {
      if (!s.empty()) break;
      continue;  // line ends before any text are skipped
    }
    if (b >= 32) s.push_back(static_cast<char>(b));
  }
  // Consume the rest of the line end; the first byte after it waits in C.
  while (b == '\r' || b == '\n') b = std::getc(h);
  c = b == EOF ? '\r' : static_cast<char>(b);
  ok = !s.empty();
}

bool NotEof(TextFile& f) {
  std::FILE* h = f.Handle();
  if (!h || std::ferror(h)) return false;
  int b = std::getc(h);
  if (b == EOF) return false;
  std::ungetc(b, h);
  return true;
}

void WriteEmptyToolLines(TextFile& f, int limit, int& n, bool& ok) {
  while (n < limit && ok) {
    WriteTextLine(f, "T" + IntToStrZero(n, 2) + " X0000.000 Z0000.000 R00.000 L0 ", ok);
    ++n;
  }
}

}  // namespace zova
