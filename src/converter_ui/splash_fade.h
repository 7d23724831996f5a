// The splash window's fade, without a window: a counter that starts at 1 and rises by 5 on
// every timer tick. The opacity climbs 6, 11, ... 251, holds at 255, falls 254, 249, ... 4, and
// at the 480th tick the window closes.
#pragma once

#include <optional>

namespace vellumox {

class SplashFade {
 public:
  struct Step {
    bool close = false;
    std::optional<int> opacity;  // the window's new opacity, 0 to 255
  };
  // One timer tick.
  Step Tick();

 private:
  int t_ = 1;
};

}  // namespace vellumox
