#include "ui/qt_uihost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <future>
#include <optional>

#include "core/globals.h"
#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/paths.h"
#include "core/station_log.h"
#include "ui/qt_callover.h"

namespace zova::ui {

namespace {
std::function<void(QDialog*)> g_modalHook;
}  // namespace

QString FromLatin1(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string ToLatin1(const QString& s) {
  QByteArray b = s.toLatin1();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

void SetModalHook(std::function<void(QDialog*)> hook) {
  g_modalHook = std::move(hook);
}

int ExecModal(QDialog& dialog, bool holdCallOver) {
  std::optional<ModalScope> hold;
  if (holdCallOver) hold.emplace();
  if (g_modalHook) {
    QDialog* d = &dialog;
    QTimer::singleShot(0, d, [d] {
      if (g_modalHook) g_modalHook(d);
    });
  }
  return dialog.exec();
}

QString MessageText(std::string_view s) {
  QString t = FromLatin1(s);
  t.replace("\r\n", "\n");
  t.replace('\r', '\n');
  return t;
}

void QtUiHost::ShowNoticeHere(const std::string& caption, const std::string& text,
                              bool holdCallOver) {
  if (!Unattended()) {
    QMessageBox box(QMessageBox::Information, FromLatin1(caption), MessageText(text),
                    QMessageBox::Ok, parent_);
    ExecModal(box, holdCallOver);
  }
  // A box that a stop closed was seen by nobody either.
  if (Unattended()) LogNotice(caption, text);
}

void QtUiHost::SetUnattended(bool on) {
  unattended_ = on;
  if (!on) return;
  // Each closed box's exec returns once this event has been handled.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog->isVisible() && dialog->isModal()) dialog->done(QDialog::Rejected);
  }
}

void QtUiHost::ShowNotice(std::string_view caption, std::string_view text) {
  if (Unattended()) {
    // No box, so no wait: a closing station must not hang on its drivers'
    // notices.
    LogNotice(caption, text);
    return;
  }
  auto* callOver = dynamic_cast<QtCallOver*>(MainThread::Current());
  if (!callOver || callOver->IsMainThread()) {
    ShowNoticeHere(std::string(caption), std::string(text), true);
    return;
  }
  // Only this caller waits; the call-over stays free for the other drivers.
  auto shown = std::make_shared<std::promise<void>>();
  std::future<void> seen = shown->get_future();
  callOver->Post([this, shown, c = std::string(caption), t = std::string(text)] {
    ShowNoticeHere(c, t, false);
    shown->set_value();
  });
  seen.wait();
}

bool QtUiHost::AskYesNo(std::string_view caption, std::string_view text, bool safeDefault) {
  if (!Unattended()) {
    QMessageBox box(QMessageBox::Question, FromLatin1(caption), MessageText(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText("Ja");
    box.button(QMessageBox::No)->setText("Nei");
    ExecModal(box);
    if (!Unattended()) return box.clickedButton() == box.button(QMessageBox::Yes);
  }
  LogQuestion(caption, text, safeDefault ? "Ja" : "Nei");
  return safeDefault;
}

Answer QtUiHost::AskButtons(std::string_view caption, std::string_view text,
                            const std::vector<std::string>& labels, Answer safeDefault) {
  if (Unattended()) {
    LogQuestion(caption, text, "");
    return safeDefault;
  }
  QMessageBox box(QMessageBox::Question, FromLatin1(caption), MessageText(text),
                  QMessageBox::NoButton, parent_);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  std::vector<QAbstractButton*> buttons;
  for (size_t i = 0; i < labels.size() && i < 3; ++i)
    buttons.push_back(box.addButton(FromLatin1(labels[i]), QMessageBox::AcceptRole));
  if (!buttons.empty()) box.setEscapeButton(buttons.back());
  ExecModal(box);
  if (Unattended()) {
    LogQuestion(caption, text, "");
    return safeDefault;
  }
  const Answer answers[3] = {Answer::Button1, Answer::Button2, Answer::Button3};
  for (size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return answers[i];
  return Answer::Cancel;
}

bool QtUiHost::AskText(std::string_view caption, std::string_view prompt, std::string& value) {
  if (Unattended()) return false;
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(FromLatin1(caption));
  dialog.setLabelText(FromLatin1(prompt));
  dialog.setTextValue(FromLatin1(value));
  if (ExecModal(dialog) != QDialog::Accepted) return false;
  value = ToLatin1(dialog.textValue());
  return true;
}

QStringList QtNameFilters(std::string_view filter) {
  QStringList out;
  QStringList parts = FromLatin1(filter).split('|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i].trimmed(), mask = parts[i + 1].trimmed();
    if (mask.isEmpty()) continue;
    // Qt takes the masks from the parentheses; the description keeps its own text.
    qsizetype paren = desc.lastIndexOf('(');
    if (paren > 0) desc = desc.left(paren).trimmed();
    out << desc + " (" + mask.replace(';', ' ') + ")";
  }
  return out;
}

FileChoice QtUiHost::ChooseFile(std::string_view caption, std::string_view initialDir,
                                std::string_view filter) {
  if (Unattended()) return {};
  std::string dir(initialDir), mask;
  std::string last = FileNameOf(dir);
  if (last.find('*') != std::string::npos) {
    mask = last;
    dir = DirOf(dir);
  }
  QFileDialog dialog(parent_, FromLatin1(caption), FromLatin1(FsPath(dir)));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  QStringList filters = QtNameFilters(filter);
  if (!mask.empty()) filters.prepend(FromLatin1(mask));
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
  if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return {true, ToLatin1(dialog.selectedFiles().first())};
}

FileChoice QtUiHost::SelectFolder(std::string_view caption, std::string_view initialDir) {
  if (Unattended()) return {};
  QFileDialog dialog(parent_, FromLatin1(caption), FromLatin1(FsPath(initialDir)));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return {true, ToLatin1(dialog.selectedFiles().first())};
}

bool QtUiHost::OpenPath(std::string_view program, std::string_view args, std::string_view workDir) {
  if (program.empty()) {
    QString target = FromLatin1(args);
    QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
  }
  QStringList argv = QProcess::splitCommand(FromLatin1(args));
  return QProcess::startDetached(FromLatin1(program), argv, FromLatin1(workDir));
}

void QtUiHost::ShowHelp(std::string_view topic) {
  std::string file = FsPath(Globals().ExeKatalog + "Hjelp/Zova.html");
  QUrl url = QUrl::fromLocalFile(FromLatin1(file));
  url.setFragment(FromLatin1(topic));
  QDesktopServices::openUrl(url);
}

}  // namespace zova::ui
