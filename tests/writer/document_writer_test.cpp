#include "writer/document_writer.h"

#include <algorithm>
#include <memory>

#include "writer/embedded_font.h"

#include <gtest/gtest.h>

#include "support/test_settings.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::PdfFile;
using test::TempDir;

ConversionSettings CourierLetter(const std::string& output) {
  return test::CourierSettings(10, output);
}

// Writes a document of the given number of pages, each holding one text line.
PdfFile WriteDocument(const ConversionSettings& s, int pages = 1) {
  DocumentWriter w;
  w.Initialize(s);
  w.StartPDF();
  w.WriteFrame({});
  for (int p = 0; p < pages; ++p) {
    w.StartPage();
    w.page().ShowOnNextLine("page text");
    w.EndPage();
  }
  w.EndPDF();
  EXPECT_TRUE(w.Succeeded()) << w.Failure().message;
  EXPECT_EQ(w.Failure().kind, FailureKind::kNone) << w.Failure().message;
  return PdfFile::Load(s.outputfile);
}

TEST(DocumentWriter, InitializeDerivesThePageFigures) {
  struct Case {
    const char* font;
    int16_t size;
    float width, height, margin, top;
    int32_t page_width, page_height, lines, chars;
    const char* leading;
  } cases[] = {
      {"Courier", 10, 8.5f, 11, 0.5f, 0.5f, 612, 792, 60, 94, "12"},
      {"Courier", 11, 8.5f, 11, 0.5f, 0.5f, 612, 792, 55, 83 + 20 - 18, "13.2"},
      {"Courier", 12, 8.5f, 11, 1.0f, 0.5f, 612, 792, 50, 60, "14.4"},  // N(76.5) = 76
      {"Times-Roman", 10, 8.5f, 11, 0.25f, 0.5f, 612, 792, 60, 129 + 20 - 9, "12"},
      {"times-bold", 10, 14, 11, 0.5f, 0.5f, 1008, 792, 60, 202 + 20 - 18, "12"},
      {"Symbol", 10, 8.5f, 5.5f, 0, 0, 612, 396, 33, 135 + 20, "12"},
      // (396 - 72) / 43.2 is exactly 7.5: the half goes to the even neighbour, 8.
      {"Courier", 36, 8.5f, 5.5f, 0.5f, 0.5f, 612, 396, 8, 26 + 20 - 18, "43.2"},
  };
  for (const Case& c : cases) {
    DocumentWriter w;
    ConversionSettings s;
    s.FontName = c.font;
    s.FontSize = c.size;
    s.pwidth = c.width;
    s.pheight = c.height;
    s.Margin = c.margin;
    s.TopMargin = c.top;
    w.Initialize(s);
    const PageGeometry& st = w.geometry();
    EXPECT_EQ(st.PageWidth, c.page_width) << c.font << c.size;
    EXPECT_EQ(st.PageHeight, c.page_height) << c.font << c.size;
    EXPECT_EQ(st.LinesPerPage, c.lines) << c.font << c.size;
    EXPECT_EQ(st.CharsPerLine, c.chars) << c.font << c.size;
    EXPECT_EQ(FormatNumber(st.Leading), c.leading) << c.font << c.size;
  }
}

TEST(DocumentWriter, OnePageDocumentHasThirtyObjects) {
  TempDir dir;
  PdfFile pdf = WriteDocument(CourierLetter(dir / "a.pdf"));
  const std::string& b = pdf.bytes();
  EXPECT_EQ(b.substr(0, 9), "%PDF-1.3\r");
  EXPECT_EQ(pdf.ObjectOffset(1), 9);
  EXPECT_NE(b.find("\r/Size 31\r"), std::string::npos);
  EXPECT_NE(b.find("\rxref\r0 31\r0000000000 65535 f \r0000000009 00000 n \r"), std::string::npos);
  EXPECT_EQ(pdf.PageObject(1), 27);
  EXPECT_EQ(pdf.StreamLines(28).size(), 17u);  // 12 set-up lines, text, page number, ET q
  EXPECT_NE(b.find("30 0 obj\r[\r28 0 R \r]\rendobj\r"), std::string::npos);
  EXPECT_EQ(b.substr(b.size() - 6), "%%EOF\r");
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "a.pdf", &details)) << details;
}

TEST(DocumentWriter, CrossReferenceEntriesAreTwentyBytesAndPointAtTheirObjects) {
  TempDir dir;
  PdfFile pdf = WriteDocument(CourierLetter(dir / "a.pdf"), 3);
  const std::string& b = pdf.bytes();
  size_t startxref = b.rfind("startxref\r");
  int64_t xref = std::stoll(b.substr(startxref + 10));
  ASSERT_EQ(b.substr(static_cast<size_t>(xref), 5), "xref\r");
  size_t first = b.find("0000000000 65535 f \r", static_cast<size_t>(xref));
  size_t count_line = static_cast<size_t>(xref) + 5;
  int count = std::stoi(b.substr(count_line + 2));
  EXPECT_EQ(count, 39);  // 26 + 3 pages of 4 objects, plus entry 0
  for (int n = 1; n < count; ++n) {
    std::string entry = b.substr(first + 20 * static_cast<size_t>(n), 20);
    ASSERT_EQ(entry.substr(10), " 00000 n \r") << n;
    int64_t offset = std::stoll(entry.substr(0, 10));
    EXPECT_EQ(b.substr(static_cast<size_t>(offset), std::to_string(n).size() + 7),
              std::to_string(n) + " 0 obj\r")
        << n;
  }
  EXPECT_NE(b.find("/Kids [ 27 0 R 31 0 R 35 0 R ]\r"), std::string::npos);
  EXPECT_NE(b.find("/Count 3\r"), std::string::npos);
}

TEST(DocumentWriter, EmptyInformationPutsTheDocumentFontAt152) {
  TempDir dir;
  PdfFile pdf = WriteDocument(CourierLetter(dir / "a.pdf"));
  EXPECT_EQ(pdf.ObjectOffset(4), 152);
  EXPECT_NE(pdf.bytes().find("/Producer (Vellumox PRO+ v1.7)\r"), std::string::npos);
  EXPECT_NE(pdf.bytes().find("/Name /F0\r/Encoding 25 0 R\r/BaseFont /Courier\r"),
            std::string::npos);
  EXPECT_NE(pdf.bytes().find("26 0 obj\r<<\r/Font <<\r  /F0 4 0 R\r"), std::string::npos);
  EXPECT_NE(pdf.bytes().find("  /F20 24 0 R\r>>\r  /ProcSet [ /PDF /Text /ImageC ]\r>>\rendobj"),
            std::string::npos);
  EXPECT_EQ(pdf.bytes().find("/XObject"), std::string::npos);
}

TEST(DocumentWriter, PageStartsWithTheBackgroundAndTextState) {
  TempDir dir;
  PdfFile pdf = WriteDocument(CourierLetter(dir / "a.pdf"));
  std::vector<std::string> lines = pdf.PageContentLines(1);
  std::vector<std::string> expected = {"1 1 1 rg",
                                       "0 0 m",
                                       "612 0 l",
                                       "612 792 l",
                                       "0 792 l",
                                       "0 0 l",
                                       "f",
                                       "BT",
                                       "0 0 0 rg",
                                       "/F0 10 Tf",
                                       "1 0 0 1 36 756 Tm",
                                       "12 TL",
                                       "(page text)'",
                                       "1 0 0 1 306 25 Tm",
                                       "(1) Tj",
                                       "/F0 10 Tf",
                                       "ET q"};
  EXPECT_EQ(lines, expected);
  // The length object holds the exact size of the stream data.
  EXPECT_NE(pdf.bytes().find("29 0 obj\r" + std::to_string(pdf.StreamData(28).size()) + "\r"),
            std::string::npos);
}

TEST(DocumentWriter, PageOptionsReachEveryPage) {
  TempDir dir;
  ConversionSettings s = CourierLetter(dir / "a.pdf");
  s.TransitionMode = 14;
  s.Rotation = 90;
  s.ShowPageNum = false;
  s.FullScreen = true;
  s.pwidth = 14;
  s.ForeColorIndex = 6;
  s.BackColorIndex = 9;
  PdfFile pdf = WriteDocument(s, 2);
  const std::string& b = pdf.bytes();
  for (int k = 1; k <= 2; ++k) {
    std::string page = "\r" + std::to_string(pdf.PageObject(k)) + " 0 obj\r";
    size_t at = b.find(page);
    ASSERT_NE(at, std::string::npos);
    std::string dict = b.substr(at, b.find("endobj", at) - at);
    EXPECT_NE(dict.find("/Rotate 90\r/Trans << /Type /Trans /S /Glitter /Di 315 >>\r>>"),
              std::string::npos);
    std::vector<std::string> lines = pdf.PageContentLines(k);
    EXPECT_EQ(lines.front(), "0 0 0.5 rg");
    EXPECT_EQ(lines[8], "1 0.9 0  rg");
    EXPECT_EQ(lines.back(), "ET q");
    EXPECT_EQ(lines[lines.size() - 2], "(page text)'");  // no page number
  }
  EXPECT_NE(b.find("/MediaBox [ 0 0 1008 792 ]"), std::string::npos);
  EXPECT_NE(b.find("/PageMode /FullScreen\r/PageLayout /OneColumn"), std::string::npos);
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "a.pdf", &details)) << details;
}

TEST(DocumentWriter, NoTransitionAndNoFullScreenByDefault) {
  TempDir dir;
  PdfFile pdf = WriteDocument(CourierLetter(dir / "a.pdf"));
  EXPECT_EQ(pdf.bytes().find("/Trans"), std::string::npos);
  EXPECT_EQ(pdf.bytes().find("/PageMode"), std::string::npos);
  EXPECT_NE(pdf.bytes().find("/Rotate 0\r>>"), std::string::npos);
}

TEST(DocumentWriter, OddPageWidthCentresThePageNumberAtAHalf) {
  TempDir dir;
  ConversionSettings s = CourierLetter(dir / "a.pdf");
  s.pwidth = 8.5f + 1.0f / 72.0f;  // 613 points
  PdfFile pdf = WriteDocument(s);
  EXPECT_NE(pdf.bytes().find("1 0 0 1 306.5 25 Tm\r(1) Tj"), std::string::npos);
}

TEST(DocumentWriter, InformationStringsAreEscaped) {
  TempDir dir;
  ConversionSettings s = CourierLetter(dir / "a.pdf");
  s.TextAuthor = "Smith (ed.)";
  s.TextTitle = "a(b \\ c";
  s.TextSubject = "caf\xC3\xA9";  // UTF-8 from the platform
  s.TextKeywords = ")))";
  PdfFile pdf = WriteDocument(s);
  EXPECT_NE(pdf.bytes().find("/Author (Smith \\(ed.\\))\r"), std::string::npos);
  EXPECT_NE(pdf.bytes().find("/Title (a\\(b \\\\ c)\r"), std::string::npos);
  EXPECT_NE(pdf.bytes().find("/Subject (caf\xE9)\r"), std::string::npos);
  EXPECT_NE(pdf.bytes().find("/Keywords (\\)\\)\\))\r"), std::string::npos);
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "a.pdf", &details)) << details;
  test::CommandResult info = test::RunCommand("pdfinfo " + test::ShellQuote(dir / "a.pdf"));
  EXPECT_NE(info.output.find("Title:           a(b \\ c"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("Subject:         caf\xC3\xA9"), std::string::npos) << info.output;
}

TEST(DocumentWriter, OddFontNamesStayValidNames) {
  TempDir dir;
  ConversionSettings s = CourierLetter(dir / "a.pdf");
  s.FontName = "My Font(1)";
  PdfFile pdf = WriteDocument(s);
  EXPECT_NE(pdf.bytes().find("/BaseFont /My#20Font#281#29\r"), std::string::npos);
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "a.pdf", &details)) << details;
}

TEST(DocumentWriter, PlacementStreamsCountTheirLengthExactly) {
  TempDir dir;
  DocumentWriter w;
  w.Initialize(CourierLetter(dir / "a.pdf"));
  w.StartPDF();
  w.WriteFrame({});
  w.StartPage();
  w.page().PlacePicture(PlacementRecord{"im1", 10, 20, 30, 40});
  w.EndPage();
  w.EndPDF();
  PdfFile pdf = PdfFile::Load(dir / "a.pdf");
  EXPECT_EQ(pdf.StreamData(31), "Q\rq 30 0 0 40 10 20 cm /im1 Do\r");
  EXPECT_NE(
      pdf.bytes().find("30 0 obj\r[\r28 0 R \r31 0 R \r]\rendobj\r"
                       "31 0 obj\r<<\r/Length 32 0 R\r>>\rstream\r\nQ\r"
                       "q 30 0 0 40 10 20 cm /im1 Do\rendstream\rendobj\r32 0 obj\r31\rendobj\r"),
      std::string::npos);
}

TEST(DocumentWriter, AnObjectNumberWrittenOutOfPlanFailsTheDocument) {
  TempDir dir;
  DocumentWriter w;
  w.Initialize(CourierLetter(dir / "a.pdf"));
  w.StartPDF();
  w.WriteFrame({});
  w.StartPage();
  w.StartPage();  // the first page's length and contents array are never written
  w.EndPage();
  w.EndPDF();
  EXPECT_FALSE(w.Succeeded());
  EXPECT_EQ(w.Failure().message, "Internal error: object 29 was reserved but never written.");
  EXPECT_TRUE(test::ListFolder(dir.path()).empty());
}

TEST(DocumentWriter, FailureToCreateTheOutputIsReported) {
  TempDir dir;
  DocumentWriter w;
  w.Initialize(CourierLetter(dir / "missing/folder/a.pdf"));
  w.StartPDF();
  w.WriteFrame({});
  w.StartPage();
  w.EndPage();
  w.EndPDF();
  EXPECT_FALSE(w.Succeeded());
  // The first error is kept, not the later ones that follow from it.
  EXPECT_EQ(w.Failure().kind, FailureKind::kError);
  EXPECT_EQ(w.Failure().message.find("Cannot create the PDF file"), 0u) << w.Failure().message;
  EXPECT_TRUE(test::ListFolder(dir.path()).empty());
}

TEST(DocumentWriter, TooLargeADocumentStopsWithAnErrorAndKeepsTheOldFile) {
  TempDir dir;
  test::WriteFile(dir / "a.pdf", "earlier");
  DocumentWriter w;
  w.SetSizeLimit(3000);
  w.Initialize(CourierLetter(dir / "a.pdf"));
  w.StartPDF();
  w.WriteFrame({});
  w.StartPage();
  w.EndPage();
  w.StartPage();
  w.EndPage();
  w.EndPDF();
  EXPECT_FALSE(w.Succeeded());
  EXPECT_NE(w.Failure().message.find("would be larger than 3000 bytes"), std::string::npos);
  EXPECT_EQ(test::ReadFile(dir / "a.pdf"), "earlier");
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"a.pdf"});
}

TEST(DocumentWriter, ReplacesAnEarlierFileWhenDone) {
  TempDir dir;
  test::WriteFile(dir / "a.pdf", std::string(100000, 'o'));
  PdfFile pdf = WriteDocument(CourierLetter(dir / "a.pdf"));
  EXPECT_EQ(pdf.bytes().substr(0, 8), "%PDF-1.3");
  EXPECT_LT(pdf.bytes().size(), 10000u);
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{"a.pdf"});
}

TEST(DocumentWriter, OneWriterWritesDocumentsOneAfterAnother) {
  TempDir dir;
  DocumentWriter w;
  for (const char* name : {"a.pdf", "b.pdf"}) {
    w.Initialize(CourierLetter(dir / name));
    w.StartPDF();
    w.WriteFrame({});
    w.StartPage();
    w.EndPage();
    w.EndPDF();
    EXPECT_TRUE(w.Succeeded());
  }
  EXPECT_EQ(PdfFile::Load(dir / "a.pdf").MaskedBytes(), PdfFile::Load(dir / "b.pdf").MaskedBytes());
}

TEST(DocumentWriter, TablesGrowPastTheOldLimits) {
  // More than 500,000 pages and 1,000,000 objects; pages without a page number keep it small.
  TempDir dir;
  ConversionSettings s = CourierLetter(dir / "a.pdf");
  s.ShowPageNum = false;
  DocumentWriter w;
  w.Initialize(s);
  w.StartPDF();
  w.WriteFrame({});
  const int pages = 500001;
  for (int p = 0; p < pages; ++p) {
    w.StartPage();
    w.EndPage();
  }
  w.EndPDF();
  ASSERT_TRUE(w.Succeeded()) << w.Failure().message;
  std::string bytes = test::ReadFile(dir / "a.pdf");
  EXPECT_NE(bytes.find("/Count 500001\r"), std::string::npos);
  EXPECT_NE(bytes.find("/Size " + std::to_string(26 + 4 * pages + 1) + "\r"), std::string::npos);
  EXPECT_NE(bytes.find(" 2000027 0 R ]\r"), std::string::npos);  // the last page
}

// The typed operations of a page, each as the content line it writes.
TEST(PageContent, EachOperationWritesItsLine) {
  TempDir dir;
  DocumentWriter w;
  w.Initialize(CourierLetter(dir / "a.pdf"));
  w.StartPDF();
  w.WriteFrame({});
  w.StartPage();
  PageContent& page = w.page();
  page.ShowText({{"a(b", TextStart::kNextLine}, {"c\\", TextStart::kHere}});
  page.SelectFont(w.fonts().TableFont(3), 24.0);
  EXPECT_EQ(&page.CurrentFont(), &w.fonts().TableFont(3));
  page.SetFillColour("1 0 0");
  page.MoveTextTo(5, -7);
  EXPECT_FALSE(page.ShowOnNextLineWithin("x()", 4));  // five bytes escaped
  EXPECT_TRUE(page.ShowOnNextLineWithin("x()", 5));
  page.SelectFont(w.fonts().Document(), Fixed4::FromInt(10));
  w.EndPage();
  w.EndPDF();
  ASSERT_TRUE(w.Succeeded()) << w.Failure().message;
  std::vector<std::string> lines = PdfFile::Load(dir / "a.pdf").PageContentLines(1);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 12, lines.begin() + 18),
            (std::vector<std::string>{"(a\\(b)' (c\\\\) Tj", "/F3 24 Tf", "1 0 0 rg ",
                                      "1 0 0 1 5 -7 Tm", "(x\\(\\))'", "/F0 10 Tf"}));
}

// A standard font: one glyph per byte with the width table's advances; the wrap's fit takes
// at least one character and counts escaped bytes twice.
TEST(StandardFont, MeasuresFitsAndEncodesBytes) {
  StandardFonts fonts("Courier");
  const Font& courier = fonts.Document();
  EXPECT_EQ(courier.Width("abc"), 1800);
  EXPECT_EQ(courier.EncodedLength("a(\\)"), 7u);
  std::vector<ShapedGlyph> glyphs;
  courier.Shape("a(", glyphs);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[1].glyph, static_cast<uint32_t>('('));
  EXPECT_EQ(glyphs[1].advance, 600);
  EXPECT_EQ(glyphs[1].cluster, 1u);
  struct Case {
    const char* text;
    int64_t width;
    size_t max_encoded, characters, encoded;
  } cases[] = {
      {"abcd", 1200, 10, 2, 2},  // as many as the width holds
      {"abcd", 100, 10, 1, 1},   // the first goes alone
      {"((((", 6000, 3, 2, 4},   // looks on while fewer than 3 bytes are taken
      {"a(b", 6000, 3, 2, 3},    // the byte limit within what the width holds
      {"(a", 100, 10, 1, 2},     // an escaped first character, alone
      {"ab", 6000, 0, 0, 0},    {"", 1000, 10, 0, 0},
  };
  for (const Case& c : cases) {
    TextFit fit = courier.Fit(c.text, c.width, c.max_encoded);
    EXPECT_EQ(fit.characters, c.characters) << c.text << " " << c.width;
    EXPECT_EQ(fit.encoded, c.encoded) << c.text << " " << c.width;
  }
  EXPECT_EQ(fonts.TableFont(20).ResourceName(), "F20");
  EXPECT_EQ(fonts.DocumentFontIndex(), 0);
}

// Once a document has failed, every writer operation does nothing.
TEST(DocumentWriter, AfterTheFirstErrorEveryOperationDoesNothing) {
  TempDir dir;
  DocumentWriter w;
  w.SetSizeLimit(3000);
  w.Initialize(CourierLetter(dir / "a.pdf"));
  w.StartPDF();
  w.WriteFrame({});
  w.StartPage();
  for (int i = 0; i < 200 && !w.Failed(); ++i) w.page().ShowOnNextLine("a line of text");
  ASSERT_TRUE(w.Failed());
  const std::string first = w.Failure().message;
  const int64_t offset = w.OutputOffset();
  w.page().ShowOnNextLine("more");
  w.page().MoveTextTo(1, 2);
  w.EndPage();
  w.StartPage();
  w.EndPDF();
  EXPECT_EQ(w.OutputOffset(), offset);
  EXPECT_EQ(w.Failure().message, first);
  EXPECT_EQ(test::ListFolder(dir.path()), std::vector<std::string>{});
}

// A font beyond the standard ones: a TrueType subset, Type0 over CIDFontType2 with a ToUnicode
// CMap, written at the end with the shared resources that name it; readers give the text back.
TEST(EmbeddedFont, ASubsetShowsAndGivesBackItsText) {
  const std::string face = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!test::PathExists(face)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  TempDir dir;
  DocumentWriter w;
  w.Initialize(CourierLetter(dir / "a.pdf"));
  w.StartPDF();
  w.WriteFrame({}, true);
  std::unique_ptr<EmbeddedFont> font = EmbeddedFont::Open(face, 0, w.NextFontName());
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(font->Covers(U'\u0416'));
  EXPECT_FALSE(font->Covers(U'\u4E2D'));  // no ideographs in this face
  EXPECT_EQ(font->EncodedLength("\xD0\x96"
                                "a"),
            2u);  // characters, not bytes
  const Font& added = w.AddFont(std::move(font));
  EXPECT_EQ(added.ResourceName(), "F21");
  w.StartPage();
  w.page().SelectFont(added, 12.0);
  w.page().ShowText(
      {{"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 (\xCE\xB1)", TextStart::kNextLine}});
  // The ligature that the shaper makes of "fi" is the glyph of U+FB01 as well: each text
  // comes back as typed.
  w.page().ShowText({{"fi \xEF\xAC\x81", TextStart::kNextLine}});
  w.page().SelectFont(w.fonts().Document(), Fixed4::FromInt(10));
  w.page().ShowOnNextLine("caf\xE9");
  w.EndPage();
  w.EndPDF();
  ASSERT_TRUE(w.Succeeded()) << w.Failure().message;
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "a.pdf", &details)) << details;
  const std::string typed =
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 (\xCE\xB1)\nfi \xEF\xAC\x81\ncaf\xC3\xA9\n";
  EXPECT_EQ(test::PdfToText(dir / "a.pdf").substr(0, typed.size()), typed);
  const std::string fonts = test::RunCommand("pdffonts " + test::ShellQuote(dir / "a.pdf")).output;
  EXPECT_NE(fonts.find("+DejaVuSans"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("CID TrueType      Identity-H       yes yes yes"), std::string::npos)
      << fonts;
  EXPECT_EQ(test::ReadFile(dir / "a.pdf").substr(0, 9), "%PDF-1.3\r");
}

// A blank of the standard font between two runs of one face is drawn in the face, as wide as
// the standard font's blank: the runs share one operand without a font change, the face stays
// in force into the next line, and the standard font comes back for what it shows (the page
// number too).
TEST(EmbeddedFont, BlanksBetweenItsRunsAreDrawnInItAsWideAsTheStandardFonts) {
  const std::string face = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!test::PathExists(face)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  TempDir dir;
  DocumentWriter w;
  w.Initialize(CourierLetter(dir / "a.pdf"));  // with page numbers
  w.StartPDF();
  w.WriteFrame({}, true);
  const Font& cyrillic = w.AddFont(EmbeddedFont::Open(face, 0, w.NextFontName()));
  w.StartPage();
  const std::string hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  const std::string world = "\xD0\xBC\xD0\xB8\xD1\x80";
  PageContent& page = w.page();
  page.ShowText({{hello, TextStart::kNextLine, &cyrillic},
                 {"  ", TextStart::kHere},
                 {world, TextStart::kHere, &cyrillic}});
  page.ShowText({{world, TextStart::kNextLine, &cyrillic},
                 {" ", TextStart::kHere},
                 {"and", TextStart::kHere}});
  page.ShowOnNextLine("end");
  w.EndPage();
  w.EndPDF();
  ASSERT_TRUE(w.Succeeded()) << w.Failure().message;
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "a.pdf", &details)) << details;
  const std::vector<std::string> lines = PdfFile::Load(dir / "a.pdf").PageContentLines(1);
  ASSERT_GE(lines.size(), 19u);
  EXPECT_EQ(lines[12].rfind("/F21 10 Tf (", 0), 0u) << lines[12];
  EXPECT_EQ(lines[12].find("Tf", 10), std::string::npos) << lines[12];  // one font change
  EXPECT_EQ(lines[12].substr(lines[12].size() - 1), "'") << lines[12];
  // The next line goes on in the face; its blank before the standard font's word is the
  // standard font's.
  EXPECT_EQ(lines[13].find("/F21"), std::string::npos) << lines[13];
  EXPECT_NE(lines[13].find("' /F0 10 Tf ( ) Tj (and) Tj"), std::string::npos) << lines[13];
  EXPECT_EQ(lines[14], "(end)'");
  const auto number = std::find(lines.begin(), lines.end(), "(1) Tj");
  ASSERT_NE(number, lines.end());
  // The words are apart by the two Courier blanks (600 thousandths of 10 points each), and
  // they read as words (a reader makes one blank of two).
  EXPECT_EQ(test::PdfToText(dir / "a.pdf").substr(0, hello.size() + world.size() + 1),
            hello + " " + world);
  const std::string boxes = test::PdfToText(dir / "a.pdf", "-bbox");
  auto x_of = [&](const std::string& word, const char* edge) {
    const size_t at = boxes.find(">" + word + "<");
    const size_t open = boxes.rfind("<word", at);
    const size_t attribute = boxes.find(edge, open);
    return std::stod(boxes.substr(attribute + std::string(edge).size() + 2));
  };
  EXPECT_NEAR(x_of(world, "xMin") - x_of(hello, "xMax"), 12.0, 0.05) << boxes;
}

}  // namespace
}  // namespace vellumox
