#include "desktop/window_fonts.h"

#include <QFontMetrics>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <QWidget>

#include "desktop/program_icon.h"
#include "desktop/twips.h"

namespace vellumox {

QFont FontFitting(const QString& family, double point_size, bool bold, const QString& text,
                  int width) {
  QFont font(family);
  font.setBold(bold);
  for (double size = point_size; size >= 6; size -= 0.5) {
    font.setPointSizeF(size);
    if (QFontMetrics(font).horizontalAdvance(text) <= width) break;
  }
  return font;
}

namespace {
constexpr int kArrowWidth = 10;
}

CompactStyle::CompactStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

QRect CompactStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl sub, const QWidget* widget) const {
  if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
    const QRect frame = option->rect;
    if (sub == SC_ComboBoxArrow) {
      return QRect(frame.right() - kArrowWidth, frame.top(), kArrowWidth, frame.height());
    }
    return QRect(frame.left() + 2, frame.top() + 2, frame.width() - kArrowWidth - 3,
                 frame.height() - 4);
  }
  return QProxyStyle::subControlRect(control, option, sub, widget);
}

int CompactStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
  if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing) return 3;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

void SetUpLayoutWindow(QWidget* window, int width_twips, int height_twips) {
  window->setWindowIcon(ProgramIcon());
  window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint);
  window->setFixedSize(TwipsToPixels(width_twips), TwipsToPixels(height_twips));
  QFont font = window->font();
  font.setPointSizeF(kLayoutPointSize);
  window->setFont(font);
}

void WidenToFit(QWidget* control, int max_right, int min_left) {
  const int wanted = control->sizeHint().width();
  if (wanted <= control->width()) return;
  int left = control->x();
  if (left + wanted > max_right && min_left >= 0) {
    left = std::max(min_left, max_right - wanted);
  }
  control->setGeometry(left, control->y(), std::min(wanted, max_right - left), control->height());
  // Where even that is not enough, the caption takes a smaller size.
  QFont font = control->font();
  while (control->sizeHint().width() > control->width() && font.pointSizeF() > 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    control->setFont(font);
  }
}

}  // namespace vellumox
