#include "conversion/conversion.h"

#include <exception>
#include <new>

#include "platform/file_system.h"
#include "platform/stop.h"
#include "writer/color_table.h"
#include "writer/input_text.h"

namespace vellumox {

namespace {

// Lays out the lines of the input and ends the document. unicode_fonts: lines may show
// characters that Windows-1252 lacks; without, such a line stops the layout at once and
// NeedsUnicodeFonts() tells that the document must start again with them.
void LayOutLines(const std::string& filename, DocumentWriter& writer, LineLayout& layout,
                 const std::function<void(int)>& pages_written, bool unicode_fonts,
                 size_t* invalid_sequences) {
  InputTextReader reader;
  reader.KeepCharacters();
  if (!reader.Open(filename)) {
    writer.ReportError("Cannot open the file '" + filename +
                       "': " + SystemErrorText(reader.ReadError()));
    return;
  }
  layout.StartDocument(unicode_fonts);
  int pages = 0;
  std::string_view line;
  while (!writer.Failed() && reader.NextLine(line)) {
    // A stop is obeyed at the next line; the unfinished file goes with the document.
    if (StopRequested()) {
      writer.ReportStopped();
      break;
    }
    if (reader.LinesAreUtf8()) {
      layout.PrintUtf8Line(line);
      if (layout.NeedsUnicodeFonts()) return;
    } else {
      layout.PrintLine(line);
    }
    if (pages_written && writer.PageCount() != pages) pages_written(pages = writer.PageCount());
  }
  if (reader.ReadError() != 0) {
    writer.ReportError("Cannot read the file '" + filename +
                       "': " + SystemErrorText(reader.ReadError()));
  }
  if (const size_t invalid = reader.InvalidSequences(); invalid > 0) {
    // Bytes that are no text of the file's encoding are shown as "?", never in silence.
    const bool utf16 = reader.Encoding() != TextEncoding::kUtf8;
    writer.WarnOnce("invalid", std::to_string(invalid) +
                                   (invalid == 1 ? " sequence that is" : " sequences that are") +
                                   " not valid " + (utf16 ? "UTF-16" : "UTF-8") +
                                   (invalid == 1 ? " is" : " are") +
                                   " shown as \"?\" (the first on line " +
                                   std::to_string(reader.FirstInvalidLine()) + ")");
    if (invalid_sequences) *invalid_sequences = invalid;
  }
  reader.Close();
  const std::string missing = layout.MissingCharactersWarning();
  if (!missing.empty()) writer.WarnOnce("characters", missing);
  layout.EndDocument();
  writer.EndPDF();
}

}  // namespace

bool LinesNeedUnicodeFonts(const std::string& filename, bool use_text_formatting) {
  InputTextReader reader;
  reader.KeepCharacters();
  if (!reader.Open(filename)) return false;
  std::string_view line;
  while (reader.NextLine(line)) {
    if (reader.LinesAreUtf8() && LineLayout::LineNeedsUnicodeFonts(line, use_text_formatting)) {
      return true;
    }
  }
  return false;
}

namespace {

bool ConvertTextUnguarded(const std::string& filename, const ConversionSettings& settings,
                          DocumentWriter& writer, LineLayout& layout, ImageEmbedder* images,
                          const std::function<void(int)>& pages_written,
                          size_t* invalid_sequences) {
  writer.Initialize(settings);
  if (!FileExists(filename)) {
    writer.ReportInputMissing("File '" + filename + "' does not exist.");
    return false;
  }
  if (images) {
    images->SetPageColor(ColorBytesOf(settings.BackColorIndex));
    images->CollectImages(filename);
    // The PDF goes where its name leads, links followed: never over a picture it shows.
    const std::string picture = images->PictureAt(settings.outputfile);
    if (!picture.empty()) {
      writer.ReportError("The PDF '" + settings.outputfile +
                         "' would be written over the picture '" + picture +
                         "', which the document shows; nothing is written.");
      images->ResetImages();
      return false;
    }
  }
  const bool pictures = images && !images->references().entries().empty();
  // A document whose text Windows-1252 holds is written as it always was; one with other
  // characters is known only when such a line comes, and then starts again with the shared
  // resources at its end, where the embedded faces it takes can be named. A document with
  // pictures is looked through first instead: its pictures are converted once, and each
  // converted JPEG leaves the temporary folder as soon as it is in the PDF.
  const bool unicode_at_once =
      pictures && LinesNeedUnicodeFonts(filename, settings.UseTextFormating);
  for (bool unicode_fonts : {false, true}) {
    if (unicode_at_once && !unicode_fonts) continue;
    if (unicode_fonts && !unicode_at_once) writer.Discard();
    writer.Initialize(settings);
    writer.StartPDF();
    writer.WriteFrame(pictures && !writer.Failed() ? &images->PrepareImages() : nullptr,
                      unicode_fonts);
    if (pictures) images->FinishImages();
    if (StopRequested()) writer.ReportStopped();
    // A document that has failed is never saved, so there is no point in laying out the rest.
    if (writer.Failed()) break;
    try {
      LayOutLines(filename, writer, layout, pages_written, unicode_fonts, invalid_sequences);
    } catch (const std::bad_alloc&) {
      writer.ReportError("Out of memory.");
    } catch (const std::exception& e) {
      writer.ReportError(e.what());
    }
    if (!layout.NeedsUnicodeFonts()) break;
  }
  // Nothing half-written stays behind: an unfinished temporary file is removed.
  if (!writer.Succeeded()) writer.Discard();
  if (images) images->ResetImages();
  return writer.Succeeded();
}

}  // namespace

bool ConvertText(const std::string& filename, const ConversionSettings& settings,
                 DocumentWriter& writer, LineLayout& layout, ImageEmbedder* images,
                 const std::function<void(int)>& pages_written, size_t* invalid_sequences) {
  // What nothing below expected (memory that ran out where no one looked for it) fails this
  // document like any error: its partial PDF and its pictures' temporary files go, and the job
  // goes on with the next.
  try {
    return ConvertTextUnguarded(filename, settings, writer, layout, images, pages_written,
                                invalid_sequences);
  } catch (const std::bad_alloc&) {
    writer.ReportError("Out of memory.");
  } catch (const std::exception& e) {
    writer.ReportError(e.what());
  }
  writer.Discard();
  if (images) images->ResetImages();
  return false;
}

Conversion::Conversion(ImageCodec& codec) : layout_(writer_), images_(writer_, layout_, codec) {
  layout_.SetImagePlacer(&images_);
}

void Conversion::SetPictureOptions(const PictureOptions& options) {
  images_.SetJpegOptions(options.jpeg);
  images_.SetInputField(options.input_field);
  images_.SetUseOldTop(options.use_old_top);
}

ConversionResult Conversion::Convert(const std::string& filename,
                                     const ConversionSettings& settings) {
  ConversionResult result;
  result.written = ConvertText(filename, settings, writer_, layout_, &images_, pages_written_,
                               &result.invalid_sequences);
  result.failure = writer_.Failure();
  result.warnings = writer_.Warnings();
  result.characters_missing = layout_.MissingCharacterCount();
  return result;
}

}  // namespace vellumox
