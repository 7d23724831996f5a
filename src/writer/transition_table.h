// Page transition effects, by the position in the window's transition list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellumox {

struct TransitionEntry {
  std::string_view name;   // list entry
  std::string_view style;  // text after "/S /"; empty for no /Trans line
};

inline constexpr std::array<TransitionEntry, 19> TransitionTable = {{
    {"Replace", ""},
    {"Dissolve", "Dissolve >>"},
    {"Wipe Left-Right", "Wipe /Di 0 >>"},
    {"Wipe Down-Up", "Wipe /Di 90 >>"},
    {"Wipe Right-Left", "Wipe /Di 180 >>"},
    {"Wipe Up-Down", "Wipe /Di 270 >>"},
    {"Split Horiz In", "Split /Dm /H /M /I >>"},
    {"Split Horiz Out", "Split /Dm /H /M /O >>"},
    {"Split Vert In", "Split /Dm /V /M /I >>"},
    {"Split Vert Out", "Split /Dm /V /M /O >>"},
    {"Glitter Left-Right", "Glitter /Di 0 >>"},
    {"Glitter Down-Up", "Glitter /Di 90 >>"},
    {"Glitter Right-Left", "Glitter /Di 180 >>"},
    {"Glitter Up-Down", "Glitter /Di 270 >>"},
    {"Glitter Diagonal", "Glitter /Di 315 >>"},
    {"Box In", "Box /M /I >>"},
    {"Box Out", "Box /M /O >>"},
    {"Blinds Horizontal", "Blinds /Dm /H >>"},
    {"Blinds Vertical", "Blinds /Dm /V >>"},
}};

// The transitions by name, in the table's order.
enum class Transition : int16_t {
  kReplace,
  kDissolve,
  kWipeLeftRight,
  kWipeDownUp,
  kWipeRightLeft,
  kWipeUpDown,
  kSplitHorizontalIn,
  kSplitHorizontalOut,
  kSplitVerticalIn,
  kSplitVerticalOut,
  kGlitterLeftRight,
  kGlitterDownUp,
  kGlitterRightLeft,
  kGlitterUpDown,
  kGlitterDiagonal,
  kBoxIn,
  kBoxOut,
  kBlindsHorizontal,
  kBlindsVertical,
};
static_assert(static_cast<size_t>(Transition::kBlindsVertical) + 1 == TransitionTable.size());

// The page dictionary line of a transition index, or empty when none is written (index 0 and
// every index outside the table).
std::string TransitionLine(int16_t index);

}  // namespace vellumox
