// What the user typed, and nothing destroyed: arguments that are what they hold, outputs that
// never replace what they should not, album lists of one run each, settings that make no page,
// and messages that say what happened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

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

// A field of pdfinfo's report ("Title", "Page size"), without the blanks before its value.
std::string InfoField(const std::string& pdf, const std::string& field) {
  const std::string info = RunCommand("pdfinfo " + ShellQuote(pdf)).output;
  size_t at = info.find(field + ":");
  if (at == std::string::npos) return "(no " + field + ")";
  at = info.find_first_not_of(' ', at + field.size() + 1);
  return info.substr(at, info.find('\n', at) - at);
}

// Runs the album builder of the build without a display, with its settings, data and
// temporary files in the test's folder.
test::CommandResult Album(const TempDir& dir, const std::string& arguments) {
  RunCommand("mkdir -p " + ShellQuote(dir / "tmp"));
  return RunCommand("cd " + ShellQuote(dir.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                    "XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
                    " TMPDIR=" + ShellQuote(dir / "tmp") + " " +
                    ShellQuote(test::BinDir() + "/album") + " " + arguments);
}

// --- An argument is what the user typed ------------------------------------------------------

TEST(WhatTheUserTyped, ANameIsNeverReadForSwitches) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "victim.pdf", "precious\n");
  test::WriteFile(dir / "a.txt", "A\r\n");
  const std::string hostile = dir / "a.txt\" -o\"victim.pdf";
  test::WriteFile(hostile, "x\r\n");
  // Its PDF would be the file itself: refused, and victim.pdf untouched.
  auto r = batch.Run(ShellQuote(hostile));
  EXPECT_EQ(r.exit_code, 1) << r.error;
  EXPECT_TRUE(Holds(r.error, "is skipped: its PDF would be written over the file itself"))
      << r.error;
  EXPECT_EQ(test::ReadFile(dir / "victim.pdf"), "precious\n");
  EXPECT_EQ(test::ReadFile(hostile), "x\r\n");
  EXPECT_FALSE(test::PathExists(dir / "a.pdf"));

  // Titles hold what they hold; no switch hides in them.
  RunCommand("mkdir " + ShellQuote(dir / "sub"));
  test::WriteFile(dir / "sub/b.txt", "B\r\n");
  struct Case {
    std::string title;
  } cases[] = {{"x\" -o\"../hijack.pdf"}, {"say \"hi\" now"}, {"-o"}, {"--batch"}};
  for (const Case& k : cases) {
    auto t = batch.Run("-t " + ShellQuote(k.title) + " " + ShellQuote(dir / "sub/b.txt"));
    EXPECT_EQ(t.exit_code, 0) << k.title << t.error;
    EXPECT_EQ(InfoField(dir / "sub/b.pdf", "Title"), k.title);
  }
  EXPECT_FALSE(test::PathExists(dir / "hijack.pdf"));

  // A value that is no entry of its list is said so, and the run converts.
  auto bad = batch.Run("-s-1 '-f&H13' -y " + ShellQuote(dir / "a.txt"));
  EXPECT_EQ(bad.exit_code, 0) << bad.error;
  EXPECT_TRUE(Holds(bad.error, "warning: -s-1: '-1' is not a valid font size (0 to 15)"))
      << bad.error;
  EXPECT_TRUE(Holds(bad.error, "warning: -f&H13: '&H13' is not a valid font")) << bad.error;
  EXPECT_TRUE(Holds(bad.error, "warning: -y: a top margin (0 to 8) must follow")) << bad.error;
}

TEST(WhatTheUserTyped, TheAlbumBuilderTakesSlashOOnlyAsAnArgumentOfItsOwn) {
  TempDir dir;
  RunCommand("mkdir -p " + ShellQuote(dir / "ab /o"));
  test::MakeJpeg(dir / "ab /o/a.jpg", 40, 30);
  auto r = Album(dir, ShellQuote("ab /o") + " /o z");
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_TRUE(Sound(dir / "ab /o/z.pdf"));
  EXPECT_FALSE(test::PathExists("/o z.pdf"));
}

// --- An output never destroys what it should not ---------------------------------------------

TEST(NothingDestroyed, OutputsThatAreNoPlaceForAPdf) {
  TempDir dir;
  Batch batch;
  const std::string notes = "my notes\r\n";
  test::WriteFile(dir / "notes.txt", notes);
  // Standard input that is the output file itself.
  auto same = RunCommand(test::VellumoxCommand(batch.config.path()) + " - -o " +
                         ShellQuote(dir / "notes.txt") + " < " + ShellQuote(dir / "notes.txt"));
  EXPECT_EQ(same.exit_code, 1) << same.error;
  EXPECT_TRUE(Holds(same.error, "Standard input is the file")) << same.error;
  EXPECT_EQ(test::ReadFile(dir / "notes.txt"), notes);

  // A folder, a FIFO, and a link to a FIFO are never replaced.
  RunCommand("mkdir " + ShellQuote(dir / "folder.pdf") + " && mkfifo " +
             ShellQuote(dir / "fifo.pdf") + " && ln -s fifo.pdf " + ShellQuote(dir / "link.pdf"));
  for (const char* output : {"folder.pdf", "fifo.pdf", "link.pdf"}) {
    auto r = batch.Run("-o " + ShellQuote(dir / output) + " " + ShellQuote(dir / "notes.txt"));
    EXPECT_EQ(r.exit_code, 1) << output;
    EXPECT_TRUE(Holds(r.error, output[0] == 'f' && output[1] == 'o' ? "it is a folder"
                                                                    : "it is not a regular file"))
        << r.error;
  }
  struct stat st;
  ASSERT_EQ(::lstat((dir / "fifo.pdf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(test::ListFolder(dir / "folder.pdf").empty());
  EXPECT_EQ(test::ListFolder(dir.path()),
            (std::vector<std::string>{"fifo.pdf", "folder.pdf", "link.pdf", "notes.txt"}));
}

TEST(NothingDestroyed, AReplacedPdfKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "x\r\n");
  test::WriteFile(dir / "a.pdf", "old");
  ASSERT_EQ(::chown((dir / "a.pdf").c_str(), 65534, 65534), 0);
  ASSERT_EQ(batch.Run(ShellQuote(dir / "a.txt")).exit_code, 0);
  struct stat st;
  ASSERT_EQ(::stat((dir / "a.pdf").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_TRUE(Sound(dir / "a.pdf"));
}

// --- Albums: one list per run, every name accounted for ---------------------------------------

TEST(AlbumLists, AlbumsSideBySideEachKeepTheirOwnPictures) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "f1") + " " + ShellQuote(dir / "f2"));
  for (int i = 0; i < 3; ++i) {
    test::MakeJpeg(dir / ("f1/" + std::to_string(i) + ".jpg"), 40, 30);
    test::MakeJpeg(dir / ("f2/" + std::to_string(i) + ".jpg"), 20, 60);
  }
  for (int round = 0; round < 3; ++round) {
    test::CommandResult one, two;
    std::thread a([&] { one = Album(dir, "f1 /o o"); });
    std::thread b([&] { two = Album(dir, "f2 /o o"); });
    a.join();
    b.join();
    ASSERT_EQ(one.exit_code, 0) << one.error;
    ASSERT_EQ(two.exit_code, 0) << two.error;
    for (const auto& [pdf, width] : {std::pair{dir / "f1/o.pdf", 40}, {dir / "f2/o.pdf", 20}}) {
      std::vector<test::PdfImageRow> rows = test::PdfImages(pdf);
      ASSERT_EQ(rows.size(), 3u) << pdf;
      for (const auto& row : rows) EXPECT_EQ(row.width, width) << pdf;
    }
  }
  // Each list's private folder went with its run.
  EXPECT_TRUE(test::ListFolder(dir / "tmp").empty());
}

TEST(AlbumLists, NamesATagCannotCarryAreNamedWithTheirReason) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics"));
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"line\nfeed.jpg", "line\\x0Afeed.jpg' left out: its name holds a line feed"},
      {"car\rriage.jpg", "car\\x0Driage.jpg' left out: its name holds a carriage return"},
      {"form\ffeed.jpg", "form\\x0Cfeed.jpg' left out: its name holds a form feed"},
      {"a<b.jpg", "a<b.jpg' left out: its name holds a '<'"},
      {"a>b.jpg", "a>b.jpg' left out: its name holds a '>'"},
      {"bad\xE9.jpg", "bad\\xE9.jpg' left out: its name holds bytes that are not UTF-8"},
      {"q\"uote.jpg", "q\"uote.jpg' left out: its name holds a double quote"},
  };
  for (const auto& [name, said] : refused) test::MakeJpeg(dir / "pics/" + name, 10, 10);
  // Every other name is carried.
  const std::vector<std::string> carried = {"tab\there.jpg", "amp&apos'.jpg",
                                            "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.jpg"};
  for (const std::string& name : carried) test::MakeJpeg(dir / "pics/" + name, 10, 10);
  auto r = Album(dir, "pics /o all");
  EXPECT_EQ(r.exit_code, 3) << r.error;
  for (const auto& [name, said] : refused) {
    EXPECT_TRUE(Holds(r.error, "album: picture '" + dir / "pics/" + said)) << said << r.error;
  }
  EXPECT_TRUE(Sound(dir / "pics/all.pdf"));
  EXPECT_EQ(test::PdfImages(dir / "pics/all.pdf").size(), carried.size());
  EXPECT_TRUE(test::ListFolder(dir / "tmp").empty());
}

// --- Settings that make no page ---------------------------------------------------------------

TEST(SettingsThatMakeNoPage, LargeTextOnWideMarginsKeepsWhole) {
  TempDir dir;
  Batch batch;
  std::string lorem;
  for (int i = 0; i < 40; ++i) lorem += "lorem ";
  test::WriteFile(dir / "a.txt", lorem + "\r\n");
  ASSERT_EQ(batch.Run("-s15 -m8 " + ShellQuote(dir / "a.txt")).exit_code, 0);
  EXPECT_TRUE(Sound(dir / "a.pdf"));
  const std::string text = test::PdfToText(dir / "a.pdf");
  size_t words = 0;
  for (size_t at = text.find("lorem"); at != std::string::npos; at = text.find("lorem", at + 1)) {
    ++words;
  }
  EXPECT_EQ(words, 40u) << text;  // every word whole, none cut into "lo re m"
  EXPECT_LE(test::PdfPages(dir / "a.pdf"), 2);
}

TEST(SettingsThatMakeNoPage, PageSizesOutsideOneToTwoHundredInchesAreRefused) {
  TempDir dir;
  Batch batch;
  RunCommand("mkdir -p " + ShellQuote(batch.config / "Vellumox"));
  test::WriteFile(batch.config / "Vellumox/pagesize.ini",
                  "1e308\" x 1e308\"\r\n0.0001\" x 0.0001\"\r\n10 x -5 1.0\r\n10\" x 12\"\r\n");
  test::WriteFile(dir / "a.txt", "x\r\n");
  auto r = batch.Run("-p5 " + ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  for (int line : {1, 2, 3}) {
    EXPECT_TRUE(Holds(r.error, "pagesize.ini line " + std::to_string(line) + " '")) << r.error;
  }
  EXPECT_TRUE(Holds(r.error, "a page must be 1 to 200 inches on each side")) << r.error;
  // The one sound line is page size 5.
  EXPECT_EQ(InfoField(dir / "a.pdf", "Page size"), "720 x 864 pts");
}

TEST(SettingsThatMakeNoPage, NumbersBeyondAPageAreKeptWithinBoundsAndSaidOnce) {
  TempDir dir;
  Batch batch;
  test::MakeJpeg(dir / "red.jpg", 8, 8);
  test::WriteFile(dir / "big.txt",
                  "<font size=1e308>huge</font>\r\n<h1e30>header</h>\r\n"
                  "<img src=\"red.jpg\" width=0 height=1e308>\r\n<tab left=1e9>x\r\n");
  auto r = batch.Run(ShellQuote(dir / "big.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_TRUE(Sound(dir / "big.pdf"));
  const std::string warning = "warning: the tag <font size=1e308> asks for a size or position";
  ASSERT_TRUE(Holds(r.error, warning)) << r.error;
  EXPECT_EQ(r.error.find("asks for a size"), r.error.rfind("asks for a size")) << r.error;
  // Every number of the pages within what a reader holds.
  const test::PdfFile pdf = test::PdfFile::Load(dir / "big.pdf");
  for (const std::string& line : pdf.PageContentLines(1)) {
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
      if (word.find_first_not_of("-.0123456789") == std::string::npos && word != "-" &&
          word != ".") {
        EXPECT_LE(std::abs(std::stod(word)), 32767.0) << line;
      }
    }
  }
}

TEST(SettingsThatMakeNoPage, SettingsThatCannotBeKeptAreSaidSo) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x\r\n");
  test::WriteFile(dir / "not-a-folder", "");
  auto r = RunCommand("XDG_CONFIG_HOME=" + ShellQuote(dir / "not-a-folder") + " " +
                      ShellQuote(test::BinDir() + "/vellumox") + " --batch --save " +
                      ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_TRUE(Holds(r.error, "warning: the switches of this run were not kept")) << r.error;
  EXPECT_TRUE(Sound(dir / "a.pdf"));
}

// --- Messages -------------------------------------------------------------------------------

TEST(Messages, WhatWasNamedAndWhatWasFound) {
  TempDir dir;
  Batch batch;
  RunCommand("cd " + ShellQuote(dir.path()) +
             " && mkfifo fifo.jpg && mkdir folder.jpg empty && ln -s /dev/zero zero.jpg");
  test::WriteFile(dir / "p.txt",
                  "<img src=\"fifo.jpg\"><img src=\"folder.jpg\"><img src=\"zero.jpg\">\r\n");
  auto r = batch.Run(ShellQuote(dir / "p.txt"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
  for (const char* name : {"fifo.jpg", "folder.jpg", "zero.jpg"}) {
    EXPECT_TRUE(Holds(r.error, std::string("picture '") + name + "' left out: not a regular file"))
        << r.error;
  }

  auto none = batch.Run(ShellQuote(dir / "empty/*.txt"));
  EXPECT_EQ(none.exit_code, 1);
  EXPECT_TRUE(Holds(none.error, "No file matches " + dir / "empty/*.txt.")) << none.error;
  EXPECT_FALSE(Holds(none.error, "does not exist")) << none.error;

  auto folder = Album(dir, "/nonexistent /o z");
  EXPECT_EQ(folder.exit_code, 2);
  EXPECT_EQ(folder.error, "album: No such folder: /nonexistent\n");
  auto empty = Album(dir, "empty /o z");
  EXPECT_EQ(empty.exit_code, 2);
  EXPECT_TRUE(Holds(empty.error, "there are no pictures in " + dir / "empty/")) << empty.error;
  EXPECT_FALSE(Holds(empty.error + folder.error, "~album.txt"));
}

}  // namespace
}  // namespace vellumox
