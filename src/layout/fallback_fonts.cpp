#include "layout/fallback_fonts.h"

#include <fontconfig/fontconfig.h>
#include <fribidi.h>
#include <hb.h>

#include <algorithm>
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
  opened_.clear();
  script_faces_.clear();
  found_.clear();
  missing_.clear();
}

void FallbackFonts::SetParagraph(std::string_view utf8, bool right_to_left) {
  paragraph_right_to_left_ = right_to_left;
  paragraph_kana_ = false;
  for (size_t at = 0; at < utf8.size() && !paragraph_kana_;) {
    const char32_t c = NextCodePoint(utf8, at);
    paragraph_kana_ = (c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) ||
                      (c >= 0xFF66 && c <= 0xFF9F);
  }
}

FallbackFonts::Style FallbackFonts::StyleOf(const Font& standard) {
  const auto* font = dynamic_cast<const StandardFont*>(&standard);
  return font ? font->Style() : Style();
}

namespace {

bool RealScript(hb_script_t script) {
  return script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED &&
         script != HB_SCRIPT_UNKNOWN && script != HB_SCRIPT_INVALID;
}

bool IsMarkCategory(hb_unicode_general_category_t category) {
  return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
         category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

// Letters, marks and digits make words; blanks, punctuation and symbols stand between them.
bool WordCategory(hb_unicode_general_category_t category) {
  switch (category) {
    case HB_UNICODE_GENERAL_CATEGORY_LOWERCASE_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_MODIFIER_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_OTHER_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_TITLECASE_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_UPPERCASE_LETTER:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_DECIMAL_NUMBER:
    case HB_UNICODE_GENERAL_CATEGORY_LETTER_NUMBER:
    case HB_UNICODE_GENERAL_CATEGORY_OTHER_NUMBER:
      return true;
    default:
      return false;
  }
}

bool WordCharacter(char32_t c) {
  return WordCategory(hb_unicode_general_category(hb_unicode_funcs_get_default(), c));
}

// Whether a text holds a character that right-to-left text shows as its mirror image.
bool Mirrored(std::string_view utf8) {
  for (size_t at = 0; at < utf8.size();) {
    FriBidiChar mirror = 0;
    if (fribidi_get_mirror_char(NextCodePoint(utf8, at), &mirror)) return true;
  }
  return false;
}

// Whether a face shows every character of a text (those drawn as nothing aside, which any face
// passes on as it can).
bool CoversAll(const Font* face, std::string_view utf8) {
  if (!face) return false;
  const auto* embedded = static_cast<const EmbeddedFont*>(face);
  for (size_t at = 0; at < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, at);
    if (embedded->Covers(c)) continue;
    // Joiners and directional marks are drawn as nothing, in any face; punctuation is drawn,
    // and a face without it would show an empty box.
    const hb_unicode_general_category_t category =
        hb_unicode_general_category(hb_unicode_funcs_get_default(), c);
    if (category != HB_UNICODE_GENERAL_CATEGORY_FORMAT &&
        category != HB_UNICODE_GENERAL_CATEGORY_CONTROL) {
      return false;
    }
  }
  return true;
}

// The class of an installed face by its family names: monospace, serif or sans.
FontClass ClassOf(FcPattern* face) {
  int spacing = 0;
  if (FcPatternGetInteger(face, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_MONO) {
    return FontClass::kMonospace;
  }
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(face, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    const std::string_view name(reinterpret_cast<const char*>(family));
    for (std::string_view mono : {"Mono", "Coding"}) {
      if (Holds(name, mono)) return FontClass::kMonospace;
    }
    for (std::string_view serif :
         {"Serif", "Naskh", "Myeongjo", "Mincho", "Song", "Ming", "Batang"}) {
      if (Holds(name, serif)) return FontClass::kSerif;
    }
  }
  return FontClass::kSans;
}

// Faces of a script's special styles (a Hebrew script of commentaries, Arabic Kufi and
// Nastaliq, looped Thai), and condensed ones: taken only where nothing plainer has the text.
bool SpecialStyle(FcPattern* face) {
  FcChar8* family = nullptr;
  if (FcPatternGetString(face, FC_FAMILY, 0, &family) != FcResultMatch) return false;
  const std::string_view name(reinterpret_cast<const char*>(family));
  for (std::string_view special : {"Rashi", "Kufi", "Nastaliq", "Looped", "Condensed"}) {
    if (Holds(name, special)) return true;
  }
  return false;
}

}  // namespace

std::string FallbackFonts::LanguageOf(uint32_t script) const {
  switch (static_cast<hb_script_t>(script)) {
    case HB_SCRIPT_CYRILLIC:
      return "ru";
    case HB_SCRIPT_GREEK:
      return "el";
    case HB_SCRIPT_HEBREW:
      return "he";
    case HB_SCRIPT_ARABIC:
      return "ar";
    case HB_SCRIPT_SYRIAC:
      return "syr";
    case HB_SCRIPT_THAANA:
      return "dv";
    case HB_SCRIPT_ARMENIAN:
      return "hy";
    case HB_SCRIPT_GEORGIAN:
      return "ka";
    case HB_SCRIPT_DEVANAGARI:
      return "hi";
    case HB_SCRIPT_BENGALI:
      return "bn";
    case HB_SCRIPT_GURMUKHI:
      return "pa";
    case HB_SCRIPT_GUJARATI:
      return "gu";
    case HB_SCRIPT_ORIYA:
      return "or";
    case HB_SCRIPT_TAMIL:
      return "ta";
    case HB_SCRIPT_TELUGU:
      return "te";
    case HB_SCRIPT_KANNADA:
      return "kn";
    case HB_SCRIPT_MALAYALAM:
      return "ml";
    case HB_SCRIPT_SINHALA:
      return "si";
    case HB_SCRIPT_THAI:
      return "th";
    case HB_SCRIPT_LAO:
      return "lo";
    case HB_SCRIPT_TIBETAN:
      return "bo";
    case HB_SCRIPT_MYANMAR:
      return "my";
    case HB_SCRIPT_KHMER:
      return "km";
    case HB_SCRIPT_ETHIOPIC:
      return "am";
    case HB_SCRIPT_HANGUL:
      return "ko";
    case HB_SCRIPT_HIRAGANA:
    case HB_SCRIPT_KATAKANA:
      return "ja";
    case HB_SCRIPT_BOPOMOFO:
      return "zh-tw";
    case HB_SCRIPT_HAN:
      return paragraph_kana_ ? "ja" : "zh-cn";
    default:
      return std::string();
  }
}

void FallbackFonts::KeepLineRuns(std::string_view line, const Font& standard,
                                 std::vector<FaceRun> runs) {
  kept_line_ = line;
  kept_standard_ = &standard;
  kept_runs_ = std::move(runs);
}

void FallbackFonts::DropLineRuns() {
  kept_line_ = std::string_view();
  kept_standard_ = nullptr;
  kept_runs_.clear();
}

std::vector<FaceRun> FallbackFonts::Runs(std::string_view utf8, const Font& standard,
                                         std::vector<size_t>* cluster_ends) {
  if (!cluster_ends && &standard == kept_standard_ && utf8.data() >= kept_line_.data() &&
      utf8.data() + utf8.size() <= kept_line_.data() + kept_line_.size()) {
    // A piece of the line being laid out: in the faces that the line's runs give it, as it was
    // measured.
    const size_t begin = static_cast<size_t>(utf8.data() - kept_line_.data());
    const size_t end = begin + utf8.size();
    std::vector<FaceRun> runs;
    auto run = std::upper_bound(kept_runs_.begin(), kept_runs_.end(), begin,
                                [](size_t at, const FaceRun& r) { return at < r.end; });
    for (; run != kept_runs_.end() && run->begin < end; ++run) {
      runs.push_back(
          {std::max(run->begin, begin) - begin, std::min(run->end, end) - begin, run->face});
    }
    return runs;
  }
  const Style style = StyleOf(standard);
  // The clusters (a character and the marks after it, ClusterEnd's units), each character
  // decoded and looked up once.
  using Cluster = RunCluster;
  std::vector<Cluster>& clusters = clusters_;
  clusters.clear();
  hb_unicode_funcs_t* funcs = hb_unicode_funcs_get_default();
  int marks = 0;
  for (size_t at = 0; at < utf8.size();) {
    const size_t start = at;
    const char32_t c = NextCodePoint(utf8, at);
    if (c < 0x80) {
      const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
      clusters.push_back({start, at, letter || (c >= '0' && c <= '9'), true,
                          letter ? HB_SCRIPT_LATIN : HB_SCRIPT_COMMON});
      marks = 0;
      continue;
    }
    const hb_unicode_general_category_t category = hb_unicode_general_category(funcs, c);
    const bool windows1252 = Windows1252ByteOf(c) >= 0;
    if (IsMarkCategory(category) && !clusters.empty() && marks < kMaxCombiningMarks) {
      clusters.back().end = at;
      clusters.back().windows1252 = clusters.back().windows1252 && windows1252;
      ++marks;
      continue;
    }
    marks = 0;
    clusters.push_back(
        {start, at, WordCategory(category), windows1252, hb_unicode_script(funcs, c)});
  }
  if (cluster_ends) {
    cluster_ends->clear();
    for (const Cluster& c : clusters) cluster_ends->push_back(c.end);
  }
  std::vector<FaceRun> runs;
  auto add = [&](size_t begin, size_t end, const Font* face) {
    if (!runs.empty() && runs.back().face == face && runs.back().end == begin) {
      runs.back().end = end;
    } else {
      runs.push_back({begin, end, face});
    }
  };
  const Font* previous = nullptr;  // the face of the text before, when it is in one
  // The face of the last word when it is of a right-to-left script.
  const Font* right_to_left_word = nullptr;
  // Punctuation that Windows-1252 holds, next to a right-to-left word: in the word's face where
  // that has it, to look like the word; a bracket in an embedded face in any case, since a
  // right-to-left run draws its mirror image, and the text of a standard font's glyph is that
  // of the mirror image, which readers would copy in place of the bracket typed.
  auto next_to_right_to_left = [&](size_t i, std::string_view text) -> const Font* {
    bool before_one = false;
    for (size_t k = i + 1; k < clusters.size(); ++k) {
      if (clusters[k].word) {
        before_one = hb_script_get_horizontal_direction(
                         static_cast<hb_script_t>(clusters[k].script)) == HB_DIRECTION_RTL;
        break;
      }
      if (utf8[clusters[k].begin] == ' ') break;
    }
    if (!right_to_left_word && !before_one) return nullptr;
    if (CoversAll(right_to_left_word, text)) return right_to_left_word;
    if (!Mirrored(text)) return nullptr;
    bool fresh = false;
    const Font*& found = FoundSlot('b', style, HB_SCRIPT_COMMON, text, fresh);
    if (fresh) found = Choose(text, std::string(), style);
    return found;
  };
  for (size_t i = 0; i < clusters.size();) {
    const Cluster& c = clusters[i];
    if (!c.word) {
      const std::string_view text = utf8.substr(c.begin, c.end - c.begin);
      const Font* face = nullptr;
      if (!c.windows1252) {
        face = CoversAll(previous, text) ? previous : ClusterFace(text, c.script, style);
      } else if (text != " ") {
        face = next_to_right_to_left(i, text);
      }
      add(c.begin, c.end, face);
      if (face) previous = face;
      ++i;
      continue;
    }
    // A word: its clusters while they are letters, marks and digits of one script.
    size_t j = i;
    hb_script_t script = HB_SCRIPT_COMMON;
    bool windows1252 = true;
    for (; j < clusters.size() && clusters[j].word; ++j) {
      const auto cluster_script = static_cast<hb_script_t>(clusters[j].script);
      if (RealScript(cluster_script)) {
        if (!RealScript(script)) {
          script = cluster_script;
        } else if (cluster_script != script) {
          break;
        }
      }
      windows1252 = windows1252 && clusters[j].windows1252;
    }
    const size_t begin = clusters[i].begin, end = clusters[j - 1].end;
    right_to_left_word = nullptr;
    if (windows1252) {
      add(begin, end, nullptr);
    } else if (const Font* face = WordFace(utf8.substr(begin, end - begin), script, style)) {
      add(begin, end, face);
      previous = face;
      if (hb_script_get_horizontal_direction(script) == HB_DIRECTION_RTL) {
        right_to_left_word = face;
      }
    } else {
      // No one face has the whole word: each cluster in the first face that has it.
      for (size_t k = i; k < j; ++k) {
        const std::string_view text =
            utf8.substr(clusters[k].begin, clusters[k].end - clusters[k].begin);
        const Font* face = clusters[k].windows1252     ? nullptr
                           : CoversAll(previous, text) ? previous
                                                       : ClusterFace(text, script, style);
        add(clusters[k].begin, clusters[k].end, face);
        if (face) previous = face;
      }
    }
    i = j;
  }
  return runs;
}

const Font*& FallbackFonts::FoundSlot(char kind, const Style& style, uint32_t script,
                                      std::string_view text, bool& fresh) {
  // Ideographs are of the language of their paragraph (Japanese where it has kana).
  const bool japanese = script == HB_SCRIPT_HAN && paragraph_kana_;
  found_key_.assign({kind, static_cast<char>(style.family), static_cast<char>(style.bold),
                     static_cast<char>(style.italic), static_cast<char>(japanese)});
  found_key_ += text;
  auto known = found_.find(found_key_);
  fresh = known == found_.end();
  if (!fresh) return known->second;
  if (found_.size() >= kFoundLimit) found_.clear();  // what is found again is the same
  return found_.emplace(found_key_, nullptr).first->second;
}

const Font* FallbackFonts::WordFace(std::string_view word, uint32_t script, const Style& style) {
  bool fresh = false;
  const Font*& found = FoundSlot('w', style, script, word, fresh);
  if (!fresh) return found;
  const std::string language = LanguageOf(script);
  size_t at = 0;
  char32_t sample = NextCodePoint(word, at);
  for (size_t k = 0; k < word.size();) {
    const char32_t c = NextCodePoint(word, k);
    if (static_cast<uint32_t>(hb_unicode_script(hb_unicode_funcs_get_default(), c)) == script) {
      sample = c;
      break;
    }
  }
  const Font* face = ScriptFace(script, language, sample, style);
  if (!CoversAll(face, word)) face = Choose(word, language, style);
  return found = face;
}

const Font* FallbackFonts::ClusterFace(std::string_view cluster, uint32_t script,
                                       const Style& style) {
  size_t at = 0;
  const char32_t first = NextCodePoint(cluster, at);
  const std::string language =
      RealScript(static_cast<hb_script_t>(script)) ? LanguageOf(script) : std::string();
  const Font* face = RealScript(static_cast<hb_script_t>(script))
                         ? ScriptFace(script, language, first, style)
                         : nullptr;
  if (CoversAll(face, cluster)) return face;
  bool fresh = false;
  const Font*& found = FoundSlot('c', style, script, cluster, fresh);
  if (fresh) {
    found = Choose(cluster, language, style);
    // Without a face for the whole cluster, one for its character at least (its marks then go
    // without).
    if (!found) found = Choose(cluster.substr(0, at), language, style);
  }
  if (!found) missing_.insert(first);
  return found;
}

const Font* FallbackFonts::ScriptFace(uint32_t script, const std::string& language, char32_t sample,
                                      const Style& style) {
  auto [known, fresh] = script_faces_.try_emplace({style, script, language}, nullptr);
  if (!fresh) return known->second;
  std::string text;
  AppendUtf8(sample, text);
  return known->second = Choose(text, language, style);
}

const Font* FallbackFonts::Choose(std::string_view text, const std::string& language,
                                  const Style& style) {
  const FontSetup& setup = Setup();
  if (!setup.problem.empty()) writer_.WarnOnce("fontconfig", setup.problem);
  // A character that no face has at all is known so at once, without a search of the faces
  // (which takes about a millisecond, a long time for a text of many such characters).
  FcCharSet* wanted = FcCharSetCreate();
  for (size_t at = 0; at < text.size();) {
    const char32_t c = NextCodePoint(text, at);
    if (!WordCharacter(c) && Windows1252ByteOf(c) >= 0) continue;
    if (!FcCharSetHasChar(setup.coverage, c)) {
      FcCharSetDestroy(wanted);
      return nullptr;
    }
    FcCharSetAddChar(wanted, c);
  }
  // In the order of FontClass.
  static constexpr const char* kFamilies[] = {"monospace", "serif", "sans-serif"};
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(kFamilies[static_cast<int>(style.family)]));
  FcPatternAddInteger(pattern, FC_WEIGHT, style.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, style.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
  FcLangSet* languages = nullptr;
  if (!language.empty()) {
    languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>(language.c_str()));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
  }
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
  // The candidates that have every character, best first: of the language, of the class, of a
  // plain style, then as fontconfig ranks them (which weighs the weight and slant).
  struct Candidate {
    int score = 0;
    int rank = 0;
    std::string file;
    int index = 0;
  };
  std::vector<Candidate> candidates;
  for (int i = 0; sorted && i < sorted->nfont; ++i) {
    FcPattern* face = sorted->fonts[i];
    FcChar8* format = nullptr;
    FcCharSet* covers = nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetString(face, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
        std::string_view(reinterpret_cast<const char*>(format)) != "TrueType" ||
        FcPatternGetCharSet(face, FC_CHARSET, 0, &covers) != FcResultMatch ||
        !FcCharSetIsSubset(wanted, covers) ||
        FcPatternGetString(face, FC_FILE, 0, &file) != FcResultMatch) {
      continue;
    }
    Candidate candidate;
    candidate.rank = i;
    candidate.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(face, FC_INDEX, 0, &candidate.index);
    FcLangSet* has = nullptr;
    if (!language.empty() && FcPatternGetLangSet(face, FC_LANG, 0, &has) == FcResultMatch &&
        FcLangSetHasLang(has, reinterpret_cast<const FcChar8*>(language.c_str())) !=
            FcLangDifferentLang) {
      candidate.score += 4;
    }
    if (ClassOf(face) == style.family) candidate.score += 2;
    if (!SpecialStyle(face)) candidate.score += 1;
    candidates.push_back(std::move(candidate));
  }
  if (sorted) FcFontSetDestroy(sorted);
  if (languages) FcLangSetDestroy(languages);
  FcPatternDestroy(pattern);
  FcCharSetDestroy(wanted);
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  // The first that can be embedded and really shows the text (its outlines there).
  for (const Candidate& candidate : candidates) {
    const Font* face = Opened(candidate.file, candidate.index);
    if (CoversAll(face, text)) return face;
  }
  return nullptr;
}

const Font* FallbackFonts::Opened(const std::string& file, int index) {
  const std::string key = file + "#" + std::to_string(index);
  auto [known, fresh] = opened_.try_emplace(key, nullptr);
  if (!fresh) return known->second;
  // Faces with TrueType outlines only; one that cannot be embedded is remembered as such.
  std::unique_ptr<EmbeddedFont> face =
      EmbeddedFont::Open(file, static_cast<unsigned>(index), writer_.NextFontName());
  if (face) known->second = &writer_.AddFont(std::move(face));
  return known->second;
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
  for (const FaceRun& run : fallback.Runs(utf8, standard)) {
    const std::string_view text = utf8.substr(run.begin, run.end - run.begin);
    runs.fonts.push_back(run.face);
    if (run.face) {
      runs.texts.emplace_back(text);
      continue;
    }
    // In the standard font: its bytes, with "?" for a character that nothing shows.
    std::string bytes;
    for (size_t at = 0; at < text.size();) {
      const int byte = Windows1252ByteOf(NextCodePoint(text, at));
      bytes += static_cast<char>(byte >= 0 ? byte : '?');
    }
    runs.texts.push_back(std::move(bytes));
  }
  return runs;
}

}  // namespace vellumox
