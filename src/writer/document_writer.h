// The PDF document writer: the document frame (header, information, fonts, resources, catalog,
// page tree, cross references), the pages and their streams, and the conversion of one text
// file. One writer serves one conversion at a time; conversions side by side each use their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "writer/conversion_settings.h"
#include "writer/document_hooks.h"
#include "writer/number_text.h"
#include "writer/object_table.h"
#include "writer/output_stream.h"
#include "writer/user_interaction.h"

namespace vellumox {

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
  int16_t Rotation = 0;
  std::string ForeColor;
  std::string BackColor;
  bool ShowPageNum = false;
  bool UseTextFormating = false;
  bool FullScreen = false;
  int16_t TransitionMode = 0;
  double PageCentre = 0;
  int32_t PageNumberY = 25;

  int32_t InfoObject = 0;
  int32_t CatalogObject = 0;
  int32_t PagesObject = 0;
  int32_t EncodingObject = 0;
  int32_t ResourcesObject = 0;

  // Pages.
  int32_t PageCount = 0;
  std::vector<int32_t> PageObjects;  // object number of page k at index k - 1
  int32_t LineOnPage = 1;
  float VerticalCursor = 0;
  int32_t PageImageCount = 0;
};

class DocumentWriter {
 public:
  explicit DocumentWriter(UserInteraction& ui);
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;

  // Wiring to the images and the layout; both may be left unset (no pictures, plain lines).
  void SetImageHooks(ImageHooks* hooks) { images_ = hooks; }
  void SetLinePrinter(LinePrinter* printer) { printer_ = printer; }
  // The largest PDF this writer may produce; the default is what cross references can address.
  void SetSizeLimit(int64_t max_bytes) { size_limit_ = max_bytes; }

  // Converts one text file with the given settings: Initialize, then PrintPDF. True when the
  // PDF was written whole; every failure has been reported to the user by then.
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
  void StartColumn(int32_t& LeftMargin, int32_t& TopMargin);

  // Streams whose length object follows them.
  void BeginStream();
  void EndStream();

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
  // The keyword "stream" with its carriage return and line feed (the one line feed in a file).
  void EmitStreamKeyword();
  // Allocates the next object: records its offset and writes its "n 0 obj" line.
  int32_t AllocateObject();

  WriterState& state() { return state_; }
  const WriterState& state() const { return state_; }
  OutputStream& output() { return out_; }
  const ObjectTable& objects() const { return objects_; }
  int64_t OutputOffset() const { return out_.Offset(); }
  int64_t StreamStart() const { return stream_start_; }
  UserInteraction& ui() { return ui_; }

  // Shows an error's description with the exclamation icon and marks the document as failed.
  // Only the first error of a document is shown: later ones are usually its consequences.
  void ReportError(const std::string& description);
  // True once the current document has failed; it will not be saved.
  bool Failed() const { return failed_; }
  // True when the last document was written whole and saved under its name.
  bool Succeeded() const { return !failed_ && out_.Committed(); }

 private:
  template <class Body>
  void Trapped(Body&& body);
  void PrintPlainLine(std::string_view line);

  UserInteraction& ui_;
  ImageHooks* images_ = nullptr;
  LinePrinter* printer_ = nullptr;
  int64_t size_limit_ = OutputStream::kMaxOffset;
  OutputStream out_;
  ObjectTable objects_;
  WriterState state_;
  int64_t stream_start_ = 0;
  bool failed_ = false;
  bool error_shown_ = false;
};

}  // namespace vellumox
