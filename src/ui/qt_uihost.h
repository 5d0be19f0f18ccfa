#pragma once
// The window's UiHost: real message boxes, questions and file dialogs, each
// modal on the GUI thread and holding the call-over while it is open. A
// notice from a driver thread is shown on the GUI thread and blocks only that
// driver until the operator has pressed OK.

#include <QString>
#include <atomic>
#include <functional>

#include "core/uihost.h"

class QDialog;
class QWidget;

namespace zova::ui {

QString FromLatin1(std::string_view s);
// Latin-1 message text with CR LF or CR line ends as Qt shows them.
QString MessageText(std::string_view s);
std::string ToLatin1(const QString& s);

// Runs a modal dialog with the call-over held. The test hook, when set, gets
// the dialog once its event loop runs, so tests answer dialogs as a person would.
// A notice of a driver thread does not hold the call-over (HoldCallOver
// false): it blocks only the driver that raised it.
int ExecModal(QDialog& dialog, bool holdCallOver = true);
void SetModalHook(std::function<void(QDialog*)> hook);

class QtUiHost : public UiHost {
 public:
  explicit QtUiHost(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  QWidget* Parent() const { return parent_; }

  void ShowNotice(std::string_view caption, std::string_view text) override;
  bool AskYesNo(std::string_view caption, std::string_view text, bool safeDefault) override;
  Answer AskButtons(std::string_view caption, std::string_view text,
                    const std::vector<std::string>& labels, Answer safeDefault) override;
  bool AskText(std::string_view caption, std::string_view prompt, std::string& value) override;
  // A last component of InitialDir holding "*" is the name mask shown first.
  FileChoice ChooseFile(std::string_view caption, std::string_view initialDir,
                        std::string_view filter) override;
  FileChoice SelectFolder(std::string_view caption, std::string_view initialDir) override;
  // Program empty: Args is a file or address opened with the desktop's handler.
  bool OpenPath(std::string_view program, std::string_view args, std::string_view workDir) override;
  void ShowHelp(std::string_view topic) override;
  void SetUnattended(bool on) override;
  bool Unattended() const override { return unattended_.load(); }

 private:
  void ShowNoticeHere(const std::string& caption, const std::string& text, bool holdCallOver);
  QWidget* parent_;
  // Read by driver threads that raise notices.
  std::atomic<bool> unattended_{false};
};

// "desc|mask|..." to Qt's "desc (mask);;..." list.
QStringList QtNameFilters(std::string_view filter);

}  // namespace zova::ui
