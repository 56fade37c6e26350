#include "shell/glowbutton.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionButton>

GlowButton::GlowButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { setAttribute(Qt::WA_Hover); }

void GlowButton::setPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void GlowButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  const bool pressed = isDown() || isChecked();
  const bool lit = isEnabled() && (pressed || underMouse());
  QLinearGradient fill(0, 0, 0, height());
  if (pressed) {
    fill.setColorAt(0, QColor(176, 206, 240));
    fill.setColorAt(1, QColor(214, 231, 250));
  } else if (lit) {
    fill.setColorAt(0, QColor(232, 242, 254));
    fill.setColorAt(0.5, QColor(208, 227, 250));
    fill.setColorAt(1, QColor(188, 214, 246));
  } else {
    fill.setColorAt(0, QColor(250, 251, 253));
    fill.setColorAt(1, QColor(230, 234, 241));
  }
  painter.fillRect(frame, fill);
  painter.setPen(lit ? QColor(160, 168, 180) : QColor(184, 190, 200));
  painter.drawRect(frame);
  if (hasFocus()) {
    painter.setPen(QPen(QColor(120, 150, 200), 1, Qt::DotLine));
    painter.drawRect(frame.adjusted(2, 2, -2, -2));
  }
  const int gap = picture_.isNull() ? 0 : 5;
  const int pictureWidth = picture_.isNull() ? 0 : qRound(picture_.width() / picture_.devicePixelRatio());
  const int pictureHeight = picture_.isNull() ? 0 : qRound(picture_.height() / picture_.devicePixelRatio());
  const int textWidth = fontMetrics().horizontalAdvance(text());
  int x = (width() - pictureWidth - gap - textWidth) / 2;
  if (!picture_.isNull()) {
    painter.drawPixmap(x, (height() - pictureHeight) / 2, picture_);
    x += pictureWidth + gap;
  }
  painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(150, 150, 150));
  painter.drawText(QRect(x, 0, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}
