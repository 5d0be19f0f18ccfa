#pragma once
// What a front end offers the station: notices, questions, file choice,
// opening files and help. Implemented by the Qt window and by the headless
// front end; drivers reach it only through the call-over, except ShowNotice,
// which any thread may call (it blocks only the caller).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zova {

enum class Answer { Yes, No, Cancel, Button1, Button2, Button3 };

struct FileChoice {
  bool ok = false;
  std::string path;  // Latin-1, with "/" separators
};

class UiHost {
 public:
  virtual ~UiHost() = default;

  // OK box with a caption that says where and a text that says what. Safe from
  // any thread; returns when the operator has seen it (headless: at once).
  virtual void ShowNotice(std::string_view caption, std::string_view text) = 0;

  // Main thread only. SafeDefault is what the headless front end answers: the
  // choice that loses no data.
  virtual bool AskYesNo(std::string_view caption, std::string_view text, bool safeDefault) = 0;

  // Up to three buttons with their own labels; returns Button1..Button3 or
  // Cancel when the box was closed. Main thread only.
  virtual Answer AskButtons(std::string_view caption, std::string_view text,
                            const std::vector<std::string>& labels, Answer safeDefault) = 0;

  // Text input; false when cancelled. Main thread only.
  virtual bool AskText(std::string_view caption, std::string_view prompt, std::string& value) = 0;

  // File-open dialog. Filter is a "|"-separated list of description and mask
  // pairs. Main thread only.
  virtual FileChoice ChooseFile(std::string_view caption, std::string_view initialDir,
                                std::string_view filter) = 0;
  virtual FileChoice SelectFolder(std::string_view caption, std::string_view initialDir) = 0;

  // Starts a program or opens a file with the desktop's handler.
  virtual bool OpenPath(std::string_view program, std::string_view args,
                        std::string_view workDir) = 0;
  virtual void ShowHelp(std::string_view topic) = 0;

  // Unattended: nobody may be there to answer (the station is closing, or a
  // stop signal came). Notices are then logged instead of shown, questions
  // are logged and get their safe default, and a box open when it is
  // switched on is closed. Main thread only; a front end without boxes is
  // unattended always.
  virtual void SetUnattended(bool) {}
  virtual bool Unattended() const { return false; }
};

// The host of this process; null before a front end is installed (then
// notices go to standard error).
UiHost* CurrentUiHost();
void SetUiHost(UiHost* host);

// Notice from any thread; never throws, errors while showing are swallowed.
void ShowNotice(std::string_view caption, std::string_view text);

// Also told of every notice, before it is shown, on the raising thread (the
// web interface keeps the recent ones). It must not block. Empty: none.
using NoticeListener = std::function<void(std::string_view caption, std::string_view text)>;
void SetNoticeListener(NoticeListener listener);

}  // namespace zova
