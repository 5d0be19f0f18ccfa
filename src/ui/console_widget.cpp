#include "ui/console_widget.h"

#include <QMouseEvent>
#include <QPainter>

namespace zova::ui {

namespace {
constexpr int kAreaWidth = 640;
constexpr int kAreaHeight = 244;
}  // namespace

ConsoleWidget::ConsoleWidget(ConsoleModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  QFont font("Courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(11);
  setFont(font);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  model_.onChanged = [this](int row) { LineChanged(row); };
}

ConsoleWidget::~ConsoleWidget() {
  model_.onChanged = nullptr;
}

QColor ConsoleWidget::ColourOf(ConsoleColour c) {
  switch (c) {
    case ConsoleColour::Red:
      return QColor(0xFF, 0, 0);
    case ConsoleColour::Green:
      return QColor(0, 0x80, 0);
    case ConsoleColour::Blue:
      return QColor(0, 0, 0xFF);
    case ConsoleColour::Navy:
      return QColor(0, 0, 0x80);
    case ConsoleColour::Black:
      break;
  }
  return QColor(0, 0, 0);
}

void ConsoleWidget::LineChanged(int row) {
  if (row <= 0)
    update();
  else
    update(0, (row - 1) * ConsoleModel::kLineHeight, width(), ConsoleModel::kLineHeight + 2);
}

void ConsoleWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setFont(font());
  QFontMetrics fm(font());
  const int cw = ConsoleModel::kCharWidth, lh = ConsoleModel::kLineHeight;
  p.setClipRect(0, 0, kAreaWidth, kAreaHeight);
  for (int row = 1; row <= ConsoleModel::kLines; ++row) {
    const ConsoleModel::Line& line = model_.LineAt(row);
    int top = (row - 1) * lh + 1;
    for (size_t i = 0; i < line.text.size(); ++i) {
      char c = line.text[i];
      if (c == ' ') continue;
      p.setPen(ColourOf(line.colours[i]));
      QRect cell(static_cast<int>(i) * cw, top, cw, lh);
      p.drawText(cell, Qt::AlignLeft | Qt::AlignTop, QString(QChar(static_cast<unsigned char>(c))));
    }
  }
  (void)fm;
}

void ConsoleWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_.AddText(0, true, "\r\n", true);
  QWidget::mousePressEvent(event);
}

}  // namespace zova::ui
