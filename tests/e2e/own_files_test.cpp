// What a run must never destroy: the files its settings link to, the pictures and inputs it
// reads, and an earlier PDF when the temporary folder fills up.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

mode_t TypeOfPath(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// --- Settings that link elsewhere ------------------------------------------------------------

// A settings file that is a device (through a link, as when settings are linked to /dev/null to
// keep none) or a pipe is never opened, never waited on and never replaced.
TEST(SettingsLinks, ADeviceOrAPipeIsLeftAloneAndTheRunSaysSo) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "text\r\n");
  struct Case {
    const char* name;
    const char* make;  // shell command run in the settings folder; ini is the settings file
    mode_t type;       // what the file the settings name must stay
    const char* target;
  };
  const Case cases[] = {
      {"a link to a private character device", "mknod mynull c 1 3 && ln -s mynull Vellumox.ini",
       S_IFCHR, "mynull"},
      {"a pipe", "mkfifo Vellumox.ini", S_IFIFO, "Vellumox.ini"},
      {"a link to a pipe", "mkfifo fifo && ln -s fifo Vellumox.ini", S_IFIFO, "fifo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Batch batch;
    const std::string folder = batch.config / "Vellumox";
    auto made = RunCommand("mkdir -p " + ShellQuote(folder) + " && cd " + ShellQuote(folder) +
                           " && " + c.make);
    if (made.exit_code != 0) {
      // mknod is refused where the tests may not make devices: nothing to try there.
      std::printf("skipped: %s (%s)\n", c.name, made.error.c_str());
      continue;
    }
    // A pipe that nobody writes would keep a reader waiting for ever: the run must end at once.
    auto r = RunCommand("timeout 20 env " + test::VellumoxCommand(batch.config.path()) +
                        " --save -f2 " + ShellQuote(dir / "a.txt"));
    EXPECT_EQ(r.exit_code, 0) << r.error;
    EXPECT_TRUE(Holds(r.error, "warning: the switches of this run were not kept: '" + folder +
                                   "/Vellumox.ini' is not a regular file"))
        << r.error;
    EXPECT_EQ(TypeOfPath(folder + "/" + c.target), c.type);
    Sound(dir / "a.pdf");
  }
}

TEST(SettingsLinks, ALinkToARegularFileIsWrittenThrough) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "text\r\n");
  const std::string folder = batch.config / "Vellumox";
  RunCommand("mkdir -p " + ShellQuote(folder) + " " + ShellQuote(dir / "elsewhere") + " && touch " +
             ShellQuote(dir / "elsewhere/kept.ini") + " && ln -s " +
             ShellQuote(dir / "elsewhere/kept.ini") + " " + ShellQuote(folder + "/Vellumox.ini"));
  auto r = batch.Run("--save -f2 " + ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_EQ(TypeOfPath(folder + "/Vellumox.ini"), static_cast<mode_t>(S_IFLNK));
  EXPECT_TRUE(Holds(test::ReadFile(dir / "elsewhere/kept.ini"), "Font=2"));
}

// --- An output that is one of the run's own files --------------------------------------------

// However the output links to a picture that the run reads, the picture stays as it was and
// the run fails.
TEST(OwnInputs, AnOutputLinkedToAPictureOfTheRunIsRefused) {
  struct Case {
    const char* name;
    const char* link;     // made in the test's folder, pointing at p/a.jpg
    const char* command;  // run in the test's folder
  };
  const Case cases[] = {
      {"a single picture", "out.pdf", "vellumox -o out.pdf p/a.jpg"},
      {"a text that shows the picture", "out.pdf", "vellumox -o out.pdf shows.txt"},
      {"a picture pattern", "p/images.pdf", "vellumox 'p/*.jpg'"},
      {"the album builder", "p/Alb.pdf", "album p /o Alb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    RunCommand("mkdir " + ShellQuote(dir / "p"));
    test::MakeJpeg(dir / "p/a.jpg", 60, 40);
    const std::string picture = test::ReadFile(dir / "p/a.jpg");
    test::WriteFile(dir / "shows.txt", "<img src=\"p/a.jpg\">\r\n");
    RunCommand("cd " + ShellQuote(dir.path()) + " && ln -s " + ShellQuote(dir / "p/a.jpg") + " " +
               c.link);
    auto r = RunCommand(
        "cd " + ShellQuote(dir.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" +
        ShellQuote(dir / "config") + " PATH=" + ShellQuote(test::BinDir()) + ":$PATH " + c.command);
    EXPECT_EQ(r.exit_code, 1) << r.error;
    EXPECT_TRUE(Holds(r.error, "would be written over the picture")) << r.error;
    EXPECT_EQ(test::ReadFile(dir / "p/a.jpg"), picture);
  }
}

TEST(OwnInputs, AnOutputThatIsAnotherInputOfTheRunIsRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "first\r\n");
  test::WriteFile(dir / "a.pdf", "a text that happens to end in .pdf\r\n");
  auto r = RunCommand("cd " + ShellQuote(dir.path()) + " && " +
                      test::VellumoxCommand(batch.config.path()) + " a.txt a.pdf");
  EXPECT_EQ(r.exit_code, 1) << r.error;
  EXPECT_TRUE(Holds(r.error,
                    "'a.txt' is skipped: its PDF 'a.pdf' would be written over 'a.pdf', "
                    "another input of this run."))
      << r.error;
  EXPECT_EQ(test::ReadFile(dir / "a.pdf"), "a text that happens to end in .pdf\r\n");
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::string>{"a.pdf", "a.txt"}));

  // A folder pattern's matches are inputs of its run as well.
  RunCommand("mkdir " + ShellQuote(dir / "q") + " && cp " + ShellQuote(dir / "a.txt") + " " +
             ShellQuote(dir / "a.pdf") + " " + ShellQuote(dir / "q"));
  auto pattern = batch.Run(ShellQuote(dir / "q/*"));
  EXPECT_EQ(pattern.exit_code, 1) << pattern.error;
  EXPECT_EQ(test::ReadFile(dir / "q/a.pdf"), "a text that happens to end in .pdf\r\n");
}

// --- Standard output with a pattern ----------------------------------------------------------

TEST(OwnInputs, StandardOutputTakesAPatternsAlbumOrRefusesTextPatternsAtOnce) {
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "p") + " " + ShellQuote(dir / "q"));
  test::MakeJpeg(dir / "p/a.jpg", 60, 40);
  test::MakeJpeg(dir / "p/b.jpg", 40, 60);
  test::WriteFile(dir / "p/images.pdf", "an earlier album");
  auto album = batch.Run("-o - " + ShellQuote(dir / "p/*.jpg") + " > " + ShellQuote(dir / "x.pdf"));
  EXPECT_EQ(album.exit_code, 0) << album.error;
  Sound(dir / "x.pdf");
  EXPECT_EQ(test::PdfPages(dir / "x.pdf"), 2);
  EXPECT_EQ(test::ReadFile(dir / "p/images.pdf"), "an earlier album");

  test::WriteFile(dir / "q/a.txt", "a\r\n");
  test::WriteFile(dir / "q/b.txt", "b\r\n");
  auto text = batch.Run("-o - " + ShellQuote(dir / "q/*.txt") + " > " + ShellQuote(dir / "y.pdf"));
  EXPECT_EQ(text.exit_code, 2) << text.error;
  EXPECT_TRUE(Holds(text.error, "makes one PDF per file: leave out -o -.")) << text.error;
  EXPECT_EQ(test::ListFolder(dir / "q"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(test::ReadFile(dir / "y.pdf"), "");
}

// --- A full temporary folder -----------------------------------------------------------------

// Runs a command with $TMPDIR on a tmpfs of its own of the given size, in a mount namespace of
// the command's own (nothing outside it sees the mount). False when namespaces are refused.
bool RunWithSmallTmp(const TempDir& dir, const std::string& size, const std::string& command,
                     test::CommandResult* result) {
  RunCommand("mkdir -p " + ShellQuote(dir / "tmp"));
  if (RunCommand("unshare -rm true").exit_code != 0) return false;
  *result =
      RunCommand("unshare -rm sh -c " +
                 ShellQuote("mount -t tmpfs -o size=" + size + " tmpfs " + ShellQuote(dir / "tmp") +
                            " && TMPDIR=" + ShellQuote(dir / "tmp") + " " + command));
  return true;
}

TEST(FullTemporaryFolder, PicturesLeaveItAsTheyAreEmbeddedAndNoRoomFailsTheRun) {
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "p"));
  // Noise: each picture's JPEG at quality 100 is about 170 KB, 5 MB for all of them.
  for (int i = 0; i < 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "p/n%02d.png", i);
    RunCommand("convert -size 200x200 xc: +noise Random -seed " + std::to_string(i) + " " +
               ShellQuote(dir / name));
  }
  test::CommandResult r;
  // Room for the pictures in flight (eight at most) but far from all of them.
  if (!RunWithSmallTmp(
          dir, "2m", test::VellumoxCommand(batch.config.path()) + " " + ShellQuote(dir / "p/*.png"),
          &r)) {
    GTEST_SKIP() << "no mount namespaces here";
  }
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_EQ(test::PdfPages(dir / "p/images.pdf"), 30);
  Sound(dir / "p/images.pdf");

  // No room even for one: the run fails in its own words, and the earlier album stays.
  test::WriteFile(dir / "p/images.pdf", "the earlier album");
  RunWithSmallTmp(dir, "40k",
                  test::VellumoxCommand(batch.config.path()) + " " + ShellQuote(dir / "p/*.png"),
                  &r);
  EXPECT_EQ(r.exit_code, 1) << r.error;
  EXPECT_TRUE(
      Holds(r.error, "There is no room left in '" + dir / "tmp" + "' for the converted picture '"))
      << r.error;
  EXPECT_FALSE(Holds(r.error, "out of disk space?")) << r.error;
  EXPECT_EQ(test::ReadFile(dir / "p/images.pdf"), "the earlier album");
}

// --- Names as long as the file system takes -------------------------------------------------

TEST(OwnInputs, AnOutputNameOfAnyLegalLengthCanBeWritten) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "a\r\n");
  for (size_t length : {247u, 248u, 251u, 255u}) {
    SCOPED_TRACE(length);
    const std::string name = std::string(length - 4, 'n') + ".pdf";
    auto r = batch.Run("-o " + ShellQuote(dir / name) + " " + ShellQuote(dir / "a.txt"));
    EXPECT_EQ(r.exit_code, 0) << r.error;
    Sound(dir / name);
  }
}

}  // namespace
}  // namespace vellumox
