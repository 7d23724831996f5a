#include "images/image_embedder.h"

#include "conversion/conversion.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "support/picture_fixtures.h"
#include "support/test_settings.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::PdfFile;
using test::TempDir;

ImageCodec& Codec() {
  return test::SharedCodec();
}

// Letter page, margins of half an inch, 10 pt: W 612, H 792, M = T = 36, L = 12.
ConversionSettings Letter(const std::string& output) {
  return test::CourierSettings(10, output, false);
}

struct RecordedPictures : PictureEvents {
  void PictureConverted(const std::string& picture) override { converted.push_back(picture); }
  void PictureLeftOut(const std::string& picture, const std::string& reason) override {
    left_out.push_back(picture + ": " + reason);
  }
  std::vector<std::string> converted, left_out;
};

// A document with the layout and the pictures attached.
struct Document {
  explicit Document(ImageCodec& codec = Codec()) : images{writer, layout, codec} {
    layout.SetImagePlacer(&images);
    images.SetEvents(&events);
  }
  bool Convert(const std::string& input, const ConversionSettings& settings) {
    return vellumox::ConvertText(input, settings, writer, layout, &images);
  }
  DocumentWriter writer;
  LineLayout layout{writer};
  ImageEmbedder images;
  RecordedPictures events;
};

// The library codec, whose decoding throws: what a worker does not expect.
class ThrowingCodec : public ImageCodec {
 public:
  explicit ThrowingCodec(bool out_of_memory) : out_of_memory_(out_of_memory) {}
  bool CanRead(ImageFormat format) const override { return Codec().CanRead(format); }
  std::optional<PixelSize> ReadSize(const std::string& path, ImageFormat format,
                                    std::string* error) override {
    return Codec().ReadSize(path, format, error);
  }
  std::unique_ptr<PixelRows> Decode(const std::string&, ImageFormat, const std::string&,
                                    std::string*) override {
    if (out_of_memory_) throw std::bad_alloc();
    throw std::runtime_error("the decoder broke");
  }
  bool EncodeJpeg(PixelRows& rows, const std::string& path, int quality, std::string* error,
                  int* write_error) override {
    return Codec().EncodeJpeg(rows, path, quality, error, write_error);
  }

 private:
  bool out_of_memory_;
};

struct Converted {
  bool ok;
  PdfFile pdf;
  RecordedPictures events;
};

Converted ConvertText(const TempDir& dir, const std::string& text, bool use_old_top = false) {
  test::WriteFile(dir / "doc.txt", text);
  Document doc;
  doc.images.SetUseOldTop(use_old_top);
  bool ok = doc.Convert(dir / "doc.txt", Letter(dir / "doc.pdf"));
  EXPECT_TRUE(ok) << doc.writer.Failure().message;
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "doc.pdf", &details)) << details;
  return Converted{ok, PdfFile::Load(dir / "doc.pdf"), doc.events};
}

// The placement streams of page k: their drawing lines.
std::vector<std::string> Placements(const PdfFile& pdf, int k) {
  int page = pdf.PageObject(k);
  std::vector<std::string> out;
  for (int n = page + 4;; n += 2) {
    std::vector<std::string> lines = pdf.StreamLines(n);
    if (lines.size() != 2 || lines[0] != "Q") break;
    out.push_back(lines[1]);
  }
  return out;
}

TEST(PlaceImage, FlowImageOnALetterPage) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 800, 600);
  Converted c = ConvertText(dir, "<img src=\"a.jpg\">\r\nafter");
  EXPECT_EQ(Placements(c.pdf, 1), std::vector<std::string>{"q 540 0 0 405 36 360 cm /im1 Do"});
  std::vector<std::string> text = c.pdf.PageContentLines(1);
  // 33 blank lines below the image, then the text.
  EXPECT_EQ(std::count(text.begin(), text.end(), "()'"), 33 + 1);
  EXPECT_EQ(text[12 + 33], "/F0 10 Tf");
  EXPECT_EQ(text[12 + 36], "(after)'");
}

TEST(PlaceImage, VerticalCursorAfterAFlowImage) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 800, 600);
  test::WriteFile(dir / "doc.txt", "<img src=\"a.jpg\">");
  Document doc;
  DocumentWriter& w = doc.writer;
  w.Initialize(Letter(dir / "doc.pdf"));
  doc.images.CollectImages(dir / "doc.txt");
  w.StartPDF();
  w.WriteFrame(&doc.images.PrepareImages());
  doc.images.FinishImages();
  doc.layout.StartDocument();
  doc.images.PlaceImage("img src=\"" + dir / "a.jpg" + "\"");
  EXPECT_EQ(doc.layout.cursor().Vertical(), 432.0f);
  EXPECT_EQ(doc.layout.cursor().Line(), 1 + 33);
  ASSERT_EQ(w.page().Pictures().size(), 1u);
  const PlacementRecord& r = w.page().Pictures()[0];
  EXPECT_EQ(r.name, "im1");
  EXPECT_EQ(r.x, 36);
  EXPECT_EQ(r.y, 360);
  EXPECT_EQ(r.width, 540);
  EXPECT_EQ(r.height, 405);
  w.EndPage();
  w.EndPDF();
  EXPECT_TRUE(w.Succeeded());
}

// A picture worker that meets what it did not expect (an exception, memory that runs out) fails
// the document, which then leaves nothing behind: no partial PDF, no temporary files.
TEST(ImageEmbedder, AWorkerThatThrowsFailsTheDocumentAndLeavesNothing) {
  for (bool out_of_memory : {false, true}) {
    SCOPED_TRACE(out_of_memory);
    TempDir dir;
    test::RunCommand("mkdir " + test::ShellQuote(dir / "tmp"));
    test::ScopedEnvironment tmpdir("TMPDIR", dir / "tmp");
    test::MakePng(dir / "a.png", 40, 30);
    test::MakePng(dir / "b.png", 40, 30);
    test::WriteFile(dir / "doc.txt", "<img src=a.png>\r\n<img src=b.png>\r\n");
    ThrowingCodec codec(out_of_memory);
    {
      Document doc(codec);
      EXPECT_FALSE(doc.Convert(dir / "doc.txt", Letter(dir / "doc.pdf")));
      EXPECT_EQ(
          doc.writer.Failure().message,
          std::string("The picture 'a.png' could not be converted: ") +
              (out_of_memory ? "there is not enough memory to convert it." : "the decoder broke."));
      EXPECT_TRUE(doc.events.left_out.empty());
      EXPECT_EQ(test::ListFolder(dir.path()),
                (std::vector<std::string>{"a.png", "b.png", "doc.txt", "tmp"}));
    }
    EXPECT_EQ(test::ListFolder(dir / "tmp"), std::vector<std::string>{});
  }
}

TEST(PlaceImage, SizesAndPositionsFromAttributes) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 800, 600);
  struct Case {
    std::string tag;
    bool use_old_top;
    std::string drawn;
  } cases[] = {
      // One side given: the other keeps the picture's proportions (800 x 600).
      {"<img src=a.jpg height=\"1000\">", false, "q 1056 0 0 792 36 0 cm /im1 Do"},
      {"<img src=a.jpg top=\"100\" height=\"200\">", false, "q 267 0 0 200 36 492 cm /im1 Do"},
      {"<img src=a.jpg top=\"100\" height=\"200\">", true, "q 267 0 0 200 36 100 cm /im1 Do"},
      {"<img src=a.jpg top=700 height=200>", false, "q 267 0 0 200 36 700 cm /im1 Do"},
      {"<img src=a.jpg width=100 left=300 top=50>", false, "q 100 0 0 75 300 667 cm /im1 Do"},
      {"<img src=a.jpg width=200 height=50 top=50>", false, "q 200 0 0 50 36 692 cm /im1 Do"},
      // What a page cannot hold is kept within bounds: a side of 1 to 14400, a position of
      // at most 32767.
      {"<img src=a.jpg width=abc>", false, "q 1 0 0 1 36 756 cm /im1 Do"},
      {"<img src=a.jpg width=0 height=1e308>", false, "q 1 0 0 792 36 0 cm /im1 Do"},
      {"<img src=a.jpg width=1e308 height=-5 left=99999 top=-1e9>", false,
       "q 14400 0 0 1 32767 32767 cm /im1 Do"},
  };
  for (const Case& k : cases) {
    Converted c = ConvertText(dir, k.tag, k.use_old_top);
    EXPECT_EQ(Placements(c.pdf, 1), std::vector<std::string>{k.drawn}) << k.tag;
  }
}

TEST(PlaceImage, OneFileTwoTagsIsOneObjectTwoPlacements) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 80, 60);
  test::MakeJpeg(dir / "b.jpg", 80, 60, test::Pixels::kGrey);
  Converted c = ConvertText(dir,
                            "<img src=a.jpg top=10 height=20> <img src=b.jpg top=50 height=20>"
                            "<img src=a.jpg top=100 height=20>");
  const std::string& b = c.pdf.bytes();
  EXPECT_NE(b.find("  /XObject << \r  /im1 27 0 R\r  /im2 28 0 R\r  >>\r>>\rendobj\r27 0 obj"),
            std::string::npos);
  EXPECT_EQ(Placements(c.pdf, 1).size(), 3u);
  EXPECT_NE(b.find("/Name /im2 /Filter [ /DCTDecode ]\r   /Width 80 /Height 60 /BitsPerComponent 8 "
                   "/ColorSpace /DeviceGray"),
            std::string::npos);
  EXPECT_NE(b.find("/Name /im1 /Filter [ /DCTDecode ]\r   /Width 80 /Height 60 /BitsPerComponent 8 "
                   "/ColorSpace /DeviceRGB"),
            std::string::npos);
  // The contents array lists the text stream and every placement stream.
  int page = c.pdf.PageObject(1);
  EXPECT_NE(b.find(std::to_string(page + 3) + " 0 obj\r[\r" + std::to_string(page + 1) + " 0 R \r" +
                   std::to_string(page + 4) + " 0 R \r" + std::to_string(page + 6) + " 0 R \r" +
                   std::to_string(page + 8) + " 0 R \r]"),
            std::string::npos);
}

TEST(PlaceImage, FlowImagesBreakThePageOnlyWhenTheyDoNotFit) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 540, 300);
  // After 35 lines the cursor is at 36 + 35 x 12 = 456: 300 more would pass 792 - yet 336 fits.
  std::string lines;
  for (int i = 0; i < 35; ++i) lines += "line\r\n";
  Converted fits = ConvertText(dir, lines + "<img src=a.jpg height=336>");
  EXPECT_EQ(fits.pdf.PageObject(2), -1);
  Converted breaks = ConvertText(dir, lines + "<img src=a.jpg height=337>");
  EXPECT_NE(breaks.pdf.PageObject(2), -1);
  // 540 x 300 at a height of 337 keeps its proportions: 607 wide.
  EXPECT_EQ(Placements(breaks.pdf, 2), std::vector<std::string>{"q 607 0 0 337 36 420 cm /im1 Do"});
}

TEST(PlaceImage, APictureTallerThanTheTextAreaStaysOnAFreshPage) {
  TempDir dir;
  test::MakeJpeg(dir / "portrait.jpg", 300, 400);  // 540 x 720: more than 792 - 36 below the top
  Converted c = ConvertText(dir, "<img src=portrait.jpg>\r\n\f\r\n<img src=portrait.jpg>");
  EXPECT_EQ(c.pdf.PageObject(3), -1);  // two pages, no blank one before either picture
  EXPECT_EQ(Placements(c.pdf, 1), std::vector<std::string>{"q 540 0 0 720 36 36 cm /im1 Do"});
  EXPECT_EQ(Placements(c.pdf, 2), std::vector<std::string>{"q 540 0 0 720 36 36 cm /im1 Do"});
}

TEST(WriteImageObjects, StreamFramingAndLength) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 40, 30);
  test::WriteFile(dir / "doc.txt", "<img src=a.jpg>");
  Document doc;
  doc.images.SetJpegOptions(JpegOptions{100, true});
  ASSERT_TRUE(doc.Convert(dir / "doc.txt", Letter(dir / "doc.pdf")));
  std::string jpeg = test::ReadFile(dir / "a.jpg");
  std::string pdf = test::ReadFile(dir / "doc.pdf");
  std::string expected = "/Length " + std::to_string(jpeg.size()) + "\r>>\rstream\r\n" + jpeg +
                         "\rendstream\r\rendobj\r";
  EXPECT_NE(pdf.find(expected), std::string::npos);
}

// A picture is named before it is converted (so that its JPEG can leave the temporary folder as
// soon as it is in the PDF); one that then gives no JPEG keeps its name for an empty object.
TEST(WriteImageObjects, PicturesWithoutJpegGetAnEmptyObjectAndDrawNothing) {
  TempDir dir;
  test::MakeJpeg(dir / "good.jpg", 80, 60);
  std::string jpeg = test::ReadFile(dir / "good.jpg");
  test::WriteFile(dir / "bad.jpg", jpeg.substr(0, 200));
  test::MakeJpeg(dir / "also.jpg", 40, 30);
  Converted c = ConvertText(dir,
                            "<img src=bad.jpg>\r\n<img src=good.jpg>\r\n<img src=bad.jpg>\r\n"
                            "<img src=also.jpg top=10 height=10>");
  const std::string& b = c.pdf.bytes();
  EXPECT_NE(b.find("  /XObject << \r  /im1 27 0 R\r  /im2 28 0 R\r  /im3 29 0 R\r  >>\r"),
            std::string::npos);
  EXPECT_NE(b.find("\r27 0 obj\rnull\rendobj\r"), std::string::npos);
  std::vector<std::string> drawn = Placements(c.pdf, 1);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_NE(drawn[0].find("/im2 Do"), std::string::npos);
  EXPECT_NE(drawn[1].find("/im3 Do"), std::string::npos);
  // Each picture's fate is told once, in document order, by the name the tag gives.
  EXPECT_EQ(c.events.converted, (std::vector<std::string>{"good.jpg", "also.jpg"}));
  ASSERT_EQ(c.events.left_out.size(), 1u);
  EXPECT_EQ(c.events.left_out[0].rfind("bad.jpg: ", 0), 0u) << c.events.left_out[0];
}

TEST(Albums, OneImagePerPage) {
  TempDir dir;
  test::MakeJpeg(dir / "one.jpg", 300, 200);
  test::MakePng(dir / "two.png", 200, 300);
  test::MakeWithMagick(dir / "three.gif", "GIF", 100, 100);
  std::string list = "<img src=\"" + dir / "one.jpg" + "\">\r\n\f\r\n<img src=\"" +
                     dir / "two.png" + "\">\r\n\f\r\n<img src=\"" + dir / "three.gif" + "\">\r\n";
  Converted c = ConvertText(dir, list);
  for (int k = 1; k <= 3; ++k) {
    std::vector<std::string> drawn = Placements(c.pdf, k);
    ASSERT_EQ(drawn.size(), 1u) << k;
    EXPECT_NE(drawn[0].find("/im" + std::to_string(k) + " Do"), std::string::npos) << k;
  }
  EXPECT_EQ(c.pdf.PageObject(4), -1);
}

}  // namespace
}  // namespace vellumox
