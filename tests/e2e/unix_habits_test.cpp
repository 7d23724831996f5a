// The command-line habits of Unix tools: standard input and output, several inputs, quiet
// runs that save nothing, compressed output, and many files at once with GNU parallel.
#include <gtest/gtest.h>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

std::string Prose(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += "Ordinary prose goes on from line to line, and line " + std::to_string(i) +
            " is no different from the others around it.\r\n";
  }
  return text;
}

const auto Sound = test::ExpectSoundPdf;

TEST(UnixHabits, StandardInputAndOutput) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "From standard input\r\n");
  const std::string vellumox = test::VellumoxCommand(dir / "config");
  auto r = RunCommand(vellumox + " - -o - < " + ShellQuote(dir / "a.txt") + " > " +
                      ShellQuote(dir / "out.pdf"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_EQ(test::ReadFile(dir / "out.pdf").substr(0, 8), "%PDF-1.3");  // nothing else there
  EXPECT_TRUE(Sound(dir / "out.pdf"));
  EXPECT_NE(test::PdfToText(dir / "out.pdf").find("From standard input"), std::string::npos);
  EXPECT_NE(r.error.find("Processing standard input"), std::string::npos) << r.error;
  r = RunCommand(vellumox + " - -o " + ShellQuote(dir / "named.pdf") + " < " +
                 ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_TRUE(Sound(dir / "named.pdf"));
  // "-" alone has nowhere to write.
  r = RunCommand(vellumox + " - < " + ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.error.find("-o FILE or -o -"), std::string::npos) << r.error;
}

TEST(UnixHabits, SeveralInputsEachToTheirOwnPdf) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "first\r\n");
  test::WriteFile(dir / "b.md", "second\r\n");
  test::WriteFile(dir / "c d.txt", "third\r\n");
  const std::string vellumox = test::VellumoxCommand(dir / "config");
  auto r = RunCommand(vellumox + " -f0 " + ShellQuote(dir / "a.txt") + " " +
                      ShellQuote(dir / "b.md") + " " + ShellQuote(dir / "c d.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  for (const char* pdf : {"a.pdf", "b.md.pdf", "c d.pdf"}) {
    ASSERT_TRUE(Sound(dir / pdf));
    EXPECT_NE(test::ReadFile(dir / pdf).find("/BaseFont /Courier\r"), std::string::npos);
  }
  // -o names one PDF: with several inputs it is refused and nothing is kept.
  TempDir config;
  r = RunCommand(test::VellumoxCommand(config.path()) + " -o " + ShellQuote(dir / "x.pdf") + " " +
                 ShellQuote(dir / "a.txt") + " " + ShellQuote(dir / "b.md"));
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_FALSE(test::PathExists(dir / "x.pdf"));
  EXPECT_FALSE(test::PathExists(config / "Vellumox/Vellumox.ini"));
  // The status is the worst of the conversions'.
  test::WriteFile(dir / "p.txt", "<img src=\"missing.jpg\">\r\n");
  r = RunCommand(vellumox + " " + ShellQuote(dir / "a.txt") + " " + ShellQuote(dir / "p.txt"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
}

TEST(UnixHabits, QuietRunsThatSaveNothing) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "<img src=\"missing.jpg\">\r\n");
  auto r = RunCommand(test::VellumoxCommand(dir / "config") + " --quiet --no-save -f0 " +
                      ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_EQ(r.error.find("Processing"), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("picture 'missing.jpg' left out"), std::string::npos) << r.error;
  EXPECT_FALSE(test::PathExists(dir / "config/Vellumox/Vellumox.ini"));
  // An album job's progress names its pattern.
  test::MakeJpeg(dir / "p.jpg", 20, 10);
  r = RunCommand(test::VellumoxCommand(dir / "config") + " " + ShellQuote(dir / "*.jpg"));
  EXPECT_NE(r.error.find("vellumox: Processing " + dir / "*.jpg" + "\n"), std::string::npos)
      << r.error;
}

TEST(UnixHabits, CompressedOutputReadsTheSameInAThirdOfTheSpace) {
  TempDir dir;
  test::WriteFile(dir / "prose.txt", Prose(40000));  // 4 MB: pages written while others compress
  const std::string vellumox = test::VellumoxCommand(dir / "config");
  ASSERT_EQ(RunCommand(vellumox + " -o " + ShellQuote(dir / "plain.pdf") + " " +
                       ShellQuote(dir / "prose.txt"))
                .exit_code,
            0);
  ASSERT_EQ(RunCommand(vellumox + " --compress -o " + ShellQuote(dir / "small.pdf") + " " +
                       ShellQuote(dir / "prose.txt"))
                .exit_code,
            0);
  ASSERT_TRUE(Sound(dir / "small.pdf"));
  EXPECT_EQ(test::PdfToText(dir / "small.pdf"), test::PdfToText(dir / "plain.pdf"));
  EXPECT_NE(test::ReadFile(dir / "small.pdf").find("/Filter /FlateDecode"), std::string::npos);
  EXPECT_LT(test::ReadFile(dir / "small.pdf").size() * 3, test::ReadFile(dir / "plain.pdf").size());
  // Pages are compressed on every core, yet the document is the same: qpdf's uncompressed form
  // of it is the plain one's, and one core writes the same bytes as all of them.
  auto qdf = [&](const std::string& pdf) {
    RunCommand("qpdf --qdf --object-streams=disable --static-id " + ShellQuote(dir / pdf) + " " +
               ShellQuote(dir / "out.qdf"));
    return test::PdfFile::Load(dir / "out.qdf").MaskedBytes();
  };
  EXPECT_TRUE(qdf("plain.pdf") == qdf("small.pdf"));
  if (RunCommand("command -v taskset").exit_code == 0) {
    ASSERT_EQ(RunCommand("taskset -c 0 env " + vellumox + " --compress -o " +
                         ShellQuote(dir / "one.pdf") + " " + ShellQuote(dir / "prose.txt"))
                  .exit_code,
              0);
    EXPECT_TRUE(test::PdfFile::Load(dir / "one.pdf").MaskedBytes() ==
                test::PdfFile::Load(dir / "small.pdf").MaskedBytes());
  }
  // --compress is for the run only.
  EXPECT_EQ(test::ReadFile(dir / "config/Vellumox/Vellumox.ini").find("\nCompress"),
            std::string::npos);
}

TEST(UnixHabits, TheParallelRecipeOfTheReadme) {
  if (RunCommand("command -v parallel").exit_code != 0) GTEST_SKIP() << "no GNU parallel";
  TempDir dir;
  RunCommand("mkdir -p " + ShellQuote(dir / "docs/sub"));
  for (const char* name : {"docs/a.txt", "docs/b.txt", "docs/sub/c.txt", "docs/sub/d e.txt"}) {
    test::WriteFile(dir / name, std::string(name) + "\r\n");
  }
  // As in README.md, "Converting at scale", run here on two local jobs.
  auto r = RunCommand("cd " + ShellQuote(dir.path()) + " && find docs -name '*.txt' -print0 | " +
                      "XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
                      // GNU parallel keeps files of its own under $HOME: here, the test's folder.
                      " HOME=" + ShellQuote(dir.path()) + " parallel --will-cite -0 -j2 " +
                      ShellQuote(test::BinDir() + "/vellumox") + " --batch --quiet {}");
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_FALSE(test::PathExists(dir / "config/Vellumox/Vellumox.ini"));  // no run raced to save
  for (const char* pdf : {"docs/a.pdf", "docs/b.pdf", "docs/sub/c.pdf", "docs/sub/d e.pdf"}) {
    EXPECT_TRUE(Sound(dir / pdf));
  }
}

}  // namespace
}  // namespace vellumox
