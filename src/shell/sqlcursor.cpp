#include "shell/sqlcursor.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QCursor sqlWaitCursor() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // Hourglass: two glass triangles between two bars.
  QPainterPath glass;
  glass.moveTo(4, 2);
  glass.lineTo(16, 2);
  glass.lineTo(10, 10);
  glass.lineTo(16, 18);
  glass.lineTo(4, 18);
  glass.lineTo(10, 10);
  glass.closeSubpath();
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawPath(glass);
  painter.setBrush(QColor(200, 160, 60));
  painter.drawPolygon(QPolygonF({QPointF(7, 15), QPointF(13, 15), QPointF(10, 11)}));
  painter.setBrush(Qt::black);
  painter.drawRect(3, 1, 14, 1);
  painter.drawRect(3, 18, 14, 1);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(8);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) painter.drawText(QRect(dx, 20 + dy, 20, 10), Qt::AlignCenter, "SQL");
  painter.setPen(Qt::black);
  painter.drawText(QRect(0, 20, 20, 10), Qt::AlignCenter, "SQL");
  painter.end();
  return QCursor(pixmap, 10, 10);
}
