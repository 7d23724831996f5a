#include "images/image_references.h"

#include <gtest/gtest.h>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;

ImageCodec& Codec() {
  return test::SharedCodec();
}

std::vector<std::string> Collect(const TempDir& dir, const std::string& text, bool markup = true) {
  test::WriteFile(dir / "doc.txt", text);
  ImageReferences refs(Codec());
  refs.SetDocument(dir / "out.pdf", dir / "doc.txt");
  refs.CollectImages(dir / "doc.txt", markup);
  std::vector<std::string> paths;
  for (const ImageEntry& e : refs.entries()) paths.push_back(e.path);
  return paths;
}

TEST(CollectImages, FindsTheDistinctPicturesOfTheTags) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 8, 8);
  test::MakeJpeg(dir / "b.jpg", 8, 8);
  test::MakePng(dir / "c.png", 8, 8);
  test::MakeJpeg(dir / "d.jpeg", 8, 8);
  test::MakeWithMagick(dir / "e.tiff", "TIFF", 8, 8);
  test::WriteFile(dir / "zero.jpg", "");
  using Paths = std::vector<std::string>;
  const std::string a = dir / "a.jpg", b = dir / "b.jpg", c = dir / "c.png";
  const std::string d = dir / "d.jpeg", e = dir / "e.tiff";
  struct Case {
    std::string text;
    Paths paths;
  } cases[] = {
      {"<IMG SRC=\"" + a + "\">", {a}},
      {"<img src=" + a + "> and <img src=" + b + ">", {a, b}},
      {"<img src=a.jpg>\r\n<img src=\"" + a + "\">\r\n<img src=c.png>", {a, c}},  // beside input
      // The other names of JPEG and TIFF are taken as .jpg and .tif are.
      {"<img src=d.jpeg> <img src=e.tiff> <img src=zero.jpg> <img src=none.jpg>", {d, e}},
      {"<img src=a.jpg", {}},  // no complete tag
      {"<b>x</b> <img src=b.jpg> <i>y</i>", {b}},
      {"src=a.jpg <b>bold</b>", {a}},  // the scan takes the text up to the first ">" as a tag
  };
  for (const Case& k : cases) EXPECT_EQ(Collect(dir, k.text), k.paths) << k.text;
  EXPECT_TRUE(Collect(dir, "<img src=a.jpg>", false).empty());
}

TEST(CollectImages, FindsNamesWithParenthesesAndForeignLetters) {
  TempDir dir;
  test::MakeJpeg(dir / "photo (1).jpg", 8, 8);
  test::MakeJpeg(dir /
                     "\xC5\x81\xC3\xB3"
                     "d\xC5\xBA.jpg",
                 8, 8);  // Łódź.jpg
  test::MakeJpeg(dir / "caf\xC3\xA9.jpg", 8, 8);
  // UTF-8 text: Ł and ź have no Windows-1252 character and become "?", found by pattern.
  EXPECT_EQ(Collect(dir,
                    "<img src=\"photo (1).jpg\">\r\n<img src=\"\xC5\x81\xC3\xB3"
                    "d\xC5\xBA.jpg\">"),
            (std::vector<std::string>{dir / "photo (1).jpg", dir / "\xC5\x81\xC3\xB3"
                                                                   "d\xC5\xBA.jpg"}));
  // Windows-1252 text: the name goes back to UTF-8.
  EXPECT_EQ(Collect(dir, "<img src=\"caf\xE9.jpg\">"),
            (std::vector<std::string>{dir / "caf\xC3\xA9.jpg"}));
}

TEST(CollectImages, ANameFindsItsOwnPictureOrNone) {
  TempDir dir;
  test::MakeJpeg(dir / "Berlin.jpg", 8, 8);
  test::MakeJpeg(dir / "abcd.jpg", 8, 8);
  test::RunCommand("mkdir " + test::ShellQuote(dir / "\xE6\x97\xA5\xE6\x9C\xAC") + " " +
                   test::ShellQuote(dir / "ab"));  // 日本 and a folder of two letters
  test::MakeJpeg(dir / "ab/x.jpg", 8, 8);
  test::MakeJpeg(dir / "\xE6\x97\xA5\xE6\x9C\xAC/x.jpg", 8, 8);
  struct Case {
    const char* tag;
    std::vector<std::string> found;
  } cases[] = {
      // Москва.jpg reads "??????.jpg" in the code page; Berlin.jpg must not answer for it.
      {"<img src=\"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.jpg\">", {}},
      {"<img src=\"????.jpg\">", {}},  // a literal "????" is not abcd
      {"<img src=\"\xE6\x97\xA5\xE6\x9C\xAC/x.jpg\">", {dir / "\xE6\x97\xA5\xE6\x9C\xAC/x.jpg"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Collect(dir, c.tag), c.found) << c.tag;
}

TEST(FindImage, MatchesEscapedAndFolderRelativeNames) {
  TempDir dir;
  test::MakeJpeg(dir / "a.jpg", 8, 8);
  test::WriteFile(dir / "doc.txt", "<img src=\"" + dir / "a.jpg" + "\">");
  ImageReferences refs(Codec());
  refs.SetDocument(dir / "out.pdf", dir / "*.jpg");
  refs.CollectImages(dir / "doc.txt", true);
  ASSERT_EQ(refs.entries().size(), 1u);
  EXPECT_EQ(refs.FindImage(dir / "a.jpg"), 1);
  EXPECT_EQ(refs.FindImage(dir / "A.jpg"), 0);  // names tell letter case apart here
  EXPECT_EQ(refs.FindImage("nothing"), 0);
  // At layout the tag is the input's text.
  EXPECT_EQ(refs.PlacedPath("img src=\"" + dir / "a.jpg" + "\""), dir / "a.jpg");
  EXPECT_EQ(refs.PlacedPath("img src=missing.jpg"), dir / "missing.jpg");
}

}  // namespace
}  // namespace vellumox
