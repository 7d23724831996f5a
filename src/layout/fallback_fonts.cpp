#include "layout/fallback_fonts.h"

#include <fontconfig/fontconfig.h>
#include <hb.h>

#include <cstdio>
#include <memory>

#include "writer/code_page.h"
#include "writer/embedded_font.h"
#include "writer/standard_fonts.h"

namespace vellumox {

namespace {

bool Holds(std::string_view name, std::string_view word) {
  return name.find(word) != std::string_view::npos;
}

}  // namespace

bool IsCombiningMark(char32_t c) {
  const hb_unicode_general_category_t category =
      hb_unicode_general_category(hb_unicode_funcs_get_default(), c);
  return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

size_t ClusterEnd(std::string_view utf8, size_t start) {
  size_t end = start;
  NextCodePoint(utf8, end);
  for (size_t next = end; next < utf8.size();) {
    if (!IsCombiningMark(NextCodePoint(utf8, next))) break;
    end = next;
  }
  return end;
}

void FallbackFonts::Reset() {
  faces_.clear();
  opened_.clear();
  by_character_.clear();
  missing_.clear();
}

FallbackFonts::Style FallbackFonts::StyleOf(const Font& standard) {
  Style style;
  const auto* font = dynamic_cast<const StandardFont*>(&standard);
  const std::string name = font ? font->BaseFont() : std::string();
  if (Holds(name, "Courier")) {
    style.kind = 0;
  } else if (Holds(name, "Times")) {
    style.kind = 1;
  }
  style.bold = Holds(name, "Bold");
  style.italic = Holds(name, "Italic") || Holds(name, "Oblique");
  return style;
}

const Font* FallbackFonts::For(char32_t character, const Font& standard) {
  const Style style = StyleOf(standard);
  auto [known, fresh] = by_character_.try_emplace({style, character}, nullptr);
  if (!fresh) return known->second;
  // A face already taken in this style shows most characters of the same script.
  for (const Font* face : faces_[style]) {
    if (static_cast<const EmbeddedFont*>(face)->Covers(character)) return known->second = face;
  }
  const Font* found = Find(character, style);
  if (!found) missing_.insert(character);
  return known->second = found;
}

const Font* FallbackFonts::Find(char32_t character, const Style& style) {
  static constexpr const char* kFamilies[] = {"monospace", "serif", "sans-serif"};
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFamilies[style.kind]));
  FcPatternAddInteger(pattern, FC_WEIGHT, style.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, style.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcCharSet* wanted = FcCharSetCreate();
  FcCharSetAddChar(wanted, character);
  FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
  const Font* found = nullptr;
  for (int i = 0; sorted && i < sorted->nfont && !found; ++i) {
    FcPattern* candidate = sorted->fonts[i];
    FcCharSet* covers = nullptr;
    if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &covers) != FcResultMatch ||
        !FcCharSetHasChar(covers, character)) {
      continue;
    }
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch) continue;
    FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
    const std::string key =
        std::string(reinterpret_cast<const char*>(file)) + "#" + std::to_string(index);
    auto opened = opened_.find(key);
    if (opened != opened_.end()) {
      found = opened->second;
      if (found && !static_cast<const EmbeddedFont*>(found)->Covers(character)) found = nullptr;
      continue;
    }
    // Faces with TrueType outlines only; one that cannot be embedded is remembered as such.
    std::unique_ptr<EmbeddedFont> face = EmbeddedFont::Open(
        reinterpret_cast<const char*>(file), static_cast<unsigned>(index), writer_.NextFontName());
    if (!face || !face->Covers(character)) {
      opened_[key] = nullptr;
      continue;
    }
    found = opened_[key] = &writer_.AddFont(std::move(face));
  }
  if (sorted) FcFontSetDestroy(sorted);
  FcCharSetDestroy(wanted);
  FcPatternDestroy(pattern);
  if (found) faces_[style].push_back(found);
  return found;
}

std::string FallbackFonts::MissingWarning() const {
  if (missing_.empty()) return std::string();
  std::string named;
  int count = 0;
  char code[16];
  for (char32_t c : missing_) {
    if (++count > 10) break;
    std::snprintf(code, sizeof code, " U+%04X", static_cast<unsigned>(c));
    named += code;
  }
  const size_t n = missing_.size();
  return std::to_string(n) + (n == 1 ? " character" : " characters") +
         " could not be shown (no installed font has" + named + ")";
}

FontRuns SplitIntoFontRuns(std::string_view utf8, const Font& standard, FallbackFonts& fallback) {
  FontRuns runs;
  auto append = [&](const Font* font, std::string_view text) {
    if (runs.texts.empty() || runs.fonts.back() != font) {
      runs.texts.emplace_back();
      runs.fonts.push_back(font);
    }
    runs.texts.back().append(text);
  };
  std::vector<char32_t> cluster;
  for (size_t at = 0; at < utf8.size();) {
    // A character and the marks after it.
    const size_t start = at;
    const size_t end = ClusterEnd(utf8, start);
    cluster.clear();
    while (at < end) cluster.push_back(NextCodePoint(utf8, at));
    std::string bytes;
    bool representable = true;
    for (char32_t c : cluster) {
      const int byte = Windows1252ByteOf(c);
      representable = representable && byte >= 0;
      bytes += static_cast<char>(byte >= 0 ? byte : '?');
    }
    if (representable) {
      append(nullptr, bytes);
      continue;
    }
    const Font* face = fallback.For(cluster.front(), standard);
    if (face) {
      append(face, utf8.substr(start, at - start));
    } else {
      append(nullptr, bytes);  // "?" where nothing shows the character
    }
  }
  return runs;
}

}  // namespace vellumox
