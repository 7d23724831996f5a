// Runs vellumox --batch on real files and folders, as a script or the album builder would.
#include <gtest/gtest.h>

#include <regex>

#include <thread>

#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

using Batch = test::BatchRuns;
const auto SoundPdf = test::ExpectSoundPdf;

TEST(Batch, ConvertsFilesWithBlanksAndForeignLettersInTheirNames) {
  TempDir dir;
  Batch batch;
  const std::string folder = dir / "Mes documents \xC3\xA9t\xC3\xA9";
  ASSERT_EQ(RunCommand("mkdir " + ShellQuote(folder)).exit_code, 0);
  test::WriteFile(folder + "/r\xC3\xA9sum\xC3\xA9 final.txt", "Caf\xC3\xA9 au lait\r\n");
  auto r = batch.Run("-f0 -s3 " + ShellQuote(folder + "/r\xC3\xA9sum\xC3\xA9 final.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  const std::string pdf = folder + "/r\xC3\xA9sum\xC3\xA9 final.pdf";
  ASSERT_TRUE(SoundPdf(pdf));
  EXPECT_NE(test::PdfToText(pdf).find("Caf\xC3\xA9 au lait"), std::string::npos);
  std::string bytes = test::ReadFile(pdf);
  EXPECT_NE(bytes.find("/Name /F0\r/Encoding 25 0 R\r/BaseFont /Courier\r"), std::string::npos);
  EXPECT_NE(bytes.find("/F0 7 Tf"), std::string::npos);
}

TEST(Batch, OutputNamesAndDocumentInformation) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "report-new.txt", "text\r\n");
  auto r = batch.Run("-o " + ShellQuote(dir / "out/../Final Report") + " -a \"Ann (ed.)\" -t" +
                     ShellQuote("R\xC3\xA9sum\xC3\xA9") + " " + ShellQuote(dir / "report-new.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  // An output name without .pdf gives way to the input's name with .pdf.
  ASSERT_TRUE(SoundPdf(dir / "report-new.pdf"));
  auto info = RunCommand("pdfinfo " + ShellQuote(dir / "report-new.pdf"));
  EXPECT_NE(info.output.find("Author:          Ann (ed.)"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("Title:           R\xC3\xA9sum\xC3\xA9"), std::string::npos);

  r = batch.Run("-o" + ShellQuote(dir / "Named.PDF") + " " + ShellQuote(dir / "report-new.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  EXPECT_TRUE(SoundPdf(dir / "Named.PDF"));
}

// A run keeps its switches for the next only when it asks (--save); otherwise it leaves no
// trace: the next run starts from what was kept before it.
TEST(Batch, SwitchesPersistIntoTheNextRunOnlyWhenSaved) {
  TempDir dir;
  Batch batch;
  test::WriteFile(dir / "a.txt", "x\r\n");
  ASSERT_EQ(batch.Run("-f2 -t Report -a \"Ann Smith\" " + ShellQuote(dir / "a.txt")).exit_code, 0);
  EXPECT_FALSE(test::PathExists(batch.config / "Vellumox/Vellumox.ini"));
  ASSERT_EQ(batch.Run("--save -f0 -s8 -b1 -u -n " + ShellQuote(dir / "a.txt")).exit_code, 0);
  std::string settings = batch.SettingsFile();
  EXPECT_NE(settings.find("Font=0"), std::string::npos) << settings;
  EXPECT_NE(settings.find("FullScreen=1"), std::string::npos) << settings;
  test::WriteFile(dir / "b.txt", "y\r\n");
  ASSERT_EQ(batch.Run("-t Elsewhere " + ShellQuote(dir / "b.txt")).exit_code, 0);
  EXPECT_EQ(batch.SettingsFile(), settings);  // the title of that run stays with it
  std::string pdf = test::ReadFile(dir / "b.pdf");
  EXPECT_NE(pdf.find("/BaseFont /Courier\r>>\rendobj\r5 0 obj"), std::string::npos);
  EXPECT_NE(pdf.find("/F0 12 Tf"), std::string::npos);
  EXPECT_NE(pdf.find("/PageMode /FullScreen"), std::string::npos);
  EXPECT_NE(pdf.find("0 0 1 rg\r0 0 m"), std::string::npos);  // blue background
  EXPECT_EQ(pdf.find(" 25 Tm\r(1) Tj"), std::string::npos);   // no page numbers
}

// --progress tells how far a job is (a line each when standard error is no terminal);
// --quiet silences it.
TEST(Batch, ProgressNamesThePagesAndQuietSilencesIt) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + "\r\n";
  test::WriteFile(dir / "a.txt", text);
  Batch batch;
  auto r = batch.Run("--no-save --progress " + ShellQuote(dir / "a.txt"));
  ASSERT_EQ(r.exit_code, 0) << r.error;
  EXPECT_NE(r.error.find("vellumox: Processing " + dir / "a.txt" + " \xE2\x80\x94 page 1\n"),
            std::string::npos)
      << r.error;
  r = batch.Run("--no-save --progress --quiet " + ShellQuote(dir / "a.txt"));
  EXPECT_EQ(r.error.find("page"), std::string::npos) << r.error;
}

// The batch converter loads no toolkit and no image library, and a plain-text run starts no
// picture decoder helper: a run from the command line pays only for what it uses.
TEST(Batch, LoadsNoWindowAndNoImageLibrary) {
  const std::string program = test::BinDir() + "/vellumox";
  const std::string libraries = RunCommand("ldd " + ShellQuote(program)).output;
  ASSERT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
  for (const char* name : {"libQt6", "Magick", "librsvg", "libemf2svg", "libcairo", "libX11",
                           "libxcb", "libGL", "libEGL", "liblcms2"}) {
    EXPECT_EQ(libraries.find(name), std::string::npos) << name << " in\n" << libraries;
  }
  if (RunCommand("command -v strace").exit_code != 0) {
    GTEST_SKIP() << "strace is not installed (scripts/install-deps adds it): the files that a "
                    "plain-text run opens are not checked";
  }
  TempDir dir;
  test::WriteFile(dir / "plain.txt", "Just words.\n");
  // LeakSanitizer cannot run under a tracer: it is left out of a sanitizer build's traced run.
  auto traced =
      RunCommand("ASAN_OPTIONS=\"${ASAN_OPTIONS:-}:detect_leaks=0\" XDG_CONFIG_HOME=" +
                 ShellQuote(dir / "config") + " strace -f -e trace=open,openat,execve -o " +
                 ShellQuote(dir / "trace.txt") + " " + ShellQuote(program) + " --batch " +
                 ShellQuote(dir / "plain.txt"));
  if (traced.exit_code != 0 && traced.error.find("strace:") != std::string::npos) {
    GTEST_SKIP() << "strace cannot trace here: " << traced.error;
  }
  ASSERT_EQ(traced.exit_code, 0) << traced.error;
  const std::string trace = test::ReadFile(dir / "trace.txt");
  for (const char* name : {"agick", "vellumox-decode", "libQt6", "emf2svg"}) {
    EXPECT_EQ(trace.find(name), std::string::npos) << name << " in\n" << trace;
  }
  EXPECT_TRUE(test::ExpectSoundPdf(dir / "plain.pdf"));
}

TEST(Batch, HelpVersionAndBadOptions) {
  Batch batch;
  auto help = batch.Run("-?");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output.substr(0, 21), "Command line syntax:\n");
  EXPECT_NE(help.output.find("-o\"outputfile.pdf\"\n"), std::string::npos);
  // The sizes of pagesize.ini follow the built-in ones, with their paper names.
  RunCommand("mkdir -p " + ShellQuote(batch.config / "Vellumox") + " && cp " +
             ShellQuote(std::string(VELLUMOX_SOURCE_DIR) + "/data/pagesize.ini") + " " +
             ShellQuote(batch.config / "Vellumox/pagesize.ini"));
  auto long_help = batch.Run("--help");
  EXPECT_EQ(long_help.exit_code, 0);
  EXPECT_NE(long_help.output.find("--keep-jpeg"), std::string::npos);
  EXPECT_NE(long_help.output.find("--help, -?"), std::string::npos);
  for (const char* size :
       {"5 8.27\" x 11.69\" (A4)", "6 11.69\" x 16.54\" (A3)", "7 5.83\" x 8.27\" (A5)"}) {
    EXPECT_NE(long_help.output.find(size), std::string::npos) << long_help.output;
  }
  EXPECT_NE(long_help.output.find("Exit status"), std::string::npos);
  EXPECT_NE(long_help.output.find("natural order"), std::string::npos);
  // Every option that --help names is offered by the completion and told by the manual page.
  const std::string completion =
      test::ReadFile(std::string(VELLUMOX_SOURCE_DIR) + "/completion/vellumox");
  const std::string manual = test::ReadFile(std::string(VELLUMOX_SOURCE_DIR) + "/man/vellumox.1");
  const std::regex option("--[a-z][a-z-]*[a-z]");
  for (auto it = std::sregex_iterator(long_help.output.begin(), long_help.output.end(), option);
       it != std::sregex_iterator(); ++it) {
    const std::string name = it->str();
    if (name == "--list-folder") continue;  // the album builder's, not the user's
    EXPECT_NE(completion.find(name), std::string::npos) << name;
    std::string escaped;  // as groff writes it: every "-" as "\-"
    for (char c : name) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.find(escaped), std::string::npos) << name;
  }
  auto version = batch.Run("--version");
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output.rfind("Vellumox ", 0), 0u) << version.output;
  EXPECT_EQ(version.output.find("Pictures"), std::string::npos) << version.output;
  auto formats = batch.Run("--formats");
  EXPECT_EQ(formats.exit_code, 0);
  EXPECT_EQ(formats.output, "Pictures: JPEG PNG GIF BMP TIFF PSD PCX ICO TGA WMF EMF\n");
  EXPECT_EQ(batch.Run("--frobnicate x.txt").exit_code, 2);
  EXPECT_EQ(batch.Run("--jpeg-quality=0 x.txt").exit_code, 2);
  auto nothing = batch.Run("");
  EXPECT_EQ(nothing.exit_code, 2);
  EXPECT_NE(nothing.error.find("Nothing to convert"), std::string::npos);
  EXPECT_EQ(batch.Run("-q /no/such.txt").exit_code, 2);
}

TEST(Batch, FolderJobReportsEachFile) {
  TempDir dir;
  Batch batch;
  for (const char* name : {"one.txt", "two.txt", "three.TXT"}) {
    test::WriteFile(dir / name, std::string(name) + "\r\n");
  }
  test::WriteFile(dir / "empty.txt", "");
  auto r = batch.Run(ShellQuote(dir / "*.txt"));
  EXPECT_EQ(r.exit_code, 1);  // the empty file does not exist as far as conversion goes
  EXPECT_NE(r.error.find("Processing " + dir / "one.txt"), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("empty.txt' does not exist."), std::string::npos) << r.error;
  for (const char* pdf : {"one.pdf", "two.pdf", "three.pdf"}) SoundPdf(dir / pdf);
  EXPECT_FALSE(test::PathExists(dir / "empty.pdf"));
}

TEST(Batch, AlbumsFromAPatternAndFromOnePicture) {
  TempDir dir;
  Batch batch;
  test::MakeJpeg(dir / "b.jpg", 120, 90);
  test::MakeJpeg(dir / "A.JPG", 90, 120);
  auto r = batch.Run("--keep-jpeg " + ShellQuote(dir / "*.jpg"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  ASSERT_TRUE(SoundPdf(dir / "images.pdf")) << r.error;
  std::string pdf = test::ReadFile(dir / "images.pdf");
  // One page per picture, the portrait one (taller than the page's text area) included.
  EXPECT_NE(pdf.find("/Count 2\r"), std::string::npos);
  EXPECT_NE(pdf.find(test::ReadFile(dir / "A.JPG")), std::string::npos);  // kept byte for byte

  r = batch.Run("-o" + ShellQuote(dir / "album.pdf") + " " + ShellQuote(dir / "b.jpg"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  ASSERT_TRUE(SoundPdf(dir / "album.pdf"));
  EXPECT_NE(test::ReadFile(dir / "album.pdf").find("/Count 1\r"), std::string::npos);
}

TEST(Batch, ConversionsSideBySideDoNotCollide) {
  // A folder job over 200 files and two albums at once, two of them sharing one settings file.
  TempDir a, b, c;
  Batch batch_a, batch_b;
  for (int i = 0; i < 200; ++i) {
    test::WriteFile(a / ("file" + std::to_string(i) + ".txt"),
                    "Document " + std::to_string(i) + " of folder a\r\n");
  }
  for (int i = 0; i < 6; ++i) {
    for (const TempDir* folder : {&b, &c}) {
      test::MakeJpeg(*folder / ("p" + std::to_string(i) + ".jpg"), 200 + i, 100, test::Pixels::kRgb,
                     80, false, i);
    }
  }
  test::CommandResult ra, rb, rc;
  std::thread folder([&] { ra = batch_a.Run(ShellQuote(a / "*.txt")); });
  std::thread album1([&] { rb = batch_b.Run(ShellQuote(b / "*.jpg")); });
  std::thread album2([&] { rc = batch_a.Run(ShellQuote(c / "*.jpg")); });
  folder.join();
  album1.join();
  album2.join();
  EXPECT_EQ(ra.exit_code, 0) << ra.error;
  EXPECT_EQ(rb.exit_code, 0) << rb.error;
  EXPECT_EQ(rc.exit_code, 0) << rc.error;
  for (int i = 0; i < 200; i += 37) {
    std::string pdf = a / ("file" + std::to_string(i) + ".pdf");
    ASSERT_TRUE(SoundPdf(pdf));
    EXPECT_NE(test::PdfToText(pdf).find("Document " + std::to_string(i) + " of folder a"),
              std::string::npos);
  }
  EXPECT_EQ(test::ListFolder(a.path()).size(), 400u);
  for (const TempDir* folder : {&b, &c}) {
    const std::string pdf = *folder / "images.pdf";
    ASSERT_TRUE(SoundPdf(pdf));
    auto list = RunCommand("pdfimages -list " + ShellQuote(pdf));
    for (int i = 0; i < 6; ++i) {
      EXPECT_NE(list.output.find("image     " + std::to_string(200 + i) + "   100"),
                std::string::npos)
          << list.output;
    }
  }
}

}  // namespace
}  // namespace vellumox
