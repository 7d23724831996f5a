// The album builder from the command line, without a display, and its real window under Xvfb.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "album/album_model.h"
#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

using ImageRow = test::PdfImageRow;
const auto ListImages = test::PdfImages;
const auto Pages = test::PdfPages;

// Runs a program of the build without a display, with settings and data of the test's own.
test::CommandResult RunHeadless(const TempDir& dir, const std::string& command) {
  return RunCommand("cd " + ShellQuote(dir.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                    "XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
                    " XDG_DATA_HOME=" + ShellQuote(dir / "data") + " " + command);
}

TEST(Album, CommandLineRunWritesOnePagePerPictureEvenWithMarkupOff) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics"));
  test::MakeJpeg(dir / "pics/a.jpg", 400, 300);
  test::MakePng(dir / "pics/b.png", 200, 100);
  test::MakeJpeg(dir / "pics/c.jpeg", 240, 180);  // JPEG by its other name
  test::MakeJpeg(dir / "pics/portrait.jpg", 300, 400);
  test::MakeJpeg(dir /
                     "pics/\xC5\x81\xC3\xB3"
                     "d\xC5\xBA.jpg",
                 160, 120);  // Łódź
  test::WriteFile(dir / "note.txt", "<b>not a picture</b>\r\n");
  const std::string bin = test::BinDir();
  for (bool markup_off_before : {false, true}) {
    SCOPED_TRACE(markup_off_before ? "after a conversion with -h" : "first");
    if (markup_off_before) {
      // The stored setting is now "no markup": the album must not turn into text.
      auto h = RunHeadless(dir, ShellQuote(bin + "/vellumox") + " --batch --save -h note.txt");
      ASSERT_EQ(h.exit_code, 0) << h.error;
      ASSERT_NE(test::ReadFile(dir / "config/Vellumox/Vellumox.ini").find("Formatting=0"),
                std::string::npos);
    }
    auto r = RunHeadless(dir, ShellQuote(bin + "/album") + " pics /o Holiday");
    ASSERT_EQ(r.exit_code, 0) << r.error;
    const std::string pdf = dir / "pics/Holiday.pdf";
    std::string details;
    ASSERT_TRUE(test::QpdfCheckClean(pdf, &details)) << details;
    EXPECT_EQ(Pages(pdf), 5);
    std::vector<ImageRow> rows = ListImages(pdf);
    ASSERT_EQ(rows.size(), 5u);
    const int expected[][3] = {
        {1, 400, 300}, {2, 200, 100}, {3, 240, 180}, {4, 300, 400}, {5, 160, 120}};
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].page, expected[i][0]);
      EXPECT_EQ(rows[i].width, expected[i][1]);
      EXPECT_EQ(rows[i].height, expected[i][2]);
    }
    RunCommand("rm " + ShellQuote(pdf));
  }
  // The converter's own setting stayed as the user left it.
  EXPECT_NE(test::ReadFile(dir / "config/Vellumox/Vellumox.ini").find("Formatting=0"),
            std::string::npos);
}

// The usage, the completion and the manual page name the album builder's options, and the
// manual page no other.
TEST(Album, UsageCompletionAndManualNameItsOptions) {
  TempDir dir;
  const std::string usage =
      RunHeadless(dir, ShellQuote(test::BinDir() + "/album") + " --help").output;
  const std::string source(VELLUMOX_SOURCE_DIR);
  const std::string completion = test::ReadFile(source + "/completion/album");
  std::string manual = test::ReadFile(source + "/man/album.1");
  manual = std::regex_replace(manual, std::regex(R"(\\-)"), "-");
  const size_t options = manual.find(".SH OPTIONS");
  manual = manual.substr(options, manual.find("\n.SH ", options + 1) - options);
  std::set<std::string> told;
  const std::regex option_line(R"(\n\.TP\n\.BI? ([^ \n]+))");
  for (auto it = std::sregex_iterator(manual.begin(), manual.end(), option_line);
       it != std::sregex_iterator(); ++it) {
    told.insert((*it)[1].str());
  }
  std::set<std::string> declared;
  for (std::string_view option : kAlbumOptions) {
    declared.insert(std::string(option));
    EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_NE(completion.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(told, declared);
}

TEST(Album, WithoutADisplayOnlyTheAlbumRunWorks) {
  TempDir dir;
  auto r = RunHeadless(dir, ShellQuote(test::BinDir() + "/album") + " " + ShellQuote(dir.path()));
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.error.find("there is no display"), std::string::npos) << r.error;
}

// With /o the album builder is a command: with a display or without, it runs the converter
// unattended, waits for it and ends with its status (the PDF there when it returns), and opens
// no window (a display that no server serves is never touched).
TEST(Album, TheOutputRunWaitsForTheConverterWithOrWithoutADisplay) {
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics") + " " + ShellQuote(dir / "empty"));
  test::MakeJpeg(dir / "pics/a.jpg", 160, 120);
  test::MakePng(dir / "pics/b.png", 80, 60);
  const std::string album = ShellQuote(test::BinDir() + "/album");
  struct Case {
    const char* display;
    const char* arguments;
    int status;
    const char* message;  // on standard error
  } cases[] = {
      {"", "pics /o Trip", 0, ""},
      {"DISPLAY=:4242", "pics /o Trip", 0, ""},
      {"WAYLAND_DISPLAY=nowhere-4242", "pics /o Trip", 0, ""},
      {"DISPLAY=:4242", "empty /o Trip", 2, "there are no pictures"},
      {"DISPLAY=:4242", "nowhere /o Trip", 2, "No such folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.display) + " album " + c.arguments);
    auto r = RunHeadless(
        dir, std::string("env ") + (*c.display ? c.display : "") + " " + album + " " + c.arguments);
    EXPECT_EQ(r.exit_code, c.status) << r.error;
    EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    if (c.status != 0) continue;
    EXPECT_EQ(Pages(dir / "pics/Trip.pdf"), 2);  // there as soon as album has returned
    RunCommand("rm " + ShellQuote(dir / "pics/Trip.pdf"));
  }
}

TEST(AlbumSession, TheWindowAddsMovesAndCreates) {
  if (RunCommand("command -v xvfb-run && command -v xdotool").exit_code != 0) {
    GTEST_SKIP() << "xvfb-run or xdotool is not installed";
  }
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics"));
  test::MakeJpeg(dir / "pics/a.jpg", 300, 200);
  test::MakeJpeg(dir / "pics/b.jpg", 100, 200);
  const std::string script = std::string(VELLUMOX_SOURCE_DIR) + "/tests/e2e/album_session.sh";
  // -noreset: the server would reset when a program's last window closes, and refuse the
  // next program that connects meanwhile.
  auto r = RunCommand(
      "cd " + ShellQuote(dir.path()) + " && XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
      " XDG_DATA_HOME=" + ShellQuote(dir / "data") +
      " timeout 180 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' " + ShellQuote(script) + " " +
      ShellQuote(test::BinDir()) + " " + ShellQuote(dir.path()));
  EXPECT_EQ(r.exit_code, 0) << r.output << r.error;
  std::string details;
  ASSERT_TRUE(test::QpdfCheckClean(dir / "Trip.pdf", &details)) << details;
  std::vector<ImageRow> rows = ListImages(dir / "Trip.pdf");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].width, 100);  // b.jpg moved up: it comes first
  EXPECT_EQ(rows[1].width, 300);
}

// Without a folder the album builder shows the one it showed last, kept in album.ini when its
// window closed; never the program's folder (a kept one is passed over for the pictures
// folder, else the home folder), and an album named into the program's folder is refused.
TEST(AlbumSession, TheFolderShownLastComesBackAndTheProgramFolderNever) {
  if (RunCommand("command -v xvfb-run && command -v xdotool").exit_code != 0) {
    GTEST_SKIP() << "xvfb-run or xdotool is not installed";
  }
  TempDir dir;
  RunCommand("mkdir " + ShellQuote(dir / "pics") + " " + ShellQuote(dir / "home"));
  test::MakeJpeg(dir / "pics/a.jpg", 160, 120);
  test::MakeJpeg(dir / "pics/b.jpg", 80, 60);
  const std::string env = "HOME=" + ShellQuote(dir / "home") + " ";
  const std::string script =
      std::string(VELLUMOX_SOURCE_DIR) + "/tests/e2e/album_folder_session.sh";
  auto session = RunCommand("cd " + ShellQuote(dir.path()) + " && " + env +
                            "XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
                            " XDG_DATA_HOME=" + ShellQuote(dir / "data") +
                            " timeout 120 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' " +
                            ShellQuote(script) + " " + ShellQuote(test::BinDir()) + " " +
                            ShellQuote(dir.path()));
  ASSERT_EQ(session.exit_code, 0) << session.output << session.error;
  const std::string ini = dir / "config/Vellumox/album.ini";
  EXPECT_NE(test::ReadFile(ini).find("[Album]"), std::string::npos) << test::ReadFile(ini);
  EXPECT_NE(test::ReadFile(ini).find("Folder=" + dir / "pics"), std::string::npos)
      << test::ReadFile(ini);

  // The next start without a folder is there: its album of every picture goes there.
  const std::string album = ShellQuote(test::BinDir() + "/album");
  auto again = RunHeadless(dir, "env " + env + album + " /o Trip");
  ASSERT_EQ(again.exit_code, 0) << again.error;
  EXPECT_EQ(Pages(dir / "pics/Trip.pdf"), 2);

  // A kept program folder is passed over: the home folder (no pictures folder in it), which
  // holds no pictures.
  test::WriteFile(ini, "[Album]\nFolder=" + test::BinDir() + "\n");
  auto home = RunHeadless(dir, "env " + env + album + " /o Trip");
  EXPECT_EQ(home.exit_code, 2) << home.error;
  EXPECT_NE(home.error.find("there are no pictures in " + dir / "home"), std::string::npos)
      << home.error;

  // An album named into the program's folder is refused before anything is written.
  auto refused =
      RunHeadless(dir, album + " pics /o " + ShellQuote(test::BinDir() + "/NobodyAlbum"));
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.error.find("Albums are not written into the program's folder"),
            std::string::npos)
      << refused.error;
  EXPECT_FALSE(test::PathExists(test::BinDir() + "/NobodyAlbum.pdf"));
}

// Installing the programs takes no type from the application the desktop opens it with: where
// the desktop has no preference, xdg-mime takes the first application of mimeinfo.cache (sorted
// by name), so the album builder lists no folders; the converter opens a file with --open.
TEST(DesktopEntries, FoldersKeepTheirApplicationAndOpeningConvertsNothing) {
  if (RunCommand("command -v xdg-mime && command -v update-desktop-database").exit_code != 0) {
    GTEST_SKIP() << "xdg-utils or desktop-file-utils is not installed";
  }
  TempDir dir;
  const std::string data = std::string(VELLUMOX_SOURCE_DIR) + "/data/";
  const std::string applications = dir / "data/applications";
  RunCommand("mkdir -p " + ShellQuote(applications) + " " + ShellQuote(dir / "home") + " " +
             ShellQuote(dir / "none"));
  RunCommand("cp " + ShellQuote(data + "vellumox.desktop") + " " +
             ShellQuote(data + "vellumox-album.desktop") + " " + ShellQuote(applications));
  // A stand-in for whatever the user had, named to sort after the programs.
  test::WriteFile(applications + "/zz-standin.desktop",
                  "[Desktop Entry]\nType=Application\nName=Stand-in\nExec=true %f\n"
                  "MimeType=inode/directory;\n");
  ASSERT_EQ(RunCommand("update-desktop-database " + ShellQuote(applications)).exit_code, 0);
  const std::string cache = test::ReadFile(applications + "/mimeinfo.cache");
  EXPECT_EQ(cache.find("vellumox-album.desktop"), std::string::npos) << cache;
  auto query = RunCommand(
      "env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION "
      "-u GNOME_DESKTOP_SESSION_ID HOME=" +
      ShellQuote(dir / "home") + " XDG_CONFIG_HOME=" + ShellQuote(dir / "config") +
      " XDG_DATA_HOME=" + ShellQuote(dir / "data") + " XDG_DATA_DIRS=" + ShellQuote(dir / "none") +
      " xdg-mime query default inode/directory");
  EXPECT_EQ(query.output, "zz-standin.desktop\n") << query.error;
  EXPECT_NE(test::ReadFile(data + "vellumox.desktop").find("\nExec=vellumox --open %f\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vellumox
