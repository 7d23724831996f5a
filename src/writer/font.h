// A font that page text is shown in. A font knows its resource name, turns a run of text into
// glyphs with their advances and the characters each stands for, encodes text into the bytes of
// a PDF string, and writes its own objects (reserved through the object table). The standard
// fonts (standard_fonts.h) are the first kind; an embedded, shaped font goes behind the same
// interface, and layout measures and wraps by what the font says.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "writer/object_table.h"

namespace vellumox {

// One glyph of a shaped run.
struct ShapedGlyph {
  uint32_t glyph = 0;    // the font's own glyph number
  int32_t advance = 0;   // in thousandths of the font size
  uint32_t cluster = 0;  // where in the text the characters it stands for begin
  int32_t offset = 0;    // drawn this far right of the pen (a mark over its base), thousandths
  int32_t rise = 0;      // and this far above the baseline (a mark above another), thousandths
};

// The order in which a run's glyphs are shown: left to right (a run at an even bidirectional
// level, and any text measured), or right to left, for a run that the bidirectional order puts
// at a right-to-left level.
enum class TextDirection { kNatural, kRightToLeft };

// A text that a font shows after the ones before it in one operand.
struct ShownText {
  std::string_view text;
  TextDirection direction = TextDirection::kNatural;
  // How far the pen moves right before it, in thousandths of the size (a tab's advance to its
  // stop).
  int64_t gap = 0;
  // The advance of a blank in it, in thousandths of the size, where that is not the font's own
  // (-1): the blank between two words of an embedded face, shown in that face as wide as the
  // standard font's blank that the line was laid out with.
  int32_t blank = -1;
};

// How much of a text fits: the characters taken and the length of their string bytes.
struct TextFit {
  size_t characters = 0;
  size_t encoded = 0;
};

// Where a font writes its objects: numbered objects made of lines.
class PdfObjectSink {
 public:
  // Records where reserved object n starts and writes its "n 0 obj" line.
  virtual void BeginObject(int32_t n) = 0;
  virtual void Line(std::string_view line) = 0;
  // Reserved object n as a whole stream object: its dictionary's entries (without "<<", ">>"
  // and the length, which is added), then data as it is.
  virtual void StreamObject(int32_t n, std::string_view entries, std::string_view data) = 0;

 protected:
  ~PdfObjectSink() = default;
};

class Font {
 public:
  virtual ~Font() = default;

  // The name under which pages select it ("F0").
  virtual const std::string& ResourceName() const = 0;
  // The object that the resource dictionary refers to.
  virtual int32_t ObjectNumber() const = 0;
  // Every name and object that the resource dictionary lists for it: one for most fonts, more
  // for one that goes on under a new name when it is full (an embedded face).
  virtual std::vector<std::pair<std::string, int32_t>> Resources() const {
    return {{ResourceName(), ObjectNumber()}};
  }
  // Where such a font takes its new names from; the writer sets it when the font is added.
  virtual void SetResourceNamer(std::function<std::string()> namer) { (void)namer; }

  // The glyphs that show text, in order, each with its advance and its cluster.
  virtual void Shape(std::string_view text, std::vector<ShapedGlyph>& glyphs) const = 0;
  // The sum of the advances of text's glyphs, in thousandths of the font size.
  virtual int64_t Width(std::string_view text) const = 0;
  // Whether Width(text) <= max_width.
  virtual bool FitsWithin(std::string_view text, int64_t max_width) const {
    return Width(text) <= max_width;
  }
  // The longest run of leading characters whose advances add up to no more than max_width,
  // looking at characters only while their string bytes so far are fewer than max_encoded; at
  // least one character, which goes alone when it is wider than max_width.
  virtual TextFit Fit(std::string_view text, int64_t max_width, size_t max_encoded) const = 0;

  // Appends the operand that shows texts, one after another: "(escaped bytes)" for one text
  // without a gap, else an array of strings and position adjustments ("[-500 (...) -12 (...)]",
  // for the "TJ" operator) where a text starts after a gap or shaped glyphs stand elsewhere than
  // their widths put them; glyphs raised off the baseline go in arrays of their own with a text
  // rise between ("[(...)] TJ 1.2 Ts [(...)] TJ 0 Ts [(...)]": the caller adds the last "TJ"),
  // for which size is the font size in points. Text is in the font's own form: Windows-1252
  // bytes for a standard font (which shows them in the order given, whatever the direction),
  // UTF-8 for an embedded one, whose strings hold two-byte codes (written in hex where that is
  // shorter). A font that learns its glyph set from the pages records here the glyphs it shows.
  virtual void Encode(std::span<const ShownText> texts, double size, std::string& out) const = 0;
  // The length that the wrap width counts for text: the escaped string's characters for a
  // font of single bytes, the characters of the text for an embedded one.
  virtual size_t EncodedLength(std::string_view text) const = 0;
  // True when every byte of a text is its own glyph and the string shows the text escaped, so
  // that a line can be escaped straight into the output.
  virtual bool EncodesBytesAsText() const { return false; }

  // Its objects: numbers reserved before the document's first object, written when the writer
  // asks. A font whose glyph set is known at the start is written with the frame (the standard
  // fonts); one that learns its glyphs from the pages (an embedded subset) at the end.
  virtual void ReserveObjects(ObjectTable& objects) = 0;
  virtual bool WrittenWithTheFrame() const { return true; }
  virtual void WriteObjects(PdfObjectSink& sink) const = 0;
};

}  // namespace vellumox
