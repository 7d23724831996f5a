#include "layout/display_order.h"

#include <fribidi.h>

#include <algorithm>

#include "writer/code_page.h"

namespace vellumox {

namespace {

bool NeedsTheAlgorithm(FriBidiCharType type) {
  return FRIBIDI_IS_RTL(type) || FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type) ||
         type == FRIBIDI_TYPE_AN;
}

}  // namespace

bool StartsRightToLeft(std::string_view utf8) {
  for (size_t at = 0; at < utf8.size();) {
    const FriBidiCharType type = fribidi_get_bidi_type(NextCodePoint(utf8, at));
    if (FRIBIDI_IS_LETTER(type) && FRIBIDI_IS_STRONG(type)) return FRIBIDI_IS_RTL(type);
  }
  return false;
}

std::vector<DirectionRun> DisplayOrder(std::string_view utf8, bool paragraph_right_to_left) {
  std::vector<FriBidiChar> characters;
  std::vector<size_t> offsets;  // where each character starts
  bool any = paragraph_right_to_left;
  for (size_t at = 0; at < utf8.size();) {
    offsets.push_back(at);
    characters.push_back(NextCodePoint(utf8, at));
    any = any || NeedsTheAlgorithm(fribidi_get_bidi_type(characters.back()));
  }
  if (!any || characters.empty()) return {{0, utf8.size(), paragraph_right_to_left}};
  offsets.push_back(utf8.size());

  const auto n = static_cast<FriBidiStrIndex>(characters.size());
  std::vector<FriBidiCharType> types(characters.size());
  std::vector<FriBidiBracketType> brackets(characters.size());
  std::vector<FriBidiLevel> levels(characters.size());
  fribidi_get_bidi_types(characters.data(), n, types.data());
  fribidi_get_bracket_types(characters.data(), n, types.data(), brackets.data());
  FriBidiParType direction = paragraph_right_to_left ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
  if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &direction,
                                          levels.data()) == 0) {
    return {{0, utf8.size(), paragraph_right_to_left}};  // out of memory: typed order
  }
  // Trailing blanks take the paragraph's level (the last step of the algorithm).
  const FriBidiLevel base = paragraph_right_to_left ? 1 : 0;
  for (size_t i = characters.size(); i > 0 && FRIBIDI_IS_EXPLICIT_OR_BN_OR_WS(types[i - 1]); --i) {
    levels[i - 1] = base;
  }

  // Runs of one level, in typed order.
  struct Level {
    DirectionRun run;
    FriBidiLevel level;
  };
  std::vector<Level> runs;
  for (size_t i = 0; i < characters.size(); ++i) {
    if (runs.empty() || runs.back().level != levels[i]) {
      runs.push_back({{offsets[i], offsets[i + 1], (levels[i] & 1) != 0}, levels[i]});
    } else {
      runs.back().run.end = offsets[i + 1];
    }
  }
  // From the highest level down to the lowest odd one, every sequence of runs at that level
  // or above is reversed.
  int highest = 0, lowest_odd = FRIBIDI_BIDI_MAX_RESOLVED_LEVELS;
  for (const Level& r : runs) {
    highest = std::max<int>(highest, r.level);
    if (r.level & 1) lowest_odd = std::min<int>(lowest_odd, r.level);
  }
  for (int level = highest; level >= lowest_odd && level > 0; --level) {
    for (size_t i = 0; i < runs.size();) {
      if (runs[i].level < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < runs.size() && runs[j].level >= level) ++j;
      std::reverse(runs.begin() + static_cast<std::ptrdiff_t>(i),
                   runs.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  }
  std::vector<DirectionRun> order;
  order.reserve(runs.size());
  for (const Level& r : runs) order.push_back(r.run);
  return order;
}

std::string ReversedForDisplay(std::string_view text) {
  std::string out(text.rbegin(), text.rend());
  for (char& c : out) {
    FriBidiChar mirrored = 0;
    const auto byte = static_cast<unsigned char>(c);
    // The ASCII brackets and the guillemets, whose mirrors are in Windows-1252 too.
    if ((byte < 0x80 || byte == 0xAB || byte == 0xBB) && fribidi_get_mirror_char(byte, &mirrored) &&
        mirrored < 0x100) {
      c = static_cast<char>(mirrored);
    }
  }
  return out;
}

}  // namespace vellumox
