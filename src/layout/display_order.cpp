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

bool HoldsRightToLeft(std::string_view utf8) {
  for (size_t at = 0; at < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    if (byte < 0x80) {  // ASCII holds none
      ++at;
      continue;
    }
    const char32_t c = NextCodePoint(utf8, at);
    // Below Hebrew, from Devanagari to the general punctuation, and from there to the Hebrew
    // presentation forms (CJK among them) no character is right to left or an Arabic number.
    if (c < 0x590 || (c >= 0x900 && c < 0x2000) || (c >= 0x2070 && c < 0xFB1D)) continue;
    if (NeedsTheAlgorithm(fribidi_get_bidi_type(c))) return true;
  }
  return false;
}

std::vector<DirectionRun> DisplayOrder(std::string_view utf8, bool paragraph_right_to_left) {
  if (utf8.empty() || (!paragraph_right_to_left && !HoldsRightToLeft(utf8))) {
    return {{0, utf8.size(), paragraph_right_to_left}};
  }
  std::vector<unsigned char> levels = ParagraphLevels(utf8, paragraph_right_to_left);
  // Trailing blanks take the paragraph's level (the last step of the algorithm).
  std::vector<size_t> starts;
  for (size_t at = 0; at < utf8.size(); NextCodePoint(utf8, at)) starts.push_back(at);
  const unsigned char base = paragraph_right_to_left ? 1 : 0;
  for (size_t i = starts.size(); i > 0; --i) {
    size_t at = starts[i - 1];
    if (!FRIBIDI_IS_EXPLICIT_OR_BN_OR_WS(fribidi_get_bidi_type(NextCodePoint(utf8, at)))) break;
    for (size_t b = starts[i - 1]; b < at; ++b) levels[b] = base;
  }
  // Runs of one level, in typed order, then in the order they stand.
  std::vector<DirectionRun> runs;
  std::vector<unsigned char> run_levels;
  for (size_t b = 0; b < utf8.size(); ++b) {
    if (runs.empty() || run_levels.back() != levels[b]) {
      runs.push_back({b, b + 1, (levels[b] & 1) != 0});
      run_levels.push_back(levels[b]);
    } else {
      runs.back().end = b + 1;
    }
  }
  std::vector<DirectionRun> order;
  order.reserve(runs.size());
  for (size_t k : ReorderedRuns(run_levels)) order.push_back(runs[k]);
  return order;
}

std::vector<unsigned char> ParagraphLevels(std::string_view utf8, bool paragraph_right_to_left) {
  const unsigned char base = paragraph_right_to_left ? 1 : 0;
  std::vector<unsigned char> bytes(utf8.size(), base);
  std::vector<FriBidiChar> characters;
  std::vector<size_t> offsets;
  bool any = paragraph_right_to_left;
  for (size_t at = 0; at < utf8.size();) {
    offsets.push_back(at);
    characters.push_back(NextCodePoint(utf8, at));
    any = any || NeedsTheAlgorithm(fribidi_get_bidi_type(characters.back()));
  }
  if (!any || characters.empty()) return bytes;
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
    return bytes;  // out of memory: every character at the paragraph's level
  }
  for (size_t i = 0; i < characters.size(); ++i) {
    for (size_t b = offsets[i]; b < offsets[i + 1]; ++b) {
      bytes[b] = static_cast<unsigned char>(levels[i]);
    }
  }
  return bytes;
}

std::vector<size_t> ReorderedRuns(const std::vector<unsigned char>& levels) {
  std::vector<size_t> order(levels.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = k;
  int highest = 0, lowest_odd = FRIBIDI_BIDI_MAX_RESOLVED_LEVELS;
  for (unsigned char level : levels) {
    highest = std::max<int>(highest, level);
    if (level & 1) lowest_odd = std::min<int>(lowest_odd, level);
  }
  for (int level = highest; level >= lowest_odd && level > 0; --level) {
    for (size_t i = 0; i < order.size();) {
      if (levels[order[i]] < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < order.size() && levels[order[j]] >= level) ++j;
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i),
                   order.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  }
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
