#include "support/layout_harness.h"

#include <gtest/gtest.h>

namespace vellumox::test {

LayoutHarness::LayoutHarness(const ConversionSettings& settings) : layout_(writer_) {
  ConversionSettings s = settings;
  s.outputfile = dir_ / "out.pdf";
  writer_.Initialize(s);
  writer_.StartPDF();
  writer_.WriteFrame({});
  layout_.StartDocument();
}

void LayoutHarness::Print(const Lines& lines) {
  for (const std::string& line : lines) layout_.PrintLine(line);
}

std::vector<Lines> LayoutHarness::Finish() {
  layout_.EndDocument();
  writer_.EndPDF();
  EXPECT_TRUE(writer_.Succeeded()) << writer_.Failure().message;
  std::string details;
  EXPECT_TRUE(QpdfCheckClean(pdf_path(), &details)) << details;
  PdfFile pdf = PdfFile::Load(pdf_path());
  std::vector<Lines> pages;
  for (int k = 1;; ++k) {
    if (pdf.PageObject(k) < 0) break;
    Lines lines = pdf.PageContentLines(k);
    // Drop the set-up lines and the closing "ET q" (page numbers are off).
    Lines text(lines.begin() + 12, lines.end() - 1);
    pages.push_back(text);
  }
  return pages;
}

Lines LayoutHarness::FinishOnePage() {
  std::vector<Lines> pages = Finish();
  EXPECT_EQ(pages.size(), 1u);
  return pages.empty() ? Lines{} : pages.front();
}

}  // namespace vellumox::test
