#pragma once
// The borderless display of alarms and displays: 330 x 45, blue, stay on
// top, centred on the screen, one white label with bold red 24-pixel text.

#include <QWidget>

class QLabel;

namespace zova::ui {

class DisplayWindow : public QWidget {
  Q_OBJECT
 public:
  explicit DisplayWindow(QWidget* parent = nullptr);
  // Empty text hides the window; any other shows it in front.
  void ShowText(const QString& text);
  QString Text() const;

 private:
  QLabel* label_;
};

}  // namespace zova::ui
