#include "writer/picture_objects.h"

namespace vellumox {

std::string PlacementMatrix(const PlacementRecord& r) {
  // Per orientation: where the stored picture's x and y axes go in the upright box, as the
  // entries of the matrix in units of the box's width and height: (a b c d e f).
  static constexpr int kTurns[9][6] = {
      {1, 0, 0, 1, 0, 0},   {1, 0, 0, 1, 0, 0},  {-1, 0, 0, 1, 1, 0},
      {-1, 0, 0, -1, 1, 1}, {1, 0, 0, -1, 0, 1}, {0, -1, -1, 0, 1, 1},
      {0, -1, 1, 0, 0, 1},  {0, 1, 1, 0, 0, 0},  {0, 1, -1, 0, 1, 0},
  };
  const int* t = kTurns[r.orientation >= 1 && r.orientation <= 8 ? r.orientation : 1];
  const int64_t w = r.width, h = r.height;
  auto text = [](int64_t v) { return std::to_string(v); };
  return text(t[0] * w) + " " + text(t[1] * h) + " " + text(t[2] * w) + " " + text(t[3] * h) + " " +
         text(t[4] * w + r.x) + " " + text(t[5] * h + r.y);
}

}  // namespace vellumox
