// The content of the page being written, as typed operations: choose a font and size, set the
// text's fill colour, move the text position, show runs of text, place a picture. Every content
// operator is written here, and a run's text is encoded (escaped) by its font only when it is
// written, so layout works on the user's text alone. The operations follow the writer's rule:
// they never throw, and do nothing once the document has failed.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "writer/document_failure.h"
#include "writer/font.h"
#include "writer/number_text.h"
#include "writer/output_stream.h"
#include "writer/picture_objects.h"

namespace vellumox {

// Where a run of text is shown: at the start of the next text line, or where the previous run
// ended.
enum class TextStart { kNextLine, kHere };

struct TextRun {
  std::string_view text;  // in the font's own text form
  TextStart start = TextStart::kNextLine;
  // The run's font at the current size, when it is not the current font (text that the
  // document's font cannot show); the current font is chosen again after the runs.
  const Font* font = nullptr;
  TextDirection direction = TextDirection::kNatural;
  // How far the pen moves right before the run, in thousandths of the size (a tab's advance to
  // its stop).
  int64_t gap = 0;
  // The advance of a blank in an embedded face's run, where it is the standard font's (see
  // ShownText); -1: the face's own.
  int32_t blank = -1;
};

class PageContent {
 public:
  PageContent(OutputStream& out, FailureRecord& failure) : out_(out), failure_(failure) {}
  PageContent(const PageContent&) = delete;
  PageContent& operator=(const PageContent&) = delete;

  // The text that follows is shown in font at size points.
  void SelectFont(const Font& font, double size);
  void SelectFont(const Font& font, Fixed4 size);
  const Font& CurrentFont() const { return *font_; }
  // The colour that text is filled with ("rg" operands).
  void SetFillColour(std::string_view operands);
  // The next text line starts at x, y.
  void MoveTextTo(int32_t x, int32_t y);
  // Where the current text line starts moves right by points (left when negative), and the
  // text goes on from there: a line aligned at the right starts further in.
  void ShiftLine(double points);
  // Runs of text in the current font, written as one content line.
  void ShowText(std::initializer_list<TextRun> runs);
  void ShowText(const std::vector<TextRun>& runs);
  // text alone on the next text line.
  void ShowOnNextLine(std::string_view text) { ShowText({TextRun{text, TextStart::kNextLine}}); }
  // ShowOnNextLine when text's string bytes are at most max_encoded long, in one pass over the
  // text; false, with nothing shown, when they are longer (or the document has failed). This is
  // the path of most lines of a plain text, so it escapes straight into the output.
  bool ShowOnNextLineWithin(std::string_view text, size_t max_encoded);
  // Text shown by other means than these follows in the current font: a run of an embedded
  // face leaves that face in force (the next line often goes on in it) until then.
  void PutFontInForce();
  // Whether this page shows text in an embedded face.
  bool ShowsFaces() const { return shows_faces_; }
  // A picture drawn on this page; its placement stream is written when the page ends.
  void PlacePicture(PlacementRecord placement) { pictures_.push_back(std::move(placement)); }
  const std::vector<PlacementRecord>& Pictures() const { return pictures_; }

 private:
  friend class DocumentWriter;
  // A new page: nothing placed yet, the text in font.
  void Restart(const Font& font, Fixed4 size) {
    pictures_.clear();
    font_ = &font;
    size_ = FormatNumber(size);
    points_ = size.ToDouble();
    in_force_ = font.ResourceName();
    shows_faces_ = false;
  }
  template <class Runs>
  void WriteRuns(const Runs& runs);

  OutputStream& out_;
  FailureRecord& failure_;
  const Font* font_ = nullptr;
  std::string size_;      // the current size as the last "Tf" wrote it
  double points_ = 0;     // and as a number
  std::string in_force_;  // the resource of the font that the last "Tf" selected
  bool shows_faces_ = false;
  std::vector<PlacementRecord> pictures_;
};

}  // namespace vellumox
