// Window geometry given in twips (1/1440 inch), as the window layouts are written: 15 twips make
// one pixel at 96 dots per inch, and Qt scales pixels on denser screens.
#pragma once

#include <QPoint>
#include <QRect>

namespace vellumox {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, rounded to the nearest pixel (halves away from zero).
constexpr int TwipsToPixels(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

inline QPoint TwipsPoint(int x, int y) {
  return QPoint(TwipsToPixels(x), TwipsToPixels(y));
}

}  // namespace vellumox
