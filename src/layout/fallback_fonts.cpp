#include "layout/fallback_fonts.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/file_system.h"
#include "writer/code_page.h"
#include "writer/embedded_font.h"
#include "writer/standard_fonts.h"

namespace vellumox {

namespace {

bool Holds(std::string_view name, std::string_view word) {
  return name.find(word) != std::string_view::npos;
}

// Where fontconfig looks when its configuration file cannot be found: what it would look in
// itself, the system's fonts and the user's, with the system's caches.
constexpr const char* kFallbackConfig =
    "<fontconfig><dir>/usr/share/fonts</dir><dir prefix=\"xdg\">fonts</dir>"
    "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir>"
    "</fontconfig>";

// fontconfig, set up once for the process before anything else asks it: its own start-up
// prints its complaints on standard error, in its words, and reads every font when its
// configuration file is missing. Afterwards nothing here changes.
struct FontSetup {
  std::string problem;  // what went wrong in setting up, in our words; empty when nothing did
  FcCharSet* coverage = nullptr;  // every character that some face with TrueType outlines has
};

// The configuration file that fontconfig would read: $FONTCONFIG_FILE, or fonts.conf in
// $FONTCONFIG_PATH, else the system's. (Asking fontconfig would start it up with its
// complaints.)
std::string ConfigurationFile() {
  if (const char* file = std::getenv("FONTCONFIG_FILE"); file && *file) return file;
  if (const char* path = std::getenv("FONTCONFIG_PATH"); path && *path) {
    return std::string(path) + "/fonts.conf";
  }
  return "/etc/fonts/fonts.conf";
}

const FontSetup& Setup() {
  static const FontSetup setup = [] {
    FontSetup s;
    FcConfig* config = FcConfigCreate();
    const std::string file = ConfigurationFile();
    const bool readable = IsRegularFile(file);
    if (!readable ||
        !FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.c_str()), FcTrue)) {
      FcConfigDestroy(config);
      config = FcConfigCreate();
      FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kFallbackConfig),
                                     FcFalse);
      s.problem = "fontconfig's configuration '" + file + "' cannot be " +
                  (readable ? "read" : "found") +
                  "; fonts for characters beyond Windows-1252 are looked for in /usr/share/fonts "
                  "and ~/.local/share/fonts only";
    }
    FcConfigBuildFonts(config);
    FcConfigSetCurrent(config);  // fontconfig holds it from here on
    FcConfigDestroy(config);
    s.coverage = FcCharSetCreate();
    if (FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem)) {
      for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* format = nullptr;
        FcCharSet* covers = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FONTFORMAT, 0, &format) == FcResultMatch &&
            std::string_view(reinterpret_cast<const char*>(format)) == "TrueType" &&
            FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &covers) == FcResultMatch) {
          FcCharSetMerge(s.coverage, covers, nullptr);
        }
      }
    }
    return s;
  }();
  return setup;
}

}  // namespace

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
  const FontSetup& setup = Setup();
  if (!setup.problem.empty()) writer_.WarnOnce("fontconfig", setup.problem);
  // A character that no face has at all is known so at once, without a search of the faces
  // (which takes about a millisecond, a long time for a text of many such characters).
  const Font* found =
      FcCharSetHasChar(setup.coverage, character) ? Find(character, style) : nullptr;
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
