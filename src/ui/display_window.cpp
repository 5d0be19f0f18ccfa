#include "ui/display_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace zova::ui {

DisplayWindow::DisplayWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setFixedSize(330, 45);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 0xFF));
  setPalette(pal);
  label_ = new QLabel(this);
  label_->setAlignment(Qt::AlignCenter);
  label_->setStyleSheet("background: white; color: red; font-weight: bold; font-size: 24px;");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(label_);
}

void DisplayWindow::ShowText(const QString& text) {
  label_->setText(text);
  if (text.isEmpty()) {
    hide();
    return;
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
}

QString DisplayWindow::Text() const {
  return label_->text();
}

}  // namespace zova::ui
