// Lays lines out on a real document and hands back the content-stream lines they produced.
#pragma once

#include <string>
#include <vector>

#include "layout/line_layout.h"
#include "support/test_settings.h"
#include "support/test_support.h"
#include "writer/document_writer.h"

namespace vellumox::test {

using Lines = std::vector<std::string>;

// Courier 12 pt on a letter page with half-inch margins, without page numbers: 50 lines of
// 77 characters.
inline ConversionSettings Courier12() {
  return CourierSettings(12, "", false);
}

class LayoutHarness {
 public:
  explicit LayoutHarness(const ConversionSettings& settings = Courier12());

  // Prints input lines (as PrintLine gets them) on the open page.
  void Print(const Lines& lines);
  // Ends the document and returns the lines that the printed input wrote on each page: the
  // content stream without its twelve set-up lines and without the page end.
  std::vector<Lines> Finish();
  // Finish for a single page.
  Lines FinishOnePage();

  DocumentWriter& writer() { return writer_; }
  LineLayout& layout() { return layout_; }
  const PageCursor& cursor() const { return layout_.cursor(); }
  std::string pdf_path() const { return dir_ / "out.pdf"; }

 private:
  TempDir dir_;
  DocumentWriter writer_;
  LineLayout layout_;
};

}  // namespace vellumox::test
