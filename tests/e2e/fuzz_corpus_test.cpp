// Replays the kept fuzz corpus: every input converts, with markup on and off, into a PDF that
// qpdf finds sound.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/conversion.h"
#include "images/decoders.h"
#include "images/image_header.h"
#include "images/picture_formats.h"
#include "support/pdf_structure_check.h"
#include "support/test_support.h"
#include "writer/document_writer.h"

namespace vellumox {
namespace {

TEST(FuzzCorpus, ConvertCorpusGivesSoundPdfs) {
  const std::filesystem::path corpus =
      std::filesystem::path(VELLUMOX_SOURCE_DIR) / "fuzz/corpus/convert";
  test::TempDir dir;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::string bytes = test::ReadFile(entry.path());
    if (bytes.size() < 3) continue;
    ++files;
    test::WriteFile(dir / "in.txt", bytes.substr(2));
    for (bool markup : {true, false}) {
      SCOPED_TRACE(entry.path().filename().string() + (markup ? " (markup)" : " (plain)"));
      ConversionSettings s;
      s.outputfile = dir / "out.pdf";
      s.UseTextFormating = markup;
      s.pheight = (bytes[0] & 0x20) ? 2.0f : 11.0f;
      DocumentWriter writer;
      LineLayout layout(writer);
      if (bytes[0] & 0x80) layout.SetWrapWidth(static_cast<unsigned char>(bytes[1]) - 10);
      ConvertText(dir / "in.txt", s, writer, layout, nullptr);
      ASSERT_TRUE(writer.Succeeded()) << writer.Failure().message;
      EXPECT_EQ(test::CheckPdfStructure(test::ReadFile(dir / "out.pdf")), "");
      std::string details;
      EXPECT_TRUE(test::QpdfCheckClean(dir / "out.pdf", &details)) << details;
    }
  }
  EXPECT_GT(files, 0);
}

TEST(FuzzCorpus, ImageHeaderCorpusReadsWithinBounds) {
  const std::filesystem::path corpus =
      std::filesystem::path(VELLUMOX_SOURCE_DIR) / "fuzz/corpus/image_header";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    std::string bytes = test::ReadFile(entry.path());
    int32_t width = 0, height = 0, kind = 0;
    uint8_t bits = 0;
    EXPECT_EQ(ReadImageHeader(std::string_view(bytes), width, height, bits, kind), bits);
    EXPECT_TRUE(kind >= 0 && kind <= 4 && width >= 0 && width <= 65535 && height >= 0 &&
                height <= 65535);
    for (const char* name : {"a.jpg", "a.tga", "x"}) SniffImageFormat(bytes, name);
    if (auto jpeg = ReadJpegTraits(entry.path()); jpeg && CanEmbedAsItIs(*jpeg)) {
      const int n = jpeg->frame.components;
      EXPECT_TRUE(n == 1 || n == 3 || n == 4);
    }
    ReadPngSize(entry.path());
    ReadEmfSize(entry.path());
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace vellumox
