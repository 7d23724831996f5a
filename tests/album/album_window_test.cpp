// The album builder's model and window, driven as a user would, on the offscreen platform.
#include "album/album_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sstream>

#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "album/album_model.h"
#include "album/album_progress.h"
#include "desktop/qt_text.h"
#include "support/fake_desktop.h"
#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;
using Strings = std::vector<std::string>;

// A folder of pictures with the album window open on it.
struct Album {
  explicit Album(const Strings& pictures, bool from_command_line = false) {
    test::RunCommand("mkdir -p " + test::ShellQuote(dir / "pics") + " " +
                     test::ShellQuote(dir / "bin"));
    for (const std::string& name : pictures) test::MakeJpeg(dir / "pics/" + name, 8, 6);
    AlbumCommandLine line;
    if (from_command_line) line = ParseAlbumCommandLine({dir / "pics"}, dir.path());
    StartAlbumModel(model, line, from_command_line ? "" : dir / "pics");
    window = std::make_unique<AlbumWindow>(model, test::SharedCodec(), places(), shell, dialogs);
    window->show();
    window->activateWindow();  // its keys reach it only when it is active
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  AlbumPlaces places() const { return {dir / "bin", dir / "config"}; }
  // A stand-in converter: it notes each run's arguments and folder in bin/runs.txt, then does
  // what body says.
  void FakeConverter(const std::string& body = "") {
    test::WriteFile(
        dir / "bin/vellumox",
        "#!/bin/sh\necho \"$* (in $(pwd))\" >> \"$(dirname \"$0\")/runs.txt\"\n" + body);
    test::RunCommand("chmod +x " + test::ShellQuote(dir / "bin/vellumox"));
  }
  Strings ConverterRuns() const {
    Strings runs;
    std::istringstream lines(test::ReadFile(dir / "bin/runs.txt"));
    for (std::string line; std::getline(lines, line);) runs.push_back(line);
    return runs;
  }
  QListWidget* Files() { return window->findChild<QListWidget*>("flImages"); }
  QListWidget* AlbumList() { return window->findChild<QListWidget*>("lstImages"); }
  void Click(const char* button) {
    QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
  }
  void SelectOnly(QListWidget* list, int row) {
    list->clearSelection();
    list->setCurrentRow(row);
  }

  TempDir dir;
  AlbumModel model{AlbumPatterns(false), false};
  test::FakeShell shell;
  test::FakeDialogs dialogs;
  std::unique_ptr<AlbumWindow> window;
};

Strings Entries(QListWidget* list) {
  Strings out;
  for (int i = 0; i < list->count(); ++i) out.push_back(FromQt(list->item(i)->text()));
  return out;
}

TEST(AlbumWindow, StartsOnItsFolderOrFillsTheAlbumFromTheCommandLine) {
  Album plain({"b.jpg", "a.jpg"});
  EXPECT_EQ(plain.window->objectName(), "formAlbum");
  EXPECT_EQ(plain.window->windowTitle(), "PDF Album for Kelm's Vellumox PRO+");
  EXPECT_EQ(Entries(plain.Files()), (Strings{"a.jpg", "b.jpg"}));
  EXPECT_TRUE(Entries(plain.AlbumList()).empty());
  EXPECT_EQ(plain.window->findChild<QLabel*>("lblPath")->text(), ToQt(plain.dir / "pics/"));

  // FOLDER: every file, in the byte order of the names; patterns without regard to case.
  Album given({"b.jpg", "C.JPG", "c.txt", "a.jpg"}, true);
  EXPECT_EQ(Entries(given.AlbumList()), (Strings{"a.jpg", "b.jpg", "C.JPG"}));  // natural order
}

// Without a folder on its command line the album builder starts where it was last, else in the
// pictures folder, else at home; never in the program's folder.
TEST(AlbumWindow, StartsWhereItWasLastAndNeverInTheProgramFolder) {
  TempDir dir;
  for (const char* folder : {"bin", "last", "pictures", "home"}) {
    test::RunCommand("mkdir -p " + test::ShellQuote(dir / folder));
  }
  test::RunCommand("ln -s bin " + test::ShellQuote(dir / "bin-link"));
  const std::string bin = dir / "bin", last = dir / "last", pictures = dir / "pictures",
                    home = dir / "home";
  struct Case {
    std::string last, pictures, expected;
  } cases[] = {
      {last, pictures, last},
      {"", pictures, pictures},                // nothing kept yet
      {dir / "gone", pictures, pictures},      // the folder kept is no more
      {bin, pictures, pictures},               // the program's folder is passed over
      {dir / "bin-link", pictures, pictures},  // by any name
      {"", dir / "no-pictures", home},         // no pictures folder
      {bin, bin, home},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AlbumStartFolder(c.last, c.pictures, home, bin), c.expected) << c.last;
  }
  EXPECT_TRUE(IsProgramFolder(dir / "bin-link/", bin));
  EXPECT_FALSE(IsProgramFolder(last, bin));
  EXPECT_FALSE(IsProgramFolder(last, ""));
}

TEST(AlbumWindow, CommandLineFolderAndOutput) {
  struct Case {
    Strings args;
    std::string folder, output;
  } cases[] = {
      {{}, "", ""},
      {{"/pics"}, "/pics", ""},
      {{"/pics", "/o", "Holiday"}, "/pics", "Holiday"},
      {{"/pics", "/O", "d/out.PDF"}, "/pics", "/work/d/out.PDF"},
      {{"/my pics", "/o", "x"}, "/my pics", "x"},
      {{"ab /o", "/o", "/o z"}, "/work/ab /o", "/o z"},  // "/o" only as an argument of its own
      {{"rel", "/o"}, "/work/rel", ""},
      {{"/opt/photos"}, "/opt/photos", ""},  // a folder that starts with /o is no switch
  };
  for (const Case& c : cases) {
    AlbumCommandLine line = ParseAlbumCommandLine(c.args, "/work");
    EXPECT_EQ(line.folder, c.folder);
    EXPECT_EQ(line.output, c.output);
    EXPECT_EQ(line.empty, c.args.empty());
  }
  EXPECT_EQ(AlbumOutputPath("Holiday", "/pics/"), "/pics/Holiday.pdf");
  EXPECT_EQ(AlbumOutputPath("/d/out.PDF", "/pics/"), "/d/out.PDF");
}

TEST(AlbumWindow, AddRemoveAndMove) {
  Album a({"a.jpg", "b.jpg", "c.jpg"});
  a.SelectOnly(a.Files(), 0);
  a.Click("btnAdd");
  a.model.album.entries.push_back("C.JPG");  // the same file in another letter case...
  a.window->ShowModel();
  a.SelectOnly(a.Files(), 2);
  a.Click("btnAdd");  // ...so c.jpg is not added again
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "C.JPG"}));
  a.Click("btnCopy");
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "b.jpg", "c.jpg"}));

  a.SelectOnly(a.AlbumList(), 0);
  a.Click("btnUp");  // the first goes no higher
  a.SelectOnly(a.AlbumList(), 2);
  a.Click("btnDown");  // the last no lower
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "b.jpg", "c.jpg"}));
  a.Click("btnUp");
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "c.jpg", "b.jpg"}));
  EXPECT_EQ(a.AlbumList()->currentRow(), 1);

  // Delete removes the selected album entries, never a file.
  a.SelectOnly(a.AlbumList(), 0);
  QTest::keyClick(a.window.get(), Qt::Key_Delete);
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"c.jpg", "b.jpg"}));
  EXPECT_TRUE(test::PathExists(a.dir / "pics/a.jpg"));
  // Insert adds the selected files.
  a.Files()->selectAll();
  a.Files()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
  QTest::keyClick(a.window.get(), Qt::Key_Insert);
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"c.jpg", "b.jpg", "a.jpg"}));
}

TEST(AlbumWindow, DeleteFileAndRename) {
  Album a({"a.jpg", "b.jpg", "c.jpg"});
  a.Click("btnCopy");
  a.SelectOnly(a.Files(), 1);
  a.dialogs.yes_no = {"yes"};
  a.Click("btnDelete");
  EXPECT_EQ(a.dialogs.questions, Strings{"Do you want to delete 'b.jpg'?"});
  EXPECT_FALSE(test::PathExists(a.dir / "pics/b.jpg"));
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "c.jpg"}));
  EXPECT_EQ(Entries(a.Files()), (Strings{"a.jpg", "c.jpg"}));

  // Onto an existing name: refused, nothing changes.
  const std::string c_bytes = test::ReadFile(a.dir / "pics/c.jpg");
  a.SelectOnly(a.Files(), 0);
  a.dialogs.texts = {"c.jpg"};
  a.Click("btnRename");
  EXPECT_EQ(a.dialogs.messages.size(), 1u);
  EXPECT_EQ(test::ReadFile(a.dir / "pics/c.jpg"), c_bytes);
  EXPECT_TRUE(test::PathExists(a.dir / "pics/a.jpg"));
  // A copy that fails (no such folder): nothing changes.
  a.SelectOnly(a.Files(), 0);
  a.dialogs.texts = {"no/such/x.jpg"};
  a.Click("btnRename");
  EXPECT_TRUE(test::PathExists(a.dir / "pics/a.jpg"));
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "c.jpg"}));
  // A rename: the file and its album entry.
  a.SelectOnly(a.Files(), 0);
  a.dialogs.texts = {"z.jpg"};
  QTest::keyClick(a.window.get(), Qt::Key_F2);
  EXPECT_EQ(Entries(a.Files()), (Strings{"c.jpg", "z.jpg"}));
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"z.jpg", "c.jpg"}));
  // The renamed file stays current and selected in both lists, so the next F2 offers it.
  EXPECT_EQ(a.Files()->currentRow(), 1);
  EXPECT_TRUE(a.Files()->item(1)->isSelected());
  EXPECT_FALSE(a.Files()->item(0)->isSelected());
  EXPECT_EQ(a.AlbumList()->currentRow(), 0);
  EXPECT_TRUE(a.AlbumList()->item(0)->isSelected());
  a.dialogs.questions.clear();
  QTest::keyClick(a.window.get(), Qt::Key_F2);  // cancelled
  EXPECT_EQ(a.dialogs.questions, Strings{"Enter new name:"});
  EXPECT_TRUE(test::PathExists(a.dir / "pics/z.jpg"));
}

TEST(AlbumWindow, FilesGoneFromTheFolderAreNamedBeforeTheAlbumIsMade) {
  Album a({"a.jpg", "b.jpg", "c.jpg"});
  // The list's folder goes to the (stand-in) converter, which never removes it: keep it here.
  test::ScopedEnvironment tmpdir("TMPDIR", a.dir.path());
  a.FakeConverter();
  a.Click("btnCopy");
  test::RunCommand("rm " + test::ShellQuote(a.dir / "pics/a.jpg") + " " +
                   test::ShellQuote(a.dir / "pics/c.jpg"));
  const std::string question =
      "2 pictures of the album are no longer in the folder: a.jpg, c.jpg. Create the album "
      "without them?";
  EXPECT_FALSE(a.window->CreateAlbum(a.dir / "out.pdf"));  // No
  EXPECT_EQ(a.dialogs.questions, Strings{question});
  EXPECT_TRUE(a.ConverterRuns().empty());
  a.dialogs.yes_no = {"yes"};
  EXPECT_TRUE(a.window->CreateAlbum(a.dir / "out.pdf"));
  EXPECT_EQ(Entries(a.AlbumList()), Strings{"b.jpg"});
  ASSERT_EQ(a.ConverterRuns().size(), 1u);
  EXPECT_EQ(MissingPicturesQuestion({"x.jpg"}),
            "1 picture of the album is no longer in the folder: x.jpg. Create the album without "
            "it?");
}

// The keyboard reaches what the mouse does: the thumbnail follows the arrow keys, the
// context-menu key opens the preview window, Enter presses the focused button.
TEST(AlbumWindow, TheKeyboardDoesWhatTheMouseDoes) {
  Album a({"a.jpg", "b.jpg", "c.jpg"});
  a.Files()->setFocus();
  a.SelectOnly(a.Files(), 0);
  QTest::keyClick(a.Files(), Qt::Key_Down);
  ASSERT_NE(a.window->Preview(), nullptr);
  EXPECT_EQ(FromQt(a.window->Preview()->windowTitle()).find("b.jpg") != std::string::npos, true)
      << FromQt(a.window->Preview()->windowTitle());
  EXPECT_FALSE(a.window->Preview()->isVisible());
  QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(1, 1), QPoint(1, 1));
  QCoreApplication::sendEvent(a.Files(), &menu);
  EXPECT_TRUE(a.window->Preview()->isVisible());
  auto* copy = a.window->findChild<QPushButton*>("btnCopy");
  copy->setFocus();
  QTest::keyClick(copy, Qt::Key_Return);
  EXPECT_EQ(Entries(a.AlbumList()), (Strings{"a.jpg", "b.jpg", "c.jpg"}));
}

TEST(AlbumWindow, TheListFileAndTheConverter) {
  Album a({"a.jpg", "b.jpg"});
  test::ScopedEnvironment tmpdir("TMPDIR", a.dir.path());
  test::WriteFile(a.dir / "bin/custom.ini", "  width=300  \r\nsecond line\r\n");
  a.FakeConverter();
  a.Click("btnCopy");
  // The save dialog opens where the pictures are; a name in the program's folder (by any name
  // of it) is refused and the dialog opens again.
  test::RunCommand("ln -s bin " + test::ShellQuote(a.dir / "also-bin"));
  a.dialogs.paths = {a.dir / "bin/in.pdf", a.dir / "also-bin/in.pdf", a.dir / "out.pdf"};
  a.Click("btnCreate");
  const std::string folder = a.dir / "pics/";
  EXPECT_EQ(a.dialogs.save_folders, (Strings{folder, folder, folder}));
  EXPECT_EQ(a.dialogs.messages, (Strings{kNotInProgramFolder, kNotInProgramFolder}));
  a.dialogs.messages.clear();
  // Each album gets a private folder of its own, which the converter removes when it ends; the
  // converter runs unattended and says how far it is.
  ASSERT_EQ(a.ConverterRuns().size(), 1u);
  const std::string started = a.ConverterRuns()[0];
  const size_t at = started.find("/vellumox-album-");
  ASSERT_NE(at, std::string::npos) << started;
  const std::string list_folder =
      started.substr(0, started.find(' ', at)).substr(started.rfind(' ', at) + 1);
  EXPECT_EQ(test::ReadFile(list_folder + "/~album.txt"),
            "<img src=\"" + folder + "a.jpg\" width=300>\r\n\f\r\n<img src=\"" + folder +
                "b.jpg\" width=300>\r\n");
  EXPECT_EQ(started, "--batch --progress --album-list --list-folder " + list_folder + " -o " +
                         a.dir / "out.pdf -t out -z  -k  -- " + list_folder + "/~album.txt (in " +
                         a.dir / "bin)");

  // One picture: one line and no form feed; the user's custom.ini wins.
  test::RunCommand("mkdir -p " + test::ShellQuote(a.dir / "config"));
  test::WriteFile(a.dir / "config/custom.ini", "\r\n");
  a.SelectOnly(a.AlbumList(), 1);
  a.Click("btnRemove");
  AlbumRun run = a.model.CreateAlbum(a.dir / "one.pdf", a.places());
  EXPECT_EQ(test::ReadFile(run.list_path), "<img src=\"" + folder + "a.jpg\">\r\n");
  EXPECT_NE(run.list_path.substr(0, list_folder.size()), list_folder);
  // A list that is not handed over goes with its run.
  const std::string own = run.list_path;
  run = AlbumRun();
  EXPECT_FALSE(test::PathExists(own));

  // Names an image tag cannot carry are left out, each with its reason, before the converter
  // starts; an empty album starts nothing.
  for (const char* name : {"q\"uote.jpg", "cr\rname.jpg", "lt<.jpg", "bad\xff.jpg"}) {
    test::MakeJpeg(a.dir / "pics/" + name, 8, 6);
  }
  a.model.RefreshFiles();
  a.window->ShowModel();
  a.Click("btnCopy");
  a.window->CreateAlbum(a.dir / "bad.pdf");
  ASSERT_FALSE(a.dialogs.messages.empty());
  EXPECT_EQ(a.dialogs.messages.back(),
            "These pictures are left out:\r'bad\\xFF.jpg': its name holds bytes that are not "
            "UTF-8, which an image tag cannot carry\r'cr\\x0Dname.jpg': its name holds a carriage "
            "return, which an image tag cannot carry\r'lt<.jpg': its name holds a '<', which an "
            "image tag cannot carry\r'q\"uote.jpg': its name holds a double quote, which an image "
            "tag cannot carry");
  a.model.album.Reset({});
  a.window->ShowModel();
  const size_t started_before = a.ConverterRuns().size();
  EXPECT_FALSE(a.window->CreateAlbum(a.dir / "empty.pdf"));
  EXPECT_EQ(a.ConverterRuns().size(), started_before);
}

TEST(AlbumWindow, ThePreviewFollowsEveryClick) {
  Album a({"a.jpg", "b.jpg"});
  QListWidget* files = a.Files();
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                    files->visualItemRect(files->item(0)).center());
  ASSERT_NE(a.window->Preview(), nullptr);
  EXPECT_FALSE(a.window->Preview()->isVisible());
  EXPECT_EQ(a.window->Preview()->windowTitle(), ToQt(a.dir / "pics/a.jpg"));
  EXPECT_FALSE(a.window->findChild<QLabel*>("imgImage")->pixmap().isNull());
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                    files->visualItemRect(files->item(1)).center());
  EXPECT_EQ(a.window->Preview()->windowTitle(), ToQt(a.dir / "pics/b.jpg"));
  // The right button shows the current file in the preview window.
  QTest::mousePress(files->viewport(), Qt::RightButton, {},
                    files->visualItemRect(files->item(0)).center());
  EXPECT_TRUE(a.window->Preview()->isVisible());
  EXPECT_EQ(a.window->Preview()->windowTitle(), ToQt(a.dir / "pics/b.jpg"));
  // The picture's frame fills the window at any size.
  a.window->Preview()->resize(40, 30);
  EXPECT_EQ(a.window->Preview()->image()->geometry(), QRect(0, 0, 40, 30));
  QTest::keyClick(a.window->Preview(), Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_EQ(a.window->Preview(), nullptr);  // closed and gone; the next preview makes it anew
}

// A portrait photo stays a portrait: the thumbnail and the preview show it as large as their
// frames hold it with its proportions kept, centred, and the preview fits it anew when resized.
TEST(AlbumWindow, PicturesKeepTheirProportions) {
  Album a({});
  test::MakeJpeg(a.dir / "pics/portrait.jpg", 300, 400);
  test::MakeJpeg(a.dir / "pics/wide.jpg", 800, 200);
  a.model.RefreshFiles();
  a.window->ShowModel();
  QListWidget* files = a.Files();
  // Within a pixel of the picture's proportions, whichever side the frame bounds.
  auto proportional = [](const QPixmap& pixmap, double proportion) {
    return std::abs(pixmap.height() - pixmap.width() / proportion) <= 1.0 ||
           std::abs(pixmap.width() - pixmap.height() * proportion) <= 1.0;
  };
  struct Case {
    int row;
    double proportion;
  } cases[] = {{0, 300.0 / 400.0}, {1, 800.0 / 200.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(c.row)).center());
    auto* thumbnail = a.window->findChild<QLabel*>("imgImage");
    const QPixmap small = thumbnail->pixmap();
    ASSERT_FALSE(small.isNull());
    EXPECT_TRUE(proportional(small, c.proportion)) << small.width() << "x" << small.height();
    EXPECT_TRUE(small.width() == thumbnail->width() || small.height() == thumbnail->height());
    EXPECT_LE(small.width(), thumbnail->width());
    EXPECT_LE(small.height(), thumbnail->height());
    EXPECT_EQ(thumbnail->alignment(), Qt::AlignCenter);
    QTest::mousePress(files->viewport(), Qt::RightButton, {},
                      files->visualItemRect(files->item(c.row)).center());  // the preview shown
    ASSERT_TRUE(a.window->Preview()->isVisible());
    for (QSize size : {QSize(500, 340), QSize(200, 600)}) {
      a.window->Preview()->resize(size);
      const QPixmap large = a.window->Preview()->image()->pixmap();
      ASSERT_FALSE(large.isNull());
      EXPECT_TRUE(proportional(large, c.proportion)) << large.width() << "x" << large.height();
      EXPECT_TRUE(large.width() == size.width() || large.height() == size.height());
      EXPECT_LE(large.width(), size.width());
      EXPECT_LE(large.height(), size.height());
    }
  }
}

// What the converter writes on its standard error, as the progress dialog reads it: how far it
// is (in pieces, across line ends of both kinds), and everything else for the end.
TEST(AlbumProgress, ReadsHowFarTheConverterIsAndKeepsWhatElseItSays) {
  AlbumProgress progress;
  EXPECT_EQ(progress.Text(), "Starting the converter...");
  progress.Feed("vellumox: Processing the album /p/a.pdf\nvellumox: Processing the al");
  EXPECT_EQ(progress.Count(), 0);
  progress.Feed("bum /p/a.pdf \xE2\x80\x94 picture 1 of 2,000\r");
  EXPECT_EQ(progress.Picture(), 1);
  EXPECT_EQ(progress.Count(), 2000);
  EXPECT_EQ(progress.Text(), "picture 1 of 2,000");
  progress.Feed("vellumox: picture 'x.png' left out: it cannot be read\n");
  progress.Feed("vellumox: Processing the album /p/a.pdf \xE2\x80\x94 picture 12 of 2,000\n");
  progress.Feed("vellumox: Processing the album picture of the year.pdf\n");  // no figures
  EXPECT_EQ(progress.Text(), "picture 12 of 2,000");
  EXPECT_EQ(progress.Messages(), Strings{"picture 'x.png' left out: it cannot be read"});
  EXPECT_EQ(AlbumDoneQuestion("/p/a.pdf"), "The album is done: /p/a.pdf. Open it?");
}

// "Create PDF Album" runs the converter unattended behind a dialog that shows how far it is:
// at the end the question whether to open the album, the converter's messages when something
// went wrong, and "Stop" ends the converter, with nothing asked after.
TEST(AlbumWindow, CreatingAnAlbumShowsItsProgressAndItsEnd) {
  Album a({"a.jpg", "b.jpg"});
  test::ScopedEnvironment tmpdir("TMPDIR", a.dir.path());
  a.Click("btnCopy");
  const std::string progress_line =
      "echo 'vellumox: Processing the album x \xE2\x80\x94 picture 1 of 2' >&2\n";
  std::string shown;  // the dialog's text while the converter works
  auto watch = [&](bool stop) {
    QTimer::singleShot(400, [&, stop] {
      auto* dialog = a.window->findChild<QProgressDialog*>("dlgAlbumProgress");
      if (!dialog) return;
      shown = FromQt(dialog->labelText());
      if (stop) dialog->findChild<QPushButton*>()->click();  // "Stop"
    });
  };
  // Done: the question, and Yes opens the album.
  a.FakeConverter(progress_line + "sleep 1\n");
  a.dialogs.yes_no = {"yes"};
  watch(false);
  EXPECT_TRUE(a.window->CreateAlbum(a.dir / "out.pdf"));
  EXPECT_EQ(shown, "picture 1 of 2");
  EXPECT_EQ(a.dialogs.questions, Strings{AlbumDoneQuestion(a.dir / "out.pdf")});
  EXPECT_EQ(a.shell.opened, Strings{a.dir / "out.pdf"});
  EXPECT_TRUE(a.dialogs.messages.empty());

  // Failed: the converter's own words.
  a.dialogs.questions.clear();
  a.FakeConverter("echo 'vellumox: error: Cannot create the PDF file' >&2\nexit 1\n");
  EXPECT_FALSE(a.window->CreateAlbum(a.dir / "out.pdf"));
  EXPECT_EQ(a.dialogs.messages,
            Strings{"The album could not be made:\rerror: Cannot create the PDF file"});
  EXPECT_TRUE(a.dialogs.questions.empty());

  // Stopped: the converter ends at once, and nothing is asked.
  a.dialogs.messages.clear();
  a.FakeConverter(progress_line + "sleep 30 & wait\n");
  watch(true);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(a.window->CreateAlbum(a.dir / "out.pdf"));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_EQ(a.dialogs.messages, Strings{"The album was stopped; no PDF was written."});
  EXPECT_TRUE(a.dialogs.questions.empty());
}

// With the real converter: "Stop" ends it through its stop path, which leaves no part of the
// album and nothing of its own in the temporary folder.
TEST(AlbumWindow, StopLeavesNothingBehind) {
  Album a({});
  test::RunCommand("mkdir -p " + test::ShellQuote(a.dir / "tmp"));
  test::ScopedEnvironment tmpdir("TMPDIR", a.dir / "tmp");
  test::ScopedEnvironment config("XDG_CONFIG_HOME", a.dir / "config");
  for (const char* program : {"vellumox", "vellumox-decode"}) {
    test::RunCommand("ln -s " + test::ShellQuote(test::BinDir() + "/" + program) + " " +
                     test::ShellQuote(a.dir / "bin/" + program));
  }
  for (int k = 0; k < 150; ++k) {
    test::MakeJpeg(a.dir / "pics/p" + std::to_string(1000 + k) + ".jpg", 1200, 900);
  }
  // Below the best quality each JPEG is decoded and encoded again: the album takes long enough
  // to be stopped on any machine.
  test::RunCommand("mkdir -p " + test::ShellQuote(a.dir / "config/Vellumox"));
  test::WriteFile(a.dir / "config/Vellumox/Vellumox.ini", "[Settings]\nJpegCompression=90\n");
  a.model.RefreshFiles();
  a.window->ShowModel();
  a.Click("btnCopy");
  // "Stop" as soon as the first picture is reported, whatever the machine's speed.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = a.window->findChild<QProgressDialog*>("dlgAlbumProgress");
    if (dialog && dialog->labelText().startsWith("picture ")) {
      poll.stop();
      dialog->findChild<QPushButton*>()->click();
    }
  });
  poll.start(10);
  EXPECT_FALSE(a.window->CreateAlbum(a.dir / "big.pdf"));
  EXPECT_EQ(a.dialogs.messages, Strings{"The album was stopped; no PDF was written."});
  EXPECT_FALSE(test::PathExists(a.dir / "big.pdf"));
  EXPECT_EQ(test::ListFolder(a.dir / "tmp"), Strings{});
}

}  // namespace
}  // namespace vellumox
