// Fonts for windows laid out in twips for an 8-point system font: where the fonts of this
// desktop are wider than the layout expects, texts shrink or controls grow, so that no text is
// cut off.
#pragma once

#include <QFont>
#include <QProxyStyle>
#include <QString>

class QWidget;

namespace vellumox {

// The point size of the window fonts that the twips layouts were made for.
inline constexpr double kLayoutPointSize = 8.0;

// family at point_size, or smaller until text fits into width pixels.
QFont FontFitting(const QString& family, double point_size, bool bold, const QString& text,
                  int width);

// The desktop's style with the room that small layouts need: slim drop-down arrows, so that a
// narrow list still shows its entry, and less space between a check box and its caption.
class CompactStyle : public QProxyStyle {
 public:
  CompactStyle();
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;
};

// A window laid out in twips for the 8-point font: the font, a fixed size of width x height
// twips, a border with a minimise button and no maximise button.
void SetUpLayoutWindow(QWidget* window, int width_twips, int height_twips);

// Gives a control the width its text needs when it has less: it grows to the right up to
// max_right, then moves left down to min_left, and last its font shrinks.
void WidenToFit(QWidget* control, int max_right, int min_left = -1);

}  // namespace vellumox
