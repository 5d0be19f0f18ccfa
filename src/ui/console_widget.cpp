#include "ui/console_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
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

void ConsoleWidget::paintEvent(QPaintEvent* event) {
  // A busy console changes a line at a time: only the lines in the region
  // are drawn, a character a cell at its baseline (no layout of a box).
  const QRect dirty = event->rect();
  QPainter p(this);
  p.fillRect(dirty, Qt::white);
  p.setFont(font());
  const int ascent = QFontMetrics(font()).ascent();
  const int cw = ConsoleModel::kCharWidth, lh = ConsoleModel::kLineHeight;
  p.setClipRect(QRect(0, 0, kAreaWidth, kAreaHeight) & dirty);
  for (int row = 1; row <= ConsoleModel::kLines; ++row) {
    const int top = (row - 1) * lh + 1;
    if (top > dirty.bottom() || top + lh <= dirty.top()) continue;
    const ConsoleModel::Line& line = model_.LineAt(row);
    int pen = -1;
    for (size_t i = 0; i < line.text.size(); ++i) {
      const char c = line.text[i];
      if (c == ' ') continue;
      if (static_cast<int>(line.colours[i]) != pen) {
        pen = static_cast<int>(line.colours[i]);
        p.setPen(ColourOf(line.colours[i]));
      }
      p.drawText(QPoint(static_cast<int>(i) * cw, top + ascent),
                 QString(QChar(static_cast<unsigned char>(c))));
    }
  }
}

void ConsoleWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_.AddText(0, true, "\r\n", true);
  QWidget::mousePressEvent(event);
}

}  // namespace zova::ui
