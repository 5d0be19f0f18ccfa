#pragma once
// Text-file helpers of the drivers. Each takes the shared Ok flag: a chain of
// calls stops at the first failure and later calls do nothing. None throws.

#include <cstdio>
#include <string>
#include <string_view>

namespace zova {

class TextFile {
 public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  TextFile(TextFile&& o) noexcept : f_(o.f_) { o.f_ = nullptr; }

  bool IsOpen() const { return f_ != nullptr; }
  std::FILE* Handle() { return f_; }

 private:
  friend void OpenWrite(std::string_view, TextFile&, bool&);
  friend void OpenAppend(std::string_view, TextFile&, bool&);
  friend void OpenRead(std::string_view, TextFile&, bool&);
  friend void CloseText(TextFile&, bool&);
  std::FILE* f_ = nullptr;
};

// Creates or truncates. Name is a station path.
void OpenWrite(std::string_view name, TextFile& f, bool& ok);
// Opens for appending, creating the file when needed.
void OpenAppend(std::string_view name, TextFile& f, bool& ok);
// With [TextUtil] Debug a failure raises the "Åpne <name>" notice.
void OpenRead(std::string_view name, TextFile& f, bool& ok);
void CloseText(TextFile& f, bool& ok);
// S and CR LF, only when Ok.
void WriteTextLine(TextFile& f, std::string_view s, bool& ok);
void WriteText(TextFile& f, std::string_view s, bool& ok);
// One line ending in LF, CR LF or CR; Ok false at the end of the file.
void ReadTextLine(TextFile& f, std::string& s, bool& ok);
void ReadTextChar(TextFile& f, char& c, bool& ok);
// A line that may end with CR, LF or both; C carries the byte read last time
// between calls (start with 13). Ok exactly when S is not empty.
void ReadTextLineCR(TextFile& f, char& c, std::string& s, bool& ok);
bool NotEof(TextFile& f);
// While N < Limit: "T" + N as two digits + " X0000.000 Z0000.000 R00.000 L0 ".
void WriteEmptyToolLines(TextFile& f, int limit, int& n, bool& ok);

}  // namespace zova
