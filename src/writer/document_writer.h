// The PDF document writer: the document frame (header, information, fonts, resources, catalog,
// page tree, cross references), the pages and their streams, and the conversion of one text
// file. One writer serves one conversion at a time; conversions side by side each use their own.
//
// Layout and pictures change the writer's state only through the named operations below; every
// object number is reserved in one place per document and per page and checked when its object
// is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "writer/conversion_settings.h"
#include "writer/document_hooks.h"
#include "writer/glyph_widths.h"
#include "writer/number_text.h"
#include "writer/object_table.h"
#include "writer/output_stream.h"

namespace vellumox {

// The object numbers of one document, reserved before its first object is written.
struct DocumentObjects {
  int32_t info = 0;
  int32_t catalog = 0;
  int32_t pages = 0;
  int32_t first_font = 0;  // F0, then the font table's F1 to F20
  int32_t encoding = 0;
  int32_t resources = 0;
  int32_t first_image = 0;  // one per embedded picture, in document order
};

// The object numbers of the page being written.
struct PageObjects {
  int32_t page = 0;
  int32_t contents = 0;  // the content stream
  int32_t length = 0;    // the content stream's length
  int32_t array = 0;     // the contents array: the content stream and the placement streams
};

// What Initialize derives from the settings, and the state of the page being written.
struct WriterState {
  std::string OutputFile;
  // Information strings, already in the PDF's code page.
  std::string TextAuthor, TextCreator, TextKeywords, TextSubject, TextTitle;
  std::string FontName;
  int FontIndex = -1;  // FontName's position in the font table, -1 for another name
  Fixed4 FontSize;
  Fixed4 Leading;  // FontSize x 1.2
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  int32_t LeftMarginPt = 0;
  int32_t TopMarginPt = 0;
  int32_t LinesPerPage = 0;
  int32_t CharsPerLine = 0;
  // What line printing needs to keep plain text between the margins: the document font's
  // glyph widths, and the room between the margins (page width less twice the left margin) in
  // thousandths of a point divided by the font size, so that a text fits when the sum of its
  // glyph widths is not above it.
  const GlyphWidthTable* GlyphWidths = nullptr;
  int64_t LineWidthLimit = 0;
  int16_t Rotation = 0;
  std::string ForeColor;
  std::string BackColor;
  bool ShowPageNum = false;
  bool UseTextFormating = false;
  bool FullScreen = false;
  bool Compress = false;  // page content streams compressed with Flate
  int16_t TransitionMode = 0;
  double PageCentre = 0;
  int32_t PageNumberY = 25;

  DocumentObjects Objects;

  // Pages.
  int32_t PageCount = 0;
  std::vector<int32_t> PageObjectNumbers;  // object number of page k at index k - 1
  PageObjects Page;                        // the page being written
  int32_t LineOnPage = 1;
  float VerticalCursor = 0;
};

// Why a document was not written.
enum class FailureKind {
  kNone,
  kInputMissing,  // the input file does not exist or is empty
  kStopped,       // a stop was requested (a signal, a closed pipe, the window's Stop)
  kError,         // anything else: the description says what
};
struct DocumentFailure {
  FailureKind kind = FailureKind::kNone;
  std::string message;  // the first error of the document; later ones are its consequences
};

class DocumentWriter {
 public:
  DocumentWriter() = default;
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;

  // Wiring to the images and the layout; both may be left unset (no pictures, plain lines).
  void SetImageHooks(ImageHooks* hooks) { images_ = hooks; }
  void SetLinePrinter(LinePrinter* printer) { printer_ = printer; }
  // The largest PDF this writer may produce; the default is what cross references can address.
  void SetSizeLimit(int64_t max_bytes) { size_limit_ = max_bytes; }

  // Converts one text file with the given settings: Initialize, then PrintPDF. True when the
  // PDF was written whole; otherwise Failure() tells why.
  bool ConvertFile(const std::string& filename, const ConversionSettings& settings);

  // Frame.
  void Initialize(const ConversionSettings& settings);
  void StartPDF();
  void EndPDF();
  void PrintPDF(const std::string& filename);

  // Pages.
  void StartPage();
  void EndPage();
  void PageBreak();
  // A tab: the text continues at LeftMargin, TopMargin (a TopMargin outside the page means the
  // page's first line, and is set to it).
  void StartColumn(int32_t& LeftMargin, int32_t& TopMargin);

  // Bytes. EmitLine throws WriterError on a write failure or when the document grows too large;
  // the writer's own operations trap it.
  void EmitLine(std::string_view line, bool flush = false) { out_.EmitLine(line, flush); }
  void EmitLine(std::string_view a, std::string_view b, std::string_view c) {
    out_.EmitLine(a, b, c);
  }
  bool EmitEscapedLineWithin(std::string_view prefix, std::string_view text,
                             std::string_view suffix, size_t max_escaped) {
    return out_.EmitEscapedLineWithin(prefix, text, suffix, max_escaped);
  }

  // The named changes of the page state that layout and pictures make.
  // One text line more: the line count and the vertical position move on by one line.
  void AdvanceLine() {
    state_.LineOnPage += 1;
    AdvanceVerticalCursor();
  }
  // The vertical position moves on by the line spacing.
  void AdvanceVerticalCursor() {
    Fixed4 sum = Fixed4::FromDouble(state_.VerticalCursor) + state_.Leading;
    state_.VerticalCursor = static_cast<float>(sum.ToDouble());
  }
  // A larger element counts as this many lines (rounded); the count stays far from overflow.
  void AddLinesOnPage(double lines);
  void SetVerticalCursor(float cursor) { state_.VerticalCursor = cursor; }
  // A picture drawn on the current page; its stream is written when the page ends.
  void AddPlacement(PlacementRecord placement) { placements_.push_back(std::move(placement)); }
  // Narrows or widens the wrap width that Initialize derived (for tests and fuzzing).
  void SetCharsPerLine(int32_t chars) { state_.CharsPerLine = chars; }
  // Moves the line count (for tests that start near the page's end).
  void SetLineOnPage(int32_t line) { state_.LineOnPage = line; }

  const WriterState& state() const { return state_; }
  const std::vector<PlacementRecord>& placements() const { return placements_; }
  int32_t PageImageCount() const { return static_cast<int32_t>(placements_.size()); }
  const ObjectTable& objects() const { return objects_; }
  int64_t OutputOffset() const { return out_.Offset(); }

  // Records an error of the document: it fails and will not be saved. Only the first error is
  // kept: later ones are usually its consequences.
  void ReportError(const std::string& description);
  // Records that the document stopped before its end at a stop request; it is not saved.
  void ReportStopped();
  // True once the current document has failed; it will not be saved.
  bool Failed() const { return failed_; }
  const DocumentFailure& Failure() const { return failure_; }
  // True when the last document was written whole and saved under its name.
  bool Succeeded() const { return !failed_ && out_.Committed(); }
  // Something the input asked for that the document changed to stay sound, told to the user
  // once per kind and document; the document is written all the same.
  void WarnOnce(std::string_view kind, std::string text);
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  template <class Body>
  void Trapped(Body&& body);
  void ReserveDocumentObjects(size_t image_count);
  // Records where reserved object n starts and writes its "n 0 obj" line.
  void BeginObject(int32_t n);
  // The keyword "stream" with its carriage return and line feed (the one line feed in a file).
  void EmitStreamKeyword();
  void WriteFonts();
  void WriteResources(const std::vector<ImageObject>& images);
  // False when the picture's JPEG cannot be read any more.
  bool WriteImageObject(int32_t n, const ImageObject& image);
  // A placement's stream (object stream) and its length (object length).
  void WritePlacementStream(int32_t stream, int32_t length, const PlacementRecord& placement);
  void PrintPlainLine(std::string_view line);

  ImageHooks* images_ = nullptr;
  LinePrinter* printer_ = nullptr;
  int64_t size_limit_ = OutputStream::kMaxOffset;
  OutputStream out_;
  ObjectTable objects_;
  WriterState state_;
  std::vector<PlacementRecord> placements_;
  int64_t stream_start_ = 0;
  bool failed_ = false;
  DocumentFailure failure_;
  std::vector<std::string> warnings_;
  std::vector<std::string> warned_kinds_;
};

}  // namespace vellumox
