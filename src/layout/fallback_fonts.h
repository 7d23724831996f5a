// The fonts that show what the document's standard fonts cannot: for a character that
// Windows-1252 lacks, an installed face found with fontconfig by the character's coverage and
// the standard font's class (Courier and CourierNew monospace, Times serif, any other sans)
// and style (bold, italic), embedded in the document when first used. Also the text runs that
// split a line between the standard font in force and these faces.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "writer/document_writer.h"
#include "writer/page_content.h"
#include "writer/text_clusters.h"

namespace vellumox {

class FallbackFonts {
 public:
  explicit FallbackFonts(DocumentWriter& writer) : writer_(writer) {}

  // A new document: no face chosen yet, no character missing.
  void Reset();
  // The embedded face that shows character in the style of standard (a standard font of the
  // document), or nullptr when no installed face has it.
  const Font* For(char32_t character, const Font& standard);
  // The direction of the paragraph (input line) being laid out, which its pieces are shown in.
  void SetParagraphRightToLeft(bool right_to_left) { paragraph_right_to_left_ = right_to_left; }
  bool ParagraphRightToLeft() const { return paragraph_right_to_left_; }
  // The characters that no installed face has, so far in this document.
  const std::set<char32_t>& Missing() const { return missing_; }
  // "2 characters could not be shown (no installed font has U+1F600 U+1F601)", or empty.
  std::string MissingWarning() const;

 private:
  struct Style {
    int kind = 2;  // 0 monospace, 1 serif, 2 sans
    bool bold = false;
    bool italic = false;
    auto operator<=>(const Style&) const = default;
  };
  static Style StyleOf(const Font& standard);
  const Font* Find(char32_t character, const Style& style);

  DocumentWriter& writer_;
  std::map<Style, std::vector<const Font*>> faces_;  // the faces taken, by style
  std::map<std::string, const Font*> opened_;        // by file and index
  std::map<std::pair<Style, char32_t>, const Font*> by_character_;
  std::set<char32_t> missing_;
  bool paragraph_right_to_left_ = false;
};

// Runs of one piece of UTF-8 text, each with its font: the characters that Windows-1252 has in
// the standard font (converted), the others, a character with the marks after it together, in
// the face that shows them; a character that nothing shows becomes "?" (and is missing).
struct FontRuns {
  std::vector<std::string> texts;
  std::vector<const Font*> fonts;  // nullptr: the standard font in force
};
FontRuns SplitIntoFontRuns(std::string_view utf8, const Font& standard, FallbackFonts& fallback);

}  // namespace vellumox
