#include "desktop/program_icon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace vellumox {

QPixmap ProgramPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 64.0;
  // The page, its corner folded down.
  QPainterPath page;
  page.moveTo(12 * s, 4 * s);
  page.lineTo(42 * s, 4 * s);
  page.lineTo(54 * s, 16 * s);
  page.lineTo(54 * s, 60 * s);
  page.lineTo(12 * s, 60 * s);
  page.closeSubpath();
  p.setPen(QPen(QColor(60, 60, 60), 2 * s));
  p.setBrush(Qt::white);
  p.drawPath(page);
  QPainterPath corner;
  corner.moveTo(42 * s, 4 * s);
  corner.lineTo(42 * s, 16 * s);
  corner.lineTo(54 * s, 16 * s);
  p.setBrush(QColor(220, 220, 220));
  p.drawPath(corner);
  // Lines of text.
  p.setPen(QPen(QColor(120, 120, 120), 2 * s));
  for (int y = 22; y <= 30; y += 4) p.drawLine(QPointF(18 * s, y * s), QPointF(48 * s, y * s));
  // The band.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 16, 16));
  p.drawRect(QRectF(6 * s, 36 * s, 42 * s, 18 * s));
  QFont font("Sans Serif");
  font.setBold(true);
  font.setPixelSize(static_cast<int>(13 * s));
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(6 * s, 36 * s, 42 * s, 18 * s), Qt::AlignCenter, "PDF");
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(ProgramPixmap(size));
  return icon;
}

}  // namespace vellumox
