#pragma once
// Shared test fixtures: a recording front end, temporary directories and an
// active Zova.ini.

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/uihost.h"

namespace zova::test {

// Records every notice and answers every question with the safe default.
class RecordingUiHost : public UiHost {
 public:
  struct Notice {
    std::string caption, text;
  };
  void ShowNotice(std::string_view caption, std::string_view text) override;
  bool AskYesNo(std::string_view caption, std::string_view text, bool safeDefault) override;
  Answer AskButtons(std::string_view caption, std::string_view text,
                    const std::vector<std::string>& labels, Answer safeDefault) override;
  bool AskText(std::string_view caption, std::string_view prompt, std::string& value) override;
  FileChoice ChooseFile(std::string_view caption, std::string_view initialDir,
                        std::string_view filter) override;
  FileChoice SelectFolder(std::string_view caption, std::string_view initialDir) override;
  bool OpenPath(std::string_view program, std::string_view args, std::string_view workDir) override;
  void ShowHelp(std::string_view topic) override;

  std::vector<Notice> Notices();
  size_t NoticeCount();
  void Clear();

  // Answers given to the next questions, in order, before the safe default.
  std::vector<Answer> scriptedAnswers;
  std::vector<FileChoice> scriptedFiles;
  std::vector<std::string> opened;  // program + " " + args

 private:
  std::mutex mutex_;
  std::vector<Notice> notices_;
};

// Installs a RecordingUiHost for the life of the object.
class ScopedUiHost {
 public:
  ScopedUiHost() : previous_(CurrentUiHost()) { SetUiHost(&host); }
  ~ScopedUiHost() { SetUiHost(previous_); }
  RecordingUiHost host;

 private:
  UiHost* previous_;
};

// A fresh directory under $TMPDIR, removed with its contents at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }  // ends with "/"
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view data);
bool Exists(const std::string& path);

// Writes Text as Zova.ini into a temporary directory and makes it the active
// configuration file; restores the previous globals at the end.
class ScopedIni {
 public:
  explicit ScopedIni(std::string_view text);
  ~ScopedIni();
  const std::string& Path() const { return path_; }
  const TempDir& Dir() const { return dir_; }

 private:
  TempDir dir_;
  std::string path_;
  std::string previousIni_;
  std::string previousData_;
};

}  // namespace zova::test
