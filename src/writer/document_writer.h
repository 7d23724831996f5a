// The PDF document writer: the document frame (header, information, fonts, resources, catalog,
// page tree, cross references) and the pages, whose content layout writes through PageContent.
// The writer writes PDF only: it does not read the input, lay out text or keep the page cursor.
// One writer serves one document at a time; conversions side by side each use their own.
//
// Every object number is reserved in one place per document and per page and checked when its
// object is written. Errors follow one rule (document_failure.h): no operation throws, the
// first error is kept, and once the document has failed every operation does nothing.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "writer/conversion_settings.h"
#include "writer/document_failure.h"
#include "writer/object_table.h"
#include "writer/output_stream.h"
#include "writer/page_compression.h"
#include "writer/page_content.h"
#include "writer/page_geometry.h"
#include "writer/picture_objects.h"
#include "writer/standard_fonts.h"

namespace vellumox {

class DocumentWriter : private PdfObjectSink {
 public:
  DocumentWriter() = default;
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;

  // The largest PDF this writer may produce; the default is what cross references can address.
  void SetSizeLimit(int64_t max_bytes) { size_limit_ = max_bytes; }

  // A new document with these settings; an earlier file of the output's name stays untouched
  // until the new one is complete.
  void Initialize(const ConversionSettings& settings);
  // Creates the output and writes the header.
  void StartPDF();
  // The information, the fonts, the shared resources and the pictures' objects, each picture
  // taken from pictures (none when null) as its turn comes.
  // more_fonts: fonts may be added while the pages are written (text that the standard fonts
  // cannot show); the shared resources are then written at the end, when all are known.
  void WriteFrame(PictureSource* pictures, bool more_fonts = false);
  // The same with pictures that are ready already.
  void WriteFrame(const std::vector<ImageObject>& images, bool more_fonts = false);
  // A font beyond the standard ones, for the pages that follow; its objects are reserved now
  // and written at the end. Only after WriteFrame(images, true).
  const Font& AddFont(std::unique_ptr<Font> font);
  // The resource name that the next added font takes ("F21").
  std::string NextFontName() const;
  // The catalog, the page tree and the cross references; saves the document unless it failed.
  void EndPDF();
  // Removes what an unfinished document wrote.
  void Discard() { out_.Discard(); }

  // A page: its object, and its content stream set up with the background, the text colour,
  // the document font and the first line's position.
  void StartPage();
  // Ends the page's content (with its number when asked for) and writes its placements.
  void EndPage();
  PageContent& page() { return page_; }
  int32_t PageCount() const { return page_count_; }

  const PageGeometry& geometry() const { return geometry_; }
  const StandardFonts& fonts() const { return *fonts_; }
  const std::string& OutputFile() const { return output_file_; }
  const ObjectTable& objects() const { return objects_; }
  int64_t OutputOffset() const { return out_.Offset(); }

  // Records an error of the document: it fails and will not be saved.
  void ReportError(const std::string& description) {
    failure_.Record(FailureKind::kError, description);
  }
  // Records that the input to convert does not exist.
  void ReportInputMissing(const std::string& description) {
    failure_.Record(FailureKind::kInputMissing, description);
  }
  // Records that the document stopped before its end at a stop request; it is not saved.
  void ReportStopped() { failure_.Record(FailureKind::kStopped, "The conversion was stopped."); }
  // True once the current document has failed; it will not be saved.
  bool Failed() const { return failure_.Failed(); }
  const DocumentFailure& Failure() const { return failure_.First(); }
  // True when the last document was written whole and saved under its name.
  bool Succeeded() const { return !Failed() && out_.Committed(); }
  // Something the input asked for that the document changed to stay sound, told to the user
  // once per kind and document; the document is written all the same.
  void WarnOnce(std::string_view kind, std::string text);
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  // The document's own look, beyond the page geometry.
  struct Frame {
    // Information strings, as PDF strings.
    std::string author, creator, keywords, subject, title;
    int16_t rotation = 0;
    std::string back_color;
    bool show_page_number = false;
    bool full_screen = false;
    bool compress = false;  // page content streams compressed with Flate
    int16_t transition = 0;
  };
  // The object numbers of one document, reserved before its first object is written.
  struct DocumentObjects {
    int32_t info = 0;
    int32_t catalog = 0;
    int32_t pages = 0;
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

  // The lines that every page object and every page's content of this document start with
  // (around the page's own object numbers): formatted at its first page, not again for each.
  struct PageLines {
    std::vector<std::string> object_head, object_tail, content_start;
  };
  const PageLines& SamePageLines();

  // PdfObjectSink
  void BeginObject(int32_t n) override;
  void Line(std::string_view line) override { out_.EmitLine(line); }
  void StreamObject(int32_t n, std::string_view entries, std::string_view data) override;

  void EmitLine(std::string_view line, bool flush = false) { out_.EmitLine(line, flush); }
  // The keyword "stream" with its carriage return and line feed (the one line feed in a file).
  void EmitStreamKeyword();
  void ReserveDocumentObjects(size_t image_count);
  void WriteResources();
  // False when the picture's JPEG cannot be read any more.
  bool WriteImageObject(int32_t n, const ImageObject& image);
  // A picture's colour profile (/ICCBased), compressed.
  void WriteIccProfile(int32_t n, const std::string& profile, int components);
  // The stream of an object whose dictionary is written: the file's bytes, then its end.
  void EmitFileStream(const std::string& path, int64_t size);
  // What stands for a picture that gave no JPEG after its name was given out: an object that
  // draws nothing.
  void WriteEmptyImageObject(int32_t n);
  // A placement's stream (object stream) and its length (object length).
  void WritePlacementStream(int32_t stream, int32_t length, const PlacementRecord& placement);
  // Compressed pages: each content stream goes to the compressor when its page ends, and is
  // written (with its length), in page order, once the pages handed in after it hold more than
  // kBytesAhead bytes, while later pages are laid out (all: every page, now). Where a stream
  // goes in the file thus depends on the pages alone, never on how fast the workers were: the
  // same input gives the same bytes on any machine.
  void WriteCompressedPages(bool all);
  static constexpr size_t kBytesAhead = 16 * PageCompressor::kBatchBytes;
  struct CompressedStream {
    int32_t contents = 0;
    int32_t length = 0;
  };

  int64_t size_limit_ = OutputStream::kMaxOffset;
  OutputStream out_;
  ObjectTable objects_;
  FailureRecord failure_;
  PageContent page_{out_, failure_};
  PageGeometry geometry_;
  Frame frame_;
  std::unique_ptr<StandardFonts> fonts_ = std::make_unique<StandardFonts>("");
  std::vector<std::unique_ptr<Font>> added_fonts_;
  int next_font_number_ = kFontCount + 1;  // of the resource name that the next font takes
  std::vector<std::string> image_names_;   // the resource names of the pictures, in order
  std::unordered_map<std::string, int32_t> icc_profiles_;  // each profile's object, once a document
  bool resources_at_end_ = false;
  std::string output_file_;
  DocumentObjects document_;
  PageObjects page_objects_;
  PageLines page_lines_;
  int32_t page_count_ = 0;
  std::vector<int32_t> page_object_numbers_;  // object number of page k at index k - 1
  int64_t stream_start_ = 0;
  std::unique_ptr<PageCompressor> compressor_;
  std::deque<CompressedStream> compressing_;  // the pages with the compressor, oldest first
  std::vector<std::string> warnings_;
  std::vector<std::string> warned_kinds_;
};

}  // namespace vellumox
