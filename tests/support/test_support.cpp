#include "support/test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/globals.h"

namespace zova::test {

void RecordingUiHost::ShowNotice(std::string_view caption, std::string_view text) {
  std::lock_guard lock(mutex_);
  notices_.push_back({std::string(caption), std::string(text)});
}

bool RecordingUiHost::AskYesNo(std::string_view, std::string_view, bool safeDefault) {
  std::lock_guard lock(mutex_);
  if (!scriptedAnswers.empty()) {
    Answer a = scriptedAnswers.front();
    scriptedAnswers.erase(scriptedAnswers.begin());
    return a == Answer::Yes;
  }
  return safeDefault;
}

Answer RecordingUiHost::AskButtons(std::string_view, std::string_view,
                                   const std::vector<std::string>&, Answer safeDefault) {
  std::lock_guard lock(mutex_);
  if (!scriptedAnswers.empty()) {
    Answer a = scriptedAnswers.front();
    scriptedAnswers.erase(scriptedAnswers.begin());
    return a;
  }
  return safeDefault;
}

bool RecordingUiHost::AskText(std::string_view, std::string_view, std::string&) {
  return false;
}

FileChoice RecordingUiHost::ChooseFile(std::string_view, std::string_view, std::string_view) {
  std::lock_guard lock(mutex_);
  if (scriptedFiles.empty()) return {};
  FileChoice c = scriptedFiles.front();
  scriptedFiles.erase(scriptedFiles.begin());
  return c;
}

FileChoice RecordingUiHost::SelectFolder(std::string_view a, std::string_view b) {
  return ChooseFile(a, b, "");
}

bool RecordingUiHost::OpenPath(std::string_view program, std::string_view args, std::string_view) {
  std::lock_guard lock(mutex_);
  opened.push_back(std::string(program) + " " + std::string(args));
  return true;
}

void RecordingUiHost::ShowHelp(std::string_view topic) {
  std::lock_guard lock(mutex_);
  opened.push_back("help " + std::string(topic));
}

std::vector<RecordingUiHost::Notice> RecordingUiHost::Notices() {
  std::lock_guard lock(mutex_);
  return notices_;
}

size_t RecordingUiHost::NoticeCount() {
  std::lock_guard lock(mutex_);
  return notices_.size();
}

void RecordingUiHost::Clear() {
  std::lock_guard lock(mutex_);
  notices_.clear();
}

TempDir::TempDir() {
  const char* t = std::getenv("TMPDIR");
  std::string tmpl = std::string(t && *t ? t : "/tmp") + "/zova-test-XXXXXX";
  char* made = ::mkdtemp(tmpl.data());
  path_ = std::string(made ? made : tmpl.c_str()) + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

ScopedIni::ScopedIni(std::string_view text) {
  path_ = dir_ / "Zova.ini";
  WriteFile(path_, text);
  previousIni_ = Globals().IniFil;
  previousData_ = Globals().DataKatalog;
  Globals().IniFil = path_;
  Globals().DataKatalog = dir_.Path();
}

ScopedIni::~ScopedIni() {
  Globals().IniFil = previousIni_;
  Globals().DataKatalog = previousData_;
}

}  // namespace zova::test
