// Text that is too much for a face, a code or a cluster, and failures told in the program's own
// words: every character reaches the page or is named, and nothing crashes or hangs.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/picture_fixtures.h"
#include "support/test_support.h"
#include "writer/code_page.h"

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

std::string Utf8(char32_t c) {
  std::string out;
  AppendUtf8(c, out);
  return out;
}

// Characters first to last, count a line.
std::string Lines(char32_t first, int count, int per_line) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += Utf8(first + static_cast<char32_t>(i));
    if ((i + 1) % per_line == 0) text += "\n";
  }
  return text + "\n";
}

// How many Type0 fonts of faces the PDF embeds, as pdffonts lists them.
int EmbeddedFaces(const std::string& pdf) {
  const std::string fonts = RunCommand("pdffonts " + ShellQuote(pdf)).output;
  int count = 0;
  for (size_t at = fonts.find("CID TrueType"); at != std::string::npos;
       at = fonts.find("CID TrueType", at + 1)) {
    ++count;
  }
  return count;
}

// Whether an installed face that the converter can embed has the character.
bool FaceHas(const std::string& hex) {
  return !RunCommand("fc-list ':charset=" + hex + ":fontformat=TrueType' file").output.empty();
}

// --- Text that is too much for one face ------------------------------------------------------

TEST(TooMuchText, TwentyThousandDistinctIdeographsGiveAPdfThatReadsBack) {
  if (!FaceHas("4e00")) GTEST_SKIP() << "no face with ideographs";
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "novel.txt", Lines(0x4E00, 20000, 50));
  auto r = batch.Run(ShellQuote(dir / "novel.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "novel.pdf");
  const std::string text = test::PdfToText(dir / "novel.pdf");
  EXPECT_TRUE(Holds(text, Utf8(0x4E00 + 19999))) << "the last ideograph";
  EXPECT_TRUE(Holds(text, Utf8(0x4E00 + 10000)));
}

// Two-byte codes hold 65,535 glyph and text pairs in one font: more go on in another instance
// of the face, and copying gives every cluster's own text back.
TEST(TooMuchText, MoreClustersThanTwoByteCodesHoldGoOnInAnotherInstance) {
  TempDir dir;
  Batch batch;
  const std::string bases = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<std::string> clusters;
  // Letters with two marks that no character of their own composes.
  for (char32_t m1 = 0x0363; m1 <= 0x036F && clusters.size() < 70000; ++m1) {
    for (char32_t m2 = 0x0300; m2 <= 0x036F && clusters.size() < 70000; ++m2) {
      if (m2 == 0x034F) continue;
      for (char b : bases) clusters.push_back(std::string(1, b) + Utf8(m1) + Utf8(m2));
    }
  }
  ASSERT_GE(clusters.size(), 66000u);
  clusters.resize(std::min<size_t>(clusters.size(), 70000));
  std::string text;
  for (size_t i = 0; i < clusters.size(); ++i) text += clusters[i] + (i % 20 == 19 ? "\n" : " ");
  test::WriteFile(dir / "marks.txt", text + "\n");
  auto r = batch.Run(ShellQuote(dir / "marks.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "marks.pdf");
  EXPECT_GE(EmbeddedFaces(dir / "marks.pdf"), 2);
  const std::string back = test::PdfToText(dir / "marks.pdf");
  for (size_t i : {size_t{0}, size_t{40000}, clusters.size() - 1}) {
    EXPECT_TRUE(Holds(back, clusters[i])) << i;
  }
}

// One letter with 300 marks: after 30 marks a new cluster starts (the Stream-Safe Text
// Format), so every mark comes back from the page; 66,000 mixed marks neither crash nor take
// long (a benchmark measures how long).
TEST(TooMuchText, PilesOfMarksComeBackWholeAndNeverCrash) {
  TempDir dir;
  Batch batch;
  std::string three_hundred = "x";
  for (int i = 0; i < 300; ++i) three_hundred += Utf8(0x0308);
  test::WriteFile(dir / "pile.txt", three_hundred + "\n");
  auto r = batch.Run(ShellQuote(dir / "pile.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  Sound(dir / "pile.pdf");
  // In the order of the text (a reader's layout mode drops marks drawn on the same spot); the
  // letter and its first mark come back as the one character they compose, U+1E8D.
  const std::string back = test::PdfToText(dir / "pile.pdf", "-raw");
  size_t marks = Holds(back, Utf8(0x1E8D)) ? 1 : 0;
  for (size_t at = back.find(Utf8(0x0308)); at != std::string::npos;
       at = back.find(Utf8(0x0308), at + 1)) {
    ++marks;
  }
  EXPECT_EQ(marks, 300u);

  std::string mixed = "a";
  for (int i = 0; i < 66000; ++i) mixed += Utf8(0x0300 + static_cast<char32_t>(i * 7 % 0x6F));
  test::WriteFile(dir / "mixed.txt", mixed + "\n");
  auto m = batch.Run(ShellQuote(dir / "mixed.txt"));
  EXPECT_EQ(m.exit_code, 0) << m.error;
  Sound(dir / "mixed.pdf");
  EXPECT_EQ(test::ListFolder(dir.path()),
            (std::vector<std::string>{"mixed.pdf", "mixed.txt", "pile.pdf", "pile.txt"}));
}

// A cluster that the shaper makes of 301 characters (joiners continue a cluster without limit)
// gives its text back through pieces that every reader takes, shared out among its glyphs.
TEST(TooMuchText, ALongClusterGivesItsTextBackInPiecesReadersTake) {
  TempDir dir;
  Batch batch;
  std::string text = Utf8(0x03A9);
  for (int i = 0; i < 300; ++i) text += Utf8(0x200D);
  test::WriteFile(dir / "joined.txt", text + "\n");
  auto r = batch.Run(ShellQuote(dir / "joined.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  auto back = RunCommand("pdftotext -raw " + ShellQuote(dir / "joined.pdf") + " -");
  EXPECT_EQ(back.error, "");  // no entry of the ToUnicode map refused
  size_t joiners = 0;
  for (size_t at = back.output.find(Utf8(0x200D)); at != std::string::npos;
       at = back.output.find(Utf8(0x200D), at + 1)) {
    ++joiners;
  }
  EXPECT_EQ(joiners, 300u);
  EXPECT_TRUE(Holds(back.output, Utf8(0x03A9)));
}

TEST(TooMuchText, TwentyThousandCharactersNoFaceHasAreNamed) {
  if (FaceHas("20000")) GTEST_SKIP() << "a face has CJK Extension B here";
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "extb.txt", Lines(0x20000, 20000, 40));
  auto r = batch.Run(ShellQuote(dir / "extb.txt"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
  EXPECT_TRUE(Holds(r.error, "20000 characters could not be shown")) << r.error;
  Sound(dir / "extb.pdf");
}

// --- Faces that cannot be trusted ------------------------------------------------------------

// A fontconfig of the test's own, with only the fonts of a folder of the test's own.
std::string FontsOnly(const TempDir& dir) {
  test::WriteFile(dir / "fonts.conf", "<fontconfig><dir>" + dir / "fonts" + "</dir><cachedir>" +
                                          dir / "cache" + "</cachedir></fontconfig>");
  return "FONTCONFIG_FILE=" + ShellQuote(dir / "fonts.conf") + " ";
}

// DejaVu Sans with its glyph table cut short in the table directory: its character map still
// claims every character, but most outlines lie past the table's end.
void MakeBrokenFont(const std::string& path) {
  std::string font = test::ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  ASSERT_GT(font.size(), 12u);
  const int tables = static_cast<unsigned char>(font[4]) << 8 | static_cast<unsigned char>(font[5]);
  for (int i = 0; i < tables; ++i) {
    const size_t record = 12 + 16 * static_cast<size_t>(i);
    if (font.compare(record, 4, "glyf") == 0)
      font.replace(record + 12, 4, std::string("\0\0\x07\xD0", 4));
  }
  test::WriteFile(path, font);
}

TEST(UntrustedFaces, AFaceWithOutlinesCutShortIsPassedOver) {
  if (!test::PathExists("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf")) {
    GTEST_SKIP() << "fonts-dejavu-core is not installed";
  }
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "fonts"));
  MakeBrokenFont(dir / "fonts/Broken.ttf");
  test::WriteFile(dir / "greek.txt", "Omega " + Utf8(0x03A9) + " alpha " + Utf8(0x03B1) + "\n");
  const std::string convert = FontsOnly(dir) + test::VellumoxCommand(batch.config.path()) + " " +
                              ShellQuote(dir / "greek.txt");
  // The broken face alone: the characters are named, never drawn as nothing.
  auto alone = RunCommand(convert);
  EXPECT_EQ(alone.exit_code, 3) << alone.error;
  EXPECT_TRUE(Holds(alone.error, "2 characters could not be shown")) << alone.error;
  // With a sound face beside it, that one shows them.
  RunCommand("cp /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf " + ShellQuote(dir / "fonts"));
  auto beside = RunCommand(convert);
  EXPECT_EQ(beside.exit_code, 0) << beside.error;
  EXPECT_TRUE(Holds(RunCommand("pdffonts " + ShellQuote(dir / "greek.pdf")).output, "DejaVuSerif"));
  EXPECT_TRUE(Holds(test::PdfToText(dir / "greek.pdf"), Utf8(0x03A9)));
}

TEST(UntrustedFaces, AMissingFontConfigurationIsSaidInOurWords) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "greek.txt", "Omega " + Utf8(0x03A9) + "\n");
  // Without its configuration fontconfig keeps its caches in the user's cache folder: the
  // test's own here.
  auto r = RunCommand("FONTCONFIG_FILE=" + ShellQuote(dir / "no-such.conf") + " XDG_CACHE_HOME=" +
                      ShellQuote(dir / "cache") + " " + test::VellumoxCommand(batch.config.path()) +
                      " " + ShellQuote(dir / "greek.txt"));
  EXPECT_FALSE(Holds(r.error, "Fontconfig error")) << r.error;
  EXPECT_TRUE(Holds(r.error, "warning: fontconfig's configuration '" + dir / "no-such.conf" +
                                 "' cannot be found"))
      << r.error;
}

// --- Bytes of no character -------------------------------------------------------------------

TEST(InvalidText, BytesOfNoCharacterAreCountedNamedAndEndWithThree) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* said;
  };
  const Case cases[] = {
      {"invalid UTF-8 after a byte-order mark", "\xEF\xBB\xBFgood\nbad \xFF\xFE here\nend \xC3",
       "3 sequences that are not valid UTF-8 are shown as \"?\" (the first on line 2)"},
      {"an unpaired surrogate in UTF-16",
       std::string("\xFF\xFE"
                   "a\0\n\0\0\xD8"
                   "b\0",
                   10),
       "1 sequence that is not valid UTF-16 is shown as \"?\" (the first on line 2)"},
      {"an odd last byte in UTF-16",
       std::string("\xFF\xFE"
                   "a\0\n\0b\0c",
                   9),
       "1 sequence that is not valid UTF-16 is shown as \"?\" (the first on line 2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    Batch batch;
    test::WriteFile(dir / "t.txt", c.bytes);
    auto r = batch.Run(ShellQuote(dir / "t.txt"));
    EXPECT_EQ(r.exit_code, 3) << r.error;
    EXPECT_TRUE(Holds(r.error, std::string("warning: ") + c.said)) << r.error;
    Sound(dir / "t.pdf");
  }
}

// --- Messages in our words -------------------------------------------------------------------

TEST(OurWords, EmptyStandardInputIsNothingToConvert) {
  TempDir dir;
  Batch batch;
  auto r = batch.Run("- -o " + ShellQuote(dir / "out.pdf") + " < /dev/null");
  EXPECT_EQ(r.exit_code, 2) << r.error;
  EXPECT_TRUE(Holds(r.error, "vellumox: Nothing to convert: standard input is empty.")) << r.error;
  EXPECT_FALSE(test::PathExists(dir / "out.pdf"));
}

// A progressive JPEG whose frame claims more pixels than the decoder may hold in memory.
TEST(OurWords, APictureTooLargeToDecodeSaysSo) {
  TempDir dir;
  Batch batch;
  test::MakeJpeg(dir / "small.jpg", 64, 64, test::Pixels::kRgb, 90, true);
  std::string jpeg = test::ReadFile(dir / "small.jpg");
  const size_t frame = jpeg.find("\xFF\xC2");
  ASSERT_NE(frame, std::string::npos);
  jpeg.replace(frame + 5, 4, std::string("\x3E\x80\x3E\x80", 4));  // 16000 x 16000
  test::WriteFile(dir / "huge.jpg", jpeg);
  // Below the best quality it is decoded (at quality 100 it would go in as it is).
  auto r = batch.Run("--jpeg-quality=90 " + ShellQuote(dir / "huge.jpg"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
  EXPECT_FALSE(Holds(r.error, "Backing store")) << r.error;
  EXPECT_TRUE(Holds(r.error, "decoding it needs more than 512 MB of memory")) << r.error;
}

// The decoder helper that fails on its own is not the picture's fault.
TEST(OurWords, AHelperThatCannotRunOrIsKilledIsNotBlamedOnThePicture) {
  TempDir dir;
  RunCommand("cp " + ShellQuote(test::BinDir() + "/vellumox") + " " + ShellQuote(dir.path()));
  test::MakeWithMagick(dir / "a.bmp", "BMP", 30, 20);
  struct Case {
    const char* helper;  // the script that stands in for the helper
    const char* said;
  };
  const Case cases[] = {
      {"#!/bin/sh\nkill -KILL $$\n", "the picture decoder vellumox-decode was ended from outside"},
      {"#!/no/such/shell\n",
       "the picture decoder vellumox-decode beside the program cannot be run"},
      {"#!/bin/sh\nexit 0\n", "the picture decoder vellumox-decode ended unexpectedly"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.helper);
    test::WriteFile(dir / "vellumox-decode", c.helper);
    RunCommand("chmod +x " + ShellQuote(dir / "vellumox-decode"));
    auto r = RunCommand("XDG_CONFIG_HOME=" + ShellQuote(dir / "config") + " " +
                        ShellQuote(dir / "vellumox") + " --batch " + ShellQuote(dir / "a.bmp"));
    EXPECT_EQ(r.exit_code, 3) << r.error;
    EXPECT_TRUE(Holds(r.error, c.said)) << r.error;
    EXPECT_FALSE(Holds(r.error, "the file is damaged")) << r.error;
  }
}

}  // namespace
}  // namespace vellumox
