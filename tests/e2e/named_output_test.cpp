// What the user named, and nothing else: the output -o names, a title of the album's own, and
// pictures named as the text writes them, in the order a reader counts.
#include <gtest/gtest.h>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

using Batch = test::BatchRuns;
const auto Sound = test::ExpectSoundPdf;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Runs vellumox in the test's folder, so that relative names are the user's.
test::CommandResult RunIn(const TempDir& dir, const Batch& batch, const std::string& arguments) {
  return RunCommand("cd " + ShellQuote(dir.path()) + " && " +
                    test::VellumoxCommand(batch.config.path()) + " " + arguments);
}

TEST(NamedOutput, APicturePatternsAlbumGoesWhereDashOSays) {
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "pics"));
  test::MakeJpeg(dir / "pics/p10.jpg", 30, 10);
  test::MakeJpeg(dir / "pics/P23.JPG", 40, 10);
  test::MakeJpeg(dir / "pics/p2.jpg", 20, 10);
  test::WriteFile(dir / "pics/images.pdf", "an earlier album");
  struct Case {
    const char* output;  // as given to -o
    const char* pdf;     // what is written, in the current folder
  };
  for (const Case& c :
       {Case{"trip.pdf", "trip.pdf"}, Case{"trip2", "trip2.pdf"}, Case{"Trip3.PDF", "Trip3.PDF"}}) {
    SCOPED_TRACE(c.output);
    auto r = RunIn(dir, batch, "-o " + ShellQuote(c.output) + " 'pics/*.jpg'");
    EXPECT_EQ(r.exit_code, 0) << r.error;
    Sound(dir / c.pdf);
    // One picture a page, in the order a reader counts: p2, p10, P23.
    std::vector<test::PdfImageRow> rows = test::PdfImages(dir / c.pdf);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].width, 20);
    EXPECT_EQ(rows[1].width, 30);
    EXPECT_EQ(rows[2].width, 40);
  }
  EXPECT_EQ(test::ReadFile(dir / "pics/images.pdf"), "an earlier album");
  // Without -o the album goes where the Parts put it.
  RunCommand("rm " + ShellQuote(dir / "pics/images.pdf"));
  EXPECT_EQ(RunIn(dir, batch, "'pics/*.jpg'").exit_code, 0);
  Sound(dir / "pics/images.pdf");
}

TEST(NamedOutput, DashOWithATextPatternIsRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "txt"));
  test::WriteFile(dir / "txt/a.txt", "a\r\n");
  test::WriteFile(dir / "txt/b.txt", "b\r\n");
  auto r = RunIn(dir, batch, "-o x.pdf 'txt/*.txt'");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.error,
            "vellumox: -o names the PDF of a single input; 'txt/*.txt' makes one PDF per file: "
            "leave out -o.\n");
  EXPECT_EQ(test::ListFolder(dir / "txt"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_FALSE(test::PathExists(dir / "x.pdf"));
}

// An album's title, subject and keywords are its own, never those of the last text; the rest
// of its look comes from what was kept.
TEST(NamedOutput, AnAlbumOfTheAlbumBuilderHasATitleOfItsOwn) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics"));
  test::MakeJpeg(dir / "pics/a.jpg", 40, 30);
  test::WriteFile(dir / "report.txt", "a report\r\n");
  const std::string env =
      "cd " + ShellQuote(dir.path()) +
      " && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + ShellQuote(dir / "config") + " ";
  auto text = RunCommand(env + ShellQuote(test::BinDir() + "/vellumox") +
                         " --batch --save -t Report -z Figures -k 'q3, sales' -a 'Ann Smith' "
                         "-b22 report.txt");
  ASSERT_EQ(text.exit_code, 0) << text.error;
  auto album = RunCommand(env + ShellQuote(test::BinDir() + "/album") + " pics /o Holiday");
  ASSERT_EQ(album.exit_code, 0) << album.error;
  const std::string info = RunCommand("pdfinfo " + ShellQuote(dir / "pics/Holiday.pdf")).output;
  EXPECT_TRUE(Holds(info, "Title:           Holiday\n")) << info;
  EXPECT_FALSE(Holds(info, "Figures")) << info;  // the text's subject
  EXPECT_FALSE(Holds(info, "sales")) << info;    // and keywords
  EXPECT_TRUE(Holds(info, "Author:          Ann Smith\n")) << info;
  // The light-yellow background that the window kept.
  EXPECT_TRUE(
      Holds(test::PdfFile::Load(dir / "pics/Holiday.pdf").PageContentLines(1)[0], "1 1 0.8 rg"));
}

TEST(NamedOutput, AMissingPictureIsNamedAsTheTextWritesIt) {
  TempDir dir;
  Batch batch;
  const std::string lodz =
      "\xC5\x81\xC3\xB3"
      "d\xC5\xBA";  // Łódź
  test::MakeJpeg(dir / (lodz + ".jpg"), 40, 30);
  test::WriteFile(dir / "t.txt",
                  "<img src=\"" + lodz + ".jpg\">\n<img src=\"" + lodz + "2.jpg\">\n");
  auto r = batch.Run(ShellQuote(dir / "t.txt"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
  EXPECT_TRUE(Holds(r.error, "picture '" + lodz + "2.jpg' left out: no such file")) << r.error;
  EXPECT_EQ(test::PdfImages(dir / "t.pdf").size(), 1u);  // the one that is there, found
}

}  // namespace
}  // namespace vellumox
