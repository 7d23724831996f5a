#include "converter_ui/splash_fade.h"

namespace vellumox {

SplashFade::Step SplashFade::Tick() {
  Step step;
  if (t_ <= 0) return step;
  t_ += 5;
  if (t_ > 2145) {
    if (t_ <= 2400) {
      step.opacity = 2400 - t_;  // fading out
    } else {
      step.close = true;
      t_ = 0;  // the timer stops
    }
  } else if (t_ - 1 >= 255) {
    step.opacity = 255;  // holding
  } else {
    step.opacity = t_;  // fading in
  }
  return step;
}

}  // namespace vellumox
