#pragma once
// Paints the console model: 16 lines of 80 characters in a fixed-pitch font,
// 8 x 15 pixels a character, on white. A click writes CR LF for machine 0.

#include <QWidget>

#include "core/model/console_model.h"

namespace zova::ui {

class ConsoleWidget : public QWidget {
  Q_OBJECT
 public:
  ConsoleWidget(ConsoleModel& model, QWidget* parent = nullptr);
  ~ConsoleWidget() override;

  static QColor ColourOf(ConsoleColour c);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void LineChanged(int row);

  ConsoleModel& model_;
};

}  // namespace zova::ui
