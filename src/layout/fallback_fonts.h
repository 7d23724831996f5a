// The fonts that show what the document's standard fonts cannot: for words that Windows-1252
// lacks, installed faces found with fontconfig by their script's language and coverage and the
// standard font's class (Courier and CourierNew monospace, Times serif, any other sans) and
// style (bold, italic), embedded in the document when first used. Also the text runs that split
// a line between the standard font in force and these faces.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "writer/document_writer.h"
#include "writer/font_table.h"
#include "writer/page_content.h"
#include "writer/shaped_words.h"
#include "writer/text_clusters.h"

namespace vellumox {

// A stretch of UTF-8 text (bytes begin to end) and the face that shows it; nullptr: the
// standard font in force, for text that Windows-1252 holds (and a character that no face has,
// shown as "?").
struct FaceRun {
  size_t begin = 0;
  size_t end = 0;
  const Font* face = nullptr;
};

class FallbackFonts {
 public:
  explicit FallbackFonts(DocumentWriter& writer) : writer_(writer) {}

  // A new document: no face chosen yet, no character missing.
  void Reset();
  // The paragraph (input line) being laid out: the direction its pieces are shown in, and
  // whether it holds kana (its ideographs are then Japanese, else Chinese).
  void SetParagraph(std::string_view utf8, bool right_to_left);
  bool ParagraphRightToLeft() const { return paragraph_right_to_left_; }
  // The faces of a text in the style of standard (a standard font of the document). A word (a
  // run of letters, marks and digits of one script) that Windows-1252 holds is in the standard
  // font; any other word is whole in one face: the face of its script, chosen once a document
  // for the script's language and the standard font's class, or, where that one lacks some of
  // the word's characters, a face that has them all; where no face has a whole word, it is
  // split among as few faces as its characters need. A blank or a punctuation mark is in the
  // standard font when Windows-1252 holds it, else in the face of the text before it; next to
  // a right-to-left word, punctuation is in the word's face where that has it, and a bracket
  // in an embedded face in any case, so that it copies as typed though drawn mirrored.
  // cluster_ends, where given, receives the end of each cluster (ClusterEnd's units) of the
  // text. While a line's runs are kept, a piece of that line (a view into it) gets the line's
  // runs that it spans, so that it is drawn in the faces it was measured in.
  std::vector<FaceRun> Runs(std::string_view utf8, const Font& standard,
                            std::vector<size_t>* cluster_ends = nullptr);
  void KeepLineRuns(std::string_view line, const Font& standard, std::vector<FaceRun> runs);
  void DropLineRuns();
  // The characters that no installed face has, so far in this document.
  const std::set<char32_t>& Missing() const { return missing_; }
  // "2 characters could not be shown (no installed font has U+1F600 U+1F601)", or empty.
  std::string MissingWarning() const;

 private:
  using Style = FaceStyle;
  // The style of a standard font, from its place in the font table.
  static Style StyleOf(const Font& standard);
  // The face of a word of a script, or nullptr when no one face has all its characters.
  const Font* WordFace(std::string_view word, uint32_t script, const Style& style);
  // The face of one cluster (a character and its marks) that no word's face shows.
  const Font* ClusterFace(std::string_view cluster, uint32_t script, const Style& style);
  // The face of a script in a style, the same for the whole document (nullptr: none).
  const Font* ScriptFace(uint32_t script, const std::string& language, char32_t sample,
                         const Style& style);
  // The best installed face that has every character of text: of the script's language and
  // the style's class where one is, as fontconfig ranks them after that; nullptr when none.
  const Font* Choose(std::string_view text, const std::string& language, const Style& style);
  // The face of a file, embedded in the document the first time it is taken.
  const Font* Opened(const std::string& file, int index);
  // The language that fontconfig is asked for a script's faces ("" for none).
  std::string LanguageOf(uint32_t script) const;

  DocumentWriter& writer_;
  std::map<std::string, const Font*> opened_;  // by file and index; nullptr: cannot be embedded
  std::map<std::tuple<Style, uint32_t, std::string>, const Font*> script_faces_;
  // The faces found for words, clusters and brackets (kept while there are fewer than
  // kFoundLimit, then found anew), by kind, style, language and text (FoundSlot).
  static constexpr size_t kFoundLimit = size_t{1} << 16;
  std::unordered_map<std::string, const Font*, TextHash> found_;
  std::string found_key_;
  // The face found for a text of a kind ('w' word, 'c' cluster, 'b' bracket) in a style;
  // fresh when it is not known yet (the slot then holds nullptr, for the caller to fill).
  const Font*& FoundSlot(char kind, const Style& style, uint32_t script, std::string_view text,
                         bool& fresh);
  std::set<char32_t> missing_;
  // A cluster of the text that Runs splits, and what it takes from its first character.
  struct RunCluster {
    size_t begin = 0, end = 0;
    bool word = false;
    bool windows1252 = false;
    uint32_t script = 0;  // its first character's (hb_script_t)
  };
  std::vector<RunCluster> clusters_;  // Runs' own, kept for the next text
  std::string_view kept_line_;
  const Font* kept_standard_ = nullptr;
  std::vector<FaceRun> kept_runs_;
  bool paragraph_right_to_left_ = false;
  bool paragraph_kana_ = false;
};

// Runs of one piece of UTF-8 text, each with its font (FallbackFonts::Runs): the text of the
// standard font converted to Windows-1252, a character that nothing shows as "?" (and missing).
struct FontRuns {
  std::vector<std::string> texts;
  std::vector<const Font*> fonts;  // nullptr: the standard font in force
};
FontRuns SplitIntoFontRuns(std::string_view utf8, const Font& standard, FallbackFonts& fallback);

}  // namespace vellumox
