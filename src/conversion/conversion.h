// One conversion of a file into a PDF: the document writer with the line layout and the
// pictures attached. Each conversion owns its state and its temporary files, so conversions can
// run side by side.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "images/image_codec.h"
#include "images/image_embedder.h"
#include "images/jpeg_conversion.h"
#include "images/picture_events.h"
#include "layout/line_layout.h"
#include "writer/conversion_settings.h"
#include "writer/document_writer.h"

namespace vellumox {

struct PictureOptions {
  JpegOptions jpeg;
  bool use_old_top = false;  // the stored setting "UseOldTop"
  std::string input_field;   // the input name as the user gave it
};

struct ConversionResult {
  bool written = false;               // the PDF was written whole and saved
  DocumentFailure failure;            // why not
  std::vector<std::string> warnings;  // what was changed to keep the PDF sound
  int characters_missing = 0;         // distinct characters that no installed font has
  size_t invalid_sequences = 0;       // bytes of the text that form no character, shown as "?"
};

// The input loop: converts one text file (or album list) with the writer and the layout, and
// the pictures it names when images is set. Each line is laid out as it is read; a stop is
// obeyed at the next line, and a failed document leaves nothing behind. True when the PDF was
// written whole; otherwise writer.Failure() tells why.
// pages_written, when set, learns the count of pages begun each time it grows;
// invalid_sequences, when given, the count of sequences of the text that form no character.
bool ConvertText(const std::string& filename, const ConversionSettings& settings,
                 DocumentWriter& writer, LineLayout& layout, ImageEmbedder* images,
                 const std::function<void(int)>& pages_written = {},
                 size_t* invalid_sequences = nullptr);

// Whether a line of the text shows characters that Windows-1252 lacks, so that the document
// needs embedded faces (LineLayout::NeedsUnicodeFonts for each line).
bool LinesNeedUnicodeFonts(const std::string& filename, bool use_text_formatting);

class Conversion {
 public:
  explicit Conversion(ImageCodec& codec);
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  void SetPictureOptions(const PictureOptions& options);
  // Where the fate of each picture is told.
  void SetPictureEvents(PictureEvents* events) { images_.SetEvents(events); }
  // Where the count of pages is told while the text is laid out.
  void SetPageProgress(std::function<void(int)> pages_written) {
    pages_written_ = std::move(pages_written);
  }
  // Converts one text file (or album list).
  ConversionResult Convert(const std::string& filename, const ConversionSettings& settings);

  DocumentWriter& writer() { return writer_; }
  LineLayout& layout() { return layout_; }
  ImageEmbedder& images() { return images_; }

 private:
  DocumentWriter writer_;
  LineLayout layout_;
  ImageEmbedder images_;
  std::function<void(int)> pages_written_;
};

}  // namespace vellumox
