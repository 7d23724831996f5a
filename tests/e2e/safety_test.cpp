// Nothing lost and nothing silent: pictures that do not arrive are named, the command line takes
// what the user meant, and outputs are safe from slips, interruptions and full disks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
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

// --- Pictures that do not arrive are reported -----------------------------------------------

TEST(PicturesReported, AnAlbumOfBrokenPicturesSaysSoAndEndsWithThree) {
  TempDir dir;
  Batch batch;
  test::MakeJpeg(dir / "good.jpg", 40, 30);
  test::WriteFile(dir / "text.jpg", "not a picture at all");
  test::WriteFile(dir / "q\"uote.jpg", test::ReadFile(dir / "good.jpg"));
  auto r = batch.Run(ShellQuote(dir / "*.jpg"));
  EXPECT_EQ(r.exit_code, 3) << r.error;
  EXPECT_NE(
      r.error.find("vellumox: picture '" + dir / "text.jpg" + "' left out: not a JPEG file\n"),
      std::string::npos)
      << r.error;
  EXPECT_NE(r.error.find("vellumox: picture '" + dir / "q\"uote.jpg" +
                         "' left out: its name holds a double quote"),
            std::string::npos)
      << r.error;
  EXPECT_TRUE(Sound(dir / "images.pdf"));
}

// --- The command line takes what the user meant ---------------------------------------------

TEST(CommandLineIntent, SlipsSaveNothingAndOptionsUndoSwitches) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "<b>bold</b>\r\n");
  // "vellumox -h", a Linux user asking for help: nothing to convert, nothing saved.
  auto slip = batch.Run("-h");
  EXPECT_EQ(slip.exit_code, 2);
  EXPECT_FALSE(test::PathExists(batch.config / "Vellumox/Vellumox.ini"));

  ASSERT_EQ(batch.Run("--save -h -n -u " + ShellQuote(dir / "a.txt")).exit_code, 0);
  EXPECT_NE(batch.SettingsFile().find("Formatting=0"), std::string::npos);
  auto undo = batch.Run("--save --markup --page-numbers --no-full-screen --jpeg-quality 85 " +
                        ShellQuote(dir / "a.txt"));
  EXPECT_EQ(undo.exit_code, 0) << undo.error;
  const std::string settings = batch.SettingsFile();
  for (const char* kept : {"Formatting=1", "PageNum=1", "FullScreen=0", "JpegCompression=85"}) {
    EXPECT_NE(settings.find(kept), std::string::npos) << kept << "\n" << settings;
  }

  // "--" ends the options and switches: a file whose name looks like a switch converts.
  test::WriteFile(dir / "-f3.txt", "x\r\n");
  auto dashed = RunCommand("cd " + ShellQuote(dir.path()) + " && " +
                           test::VellumoxCommand(batch.config.path()) + " -- -f3.txt");
  EXPECT_EQ(dashed.exit_code, 0) << dashed.error;
  EXPECT_TRUE(Sound(dir / "-f3.pdf"));

  auto range = batch.Run("-s99 " + ShellQuote(dir / "a.txt"));
  EXPECT_EQ(range.exit_code, 0);
  EXPECT_NE(range.error.find("vellumox: warning: -s99: there is no font size 99 (0 to 15)"),
            std::string::npos)
      << range.error;
}

// --- Outputs are safe -----------------------------------------------------------------------

TEST(SafeOutputs, PermissionsLinksAndTwoInputsOfOneName) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "a\r\n");
  test::WriteFile(dir / "private.pdf", "earlier");
  ::chmod((dir / "private.pdf").c_str(), 0600);
  ASSERT_EQ(batch.Run("-o " + ShellQuote(dir / "private.pdf") + " " + ShellQuote(dir / "a.txt"))
                .exit_code,
            0);
  struct stat st;
  ASSERT_EQ(::stat((dir / "private.pdf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_TRUE(Sound(dir / "private.pdf"));

  RunCommand("mkdir " + ShellQuote(dir / "real") + " && ln -s real/target.pdf " +
             ShellQuote(dir / "link.pdf"));
  ASSERT_EQ(
      batch.Run("-o " + ShellQuote(dir / "link.pdf") + " " + ShellQuote(dir / "a.txt")).exit_code,
      0);
  EXPECT_EQ(RunCommand("test -L " + ShellQuote(dir / "link.pdf")).exit_code, 0);
  EXPECT_TRUE(Sound(dir / "real/target.pdf"));

  // a.txt and a.TXT both give a.pdf: the second is skipped, the first PDF kept.
  RunCommand("mkdir " + ShellQuote(dir / "two"));
  test::WriteFile(dir / "two/a.txt", "lower\r\n");
  test::WriteFile(dir / "two/a.TXT", "UPPER\r\n");
  auto two = batch.Run(ShellQuote(dir / "two/*.txt"));
  EXPECT_EQ(two.exit_code, 1);
  EXPECT_NE(two.error.find("was written by this job already"), std::string::npos) << two.error;
  EXPECT_NE(test::PdfToText(dir / "two/a.pdf").find("UPPER"), std::string::npos);  // A < a

  // The temporary twin of a long name still fits the file system's 255 bytes.
  const std::string long_name = std::string(243, 'n') + ".txt";
  test::WriteFile(dir / long_name, "long\r\n");
  auto long_run = batch.Run(ShellQuote(dir / long_name));
  EXPECT_EQ(long_run.exit_code, 0) << long_run.error;
}

TEST(SafeOutputs, AFullDiskFailsTheConversionAndLeavesNothing) {
  TempDir dir;
  Batch batch;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "A line that fills the disk " + std::to_string(i) + "\n";
  test::WriteFile(dir / "big.txt", text);
  test::WriteFile(dir / "big.pdf", "earlier");
  // A file-size limit of 100 KiB stands in for a full disk.
  auto r = RunCommand("ulimit -f 100 && " + test::VellumoxCommand(batch.config.path()) + " " +
                      ShellQuote(dir / "big.txt"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.error.find("File too large"), std::string::npos) << r.error;
  EXPECT_EQ(test::ReadFile(dir / "big.pdf"), "earlier");
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::string>{"big.pdf", "big.txt"}));
}

// Memory that runs out where a picture is turned (the whole picture is held) fails the
// document with status 1: the earlier PDF stays, and no partial PDF or temporary file is left.
TEST(SafeOutputs, MemoryThatRunsOutLeavesNothingBehind) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "tmp"));
  test::JpegCoding turned;
  turned.orientation = 6;  // 144 MB once turned; a run takes less than 120 MB otherwise
  test::MakeJpeg(dir / "turned.jpg", 8000, 6000, test::Pixels::kRgb, turned);
  test::WriteFile(dir / "doc.txt", "<img src=\"turned.jpg\">\r\n");
  test::WriteFile(dir / "doc.pdf", "earlier");
  auto r = RunCommand("ulimit -v 200000 && TMPDIR=" + ShellQuote(dir / "tmp") + " " +
                      test::VellumoxCommand(batch.config.path()) + " --jpeg-quality=90 " +
                      ShellQuote(dir / "doc.txt"));
  EXPECT_EQ(r.exit_code, 1) << r.error;
  EXPECT_NE(r.error.find("not enough memory"), std::string::npos) << r.error;
  EXPECT_EQ(test::ReadFile(dir / "doc.pdf"), "earlier");
  EXPECT_EQ(test::ListFolder(dir.path()),
            (std::vector<std::string>{"doc.pdf", "doc.txt", "tmp", "turned.jpg"}));
  EXPECT_TRUE(test::ListFolder(dir / "tmp").empty());
#endif
}

TEST(SafeOutputs, ASignalRemovesThePartialOutputAndTheTemporaryFiles) {
  TempDir dir;
  Batch batch;
  RunCommand("mkdir " + ShellQuote(dir / "tmp"));
  test::MakeJpeg(dir / "huge.jpg", 8000, 6000, test::Pixels::kRgb, 95);
  for (int signal : {15, 2}) {
    SCOPED_TRACE(signal);
    auto started = RunCommand("TMPDIR=" + ShellQuote(dir / "tmp") + " " +
                              test::VellumoxCommand(batch.config.path()) +
                              " --jpeg-quality=90 -o " + ShellQuote(dir / "album.pdf") + " " +
                              ShellQuote(dir / "huge.jpg") + " >/dev/null 2>&1 & echo $!");
    const std::string pid = started.output.substr(0, started.output.find('\n'));
    // Once the partial PDF is there, the signal.
    bool partial = false;
    for (int i = 0; i < 200 && !partial; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      for (const std::string& name : test::ListFolder(dir.path())) {
        partial = partial || name.rfind(".album.pdf.", 0) == 0;
      }
    }
    ASSERT_TRUE(partial);
    RunCommand("kill -" + std::to_string(signal) + " " + pid);
    auto waited = RunCommand("while kill -0 " + pid + " 2>/dev/null; do sleep 0.05; done");
    EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::string>{"huge.jpg", "tmp"}));
    EXPECT_TRUE(test::ListFolder(dir / "tmp").empty());
  }
  // The status: 128 + the signal.
  auto status =
      RunCommand("TMPDIR=" + ShellQuote(dir / "tmp") + " " +
                 test::VellumoxCommand(batch.config.path()) + " --jpeg-quality=90 -o " +
                 ShellQuote(dir / "album.pdf") + " " + ShellQuote(dir / "huge.jpg") +
                 // The signal once the partial PDF is there, whatever the machine's
                 // speed.
                 " & pid=$!; n=0; while [ $n -lt 1000 ] && ! ls -A " + ShellQuote(dir.path()) +
                 " | grep -q '^\\.album\\.pdf\\.'; do sleep 0.01; n=$((n + 1)); done;"
                 " kill -TERM $pid; wait $pid");
  EXPECT_EQ(status.exit_code, 143);
}

}  // namespace
}  // namespace vellumox
