// Converting one input text file: the main loop of the document writer.
#include <new>
#include <optional>

#include "platform/file_system.h"
#include "platform/stop.h"
#include "writer/document_writer.h"
#include "writer/input_text.h"
#include "writer/pdf_string.h"

namespace vellumox {

bool DocumentWriter::ConvertFile(const std::string& filename, const ConversionSettings& settings) {
  Initialize(settings);
  PrintPDF(filename);
  return Succeeded();
}

void DocumentWriter::PrintPDF(const std::string& filename) {
  if (!FileExists(filename)) {
    failed_ = true;
    failure_ = {FailureKind::kInputMissing, "File '" + filename + "' does not exist."};
    return;
  }
  if (images_) images_->CollectImages(filename);
  StartPDF();
  if (StopRequested()) ReportStopped();
  // A document that has failed is never saved, so there is no point in laying out the rest.
  if (!failed_) {
    InputTextReader reader;
    try {
      if (!reader.Open(filename)) {
        ReportError("Cannot open the file '" + filename +
                    "': " + SystemErrorText(reader.ReadError()));
      } else {
        StartPage();
        state_.LineOnPage = 1;
        std::string_view line;
        while (!failed_ && reader.NextLine(line)) {
          // A stop is obeyed at the next line; the unfinished file goes with the document.
          if (StopRequested()) {
            ReportStopped();
            break;
          }
          if (printer_) {
            printer_->PrintLine(line);
          } else {
            PrintPlainLine(line);
          }
        }
        if (reader.ReadError() != 0) {
          ReportError("Cannot read the file '" + filename +
                      "': " + SystemErrorText(reader.ReadError()));
        }
        reader.Close();
        if (!failed_) {
          EndPage();
          EndPDF();
        }
      }
    } catch (const std::bad_alloc&) {
      ReportError("Out of memory.");
    } catch (const std::exception& e) {
      ReportError(e.what());
    }
  }
  // Nothing half-written stays behind: an unfinished temporary file is removed.
  if (!out_.Committed()) out_.Discard();
  if (images_) images_->ResetImages();
}

// Used when no layout is attached: each line as one text line, escaped, with page breaks on
// full pages and form feeds.
void DocumentWriter::PrintPlainLine(std::string_view line) {
  if (state_.LineOnPage >= state_.LinesPerPage || line.find('\f') != std::string_view::npos) {
    PageBreak();
  }
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  EmitLine("(" + EscapePdfString(line) + ")'");
  AdvanceLine();
}

}  // namespace vellumox
