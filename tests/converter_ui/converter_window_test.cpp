// The converter's window driven as a user would, on the offscreen platform.
#include "converter_ui/converter_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QUrl>

#include <chrono>
#include <memory>

#include "converter_ui/splash_fade.h"
#include "converter_ui/splash_window.h"
#include "desktop/qt_text.h"
#include "desktop/user_dialogs.h"
#include "platform/stop.h"
#include "support/fake_desktop.h"
#include "support/picture_fixtures.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;
using Strings = std::vector<std::string>;

struct Converter {
  explicit Converter(const std::string& root) : root_(root) {
    test::RunCommand("mkdir -p " + test::ShellQuote(root + "/bin"));
  }
  void Open(const Strings& args = {}) {
    startup = std::make_unique<ConverterStartup>(store, *codec,
                                                 StartupPlaces{root_ + "/bin", root_ + "/config"},
                                                 ParseFrontEndOptions(args));
    window = std::make_unique<ConverterWindow>(*startup, *codec, shell, dialogs);
    window->SetAboutPresenter([this] { ++abouts; });
    window->Load(false);
  }
  template <class Widget>
  Widget* Find(const char* name) {
    auto* widget = window->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QLineEdit* Field(const char* name) { return Find<QLineEdit>(name); }
  void WaitForJob() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (window->JobRunning() && std::chrono::steady_clock::now() < deadline) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_FALSE(window->JobRunning());
  }

  std::string root_;
  IniSettingsStore store{root_ + "/settings.ini"};
  std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  test::FakeShell shell;
  test::FakeDialogs dialogs;
  std::unique_ptr<ConverterStartup> startup;
  std::unique_ptr<ConverterWindow> window;
  int abouts = 0;
};

TEST(ConverterWindow, ControlsCarryTheirCaptionsTipsListsAndTabOrder) {
  TempDir dir;
  Converter c(dir.path());
  c.Open();
  EXPECT_EQ(c.window->objectName(), "formConvertToPDF");
  EXPECT_EQ(c.window->windowTitle(), "Vellumox PRO+ v1.7");
  EXPECT_EQ(c.window->size(), QSize(442, 432));  // 6630 x 6480 twips
  struct Caption {
    const char* name;
    const char* text;
  } captions[] = {
      {"lblCaption", "Convert Text & Images to PDF"},
      {"Label1", "Professional Edition with HTML-like text formatting"},
      {"lblAuthor", "&Author Name:"},
      {"lblCreator", "&Creator:"},
      {"lblKeyword", "&Keywords:"},
      {"lblSubject", "&Subject:"},
      {"lblTitle", "&Title:"},
      {"lblFilename", "&Input File:"},
      {"lblOutputFile", "&Output File:"},
      {"btnAlbum", "&Album"},
      {"btnOpen", "&Browse.."},
      {"btnSave", "Bro&wse.."},
      {"chkPageNum", "&Page Number"},
      {"chkFormatHeaders", "Text &Formatting"},
      {"chkSkipJPG", "Do not recompress JPG files"},
      {"chkOpen", "Open &when done"},
      {"chkFullScreen", "Open in Full Screen Mode"},
      {"btnDefault", "D&efault"},
      {"btnConvert", "Produce PDF"},
      {"btnClose", "Close"},
  };
  for (const Caption& k : captions) {
    QWidget* widget = c.Find<QWidget>(k.name);
    ASSERT_NE(widget, nullptr);
    QString text = widget->property("text").toString();
    EXPECT_EQ(text, QString::fromUtf8(k.text)) << k.name;
    // Every caption is whole at the window's fixed size.
    QString shown = text;
    shown.remove('&');
    const int needed = widget->fontMetrics().horizontalAdvance(shown) +
                       (qobject_cast<QCheckBox*>(widget) ? 16 : 0);
    EXPECT_LE(needed, widget->width()) << k.name;
  }
  struct Tip {
    const char* name;
    const char* tip;
  } tips[] = {
      {"cmbFont", "Font"},
      {"cmbFontSize", "Font Size"},
      {"cmbRotation", "Rotation"},
      {"cmbPageSize", "Page Size"},
      {"cmbMargin", "Left Margin"},
      {"cmbTopMargin", "Top Margin"},
      {"cmbForeColor", "Font Color"},
      {"cmbBackColor", "Background Color"},
      {"cmbTransition", "Page Transition"},
      {"lblFilename", "Click here to open"},
      {"lblOutputFile", "Click here to open"},
      {"chkFormatHeaders", "Format text using HTML-like formating: <img> <font> <B> <I> <H>"}};
  for (const Tip& k : tips) EXPECT_EQ(c.Find<QWidget>(k.name)->toolTip(), k.tip) << k.name;

  // The lists show the model's entries, with the first-start choices selected.
  const ConverterControls& m = c.window->model();
  for (auto [name, list] :
       {std::pair{"cmbFont", &m.cmbFont}, std::pair{"cmbRotation", &m.cmbRotation},
        std::pair{"cmbTransition", &m.cmbTransition}, std::pair{"cmbFileType", &m.cmbFileType}}) {
    QComboBox* combo = c.Find<QComboBox>(name);
    ASSERT_EQ(combo->count(), list->Count()) << name;
    for (int i = 0; i < combo->count(); ++i)
      EXPECT_EQ(FromQt(combo->itemText(i)), list->entries[i]);
  }
  EXPECT_EQ(c.Find<QComboBox>("cmbFont")->currentText(), "Times-Roman");
  EXPECT_EQ(c.Find<QComboBox>("cmbMargin")->currentText(), "0.25\"");
  EXPECT_FALSE(c.Find<QPushButton>("btnAlbum")->isVisible());

  Strings order;
  QWidget* w = c.Field("txtAuthor");
  for (int i = 0; i < 29; ++i, w = w->nextInFocusChain()) {
    while (!(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
    order.push_back(w->objectName().toStdString());
  }
  EXPECT_EQ(
      order,
      (Strings{"txtAuthor",   "txtCreator",   "txtKeywords",  "txtSubject",    "txtTitle",
               "txtFilename", "btnOpen",      "cmbFileType",  "btnAlbum",      "txtOutputFile",
               "btnSave",     "cmbFont",      "cmbFontSize",  "cmbRotation",   "cmbPageSize",
               "cmbMargin",   "cmbTopMargin", "cmbForeColor", "cmbBackColor",  "cmbTransition",
               "chkPageNum",  "chkSkipJPG",   "hsJPEG",       "chkFullScreen", "chkFormatHeaders",
               "chkOpen",     "btnConvert",   "btnClose",     "btnDefault"}));
}

TEST(ConverterWindow, OutputFieldFollowsTheInputAndTheFileType) {
  TempDir dir;
  Converter c(dir.path());
  c.Open();
  QLineEdit* input = c.Field("txtFilename");
  QLineEdit* output = c.Field("txtOutputFile");
  QLabel* label = c.Find<QLabel>("lblOutputFile");
  input->setFocus();
  QTest::keyClicks(input, "*.txt");
  EXPECT_TRUE(output->isReadOnly());
  EXPECT_FALSE(label->isEnabled());
  QTest::keyClick(input, Qt::Key_Home);
  QTest::keyClick(input, Qt::Key_Delete);  // "*" gone
  EXPECT_FALSE(output->isReadOnly());
  EXPECT_TRUE(label->isEnabled());
  EXPECT_TRUE(output->text().isEmpty());  // typing never writes the output name

  // "Process Directory": the folder browse, then the field is empty and disabled.
  c.dialogs.paths = {dir.path()};
  QComboBox* type = c.Find<QComboBox>("cmbFileType");
  type->setCurrentIndex(1);
  emit type->activated(1);
  EXPECT_EQ(input->text(), ToQt(dir / "*.txt"));
  EXPECT_TRUE(output->text().isEmpty());
  EXPECT_TRUE(output->isReadOnly());
  EXPECT_EQ(c.dialogs.questions, Strings{"Select the desired folder:"});

  // An album type: the pattern and images.pdf, the field enabled.
  c.dialogs.paths = {dir.path()};
  type->setCurrentIndex(4);  // Make Album with GIF
  emit type->activated(4);
  EXPECT_EQ(input->text(), ToQt(dir / "*.gif"));
  EXPECT_EQ(output->text(), ToQt(dir / "images.pdf"));
  EXPECT_FALSE(output->isReadOnly());
}

// A drag that enters the widget and drops there.
void Drop(QWidget* target, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
}

TEST(ConverterWindow, ADroppedFileSetsTheInputAndNothingElse) {
  TempDir dir;
  Converter c(dir.path());
  c.Open();
  c.Field("txtOutputFile")->setText("keep.pdf");
  for (QWidget* target :
       {static_cast<QWidget*>(c.window.get()), static_cast<QWidget*>(c.Field("txtFilename"))}) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(ToQt(dir / "first.txt")),
                  QUrl::fromLocalFile(ToQt(dir / "second.txt"))});
    Drop(target, data);
    EXPECT_EQ(c.Field("txtFilename")->text(), ToQt(dir / "first.txt"));
    EXPECT_EQ(c.Field("txtOutputFile")->text(), "keep.pdf");
    c.Field("txtFilename")->clear();
  }
  QMimeData text;
  text.setText("not a file");
  Drop(c.window.get(), text);
  EXPECT_TRUE(c.Field("txtFilename")->text().isEmpty());
}

TEST(ConverterWindow, DefaultAndSettingsThatSurviveACloseAndANewStart) {
  TempDir dir;
  Converter c(dir.path());
  c.Open();
  c.Find<QComboBox>("cmbFont")->setCurrentIndex(0);
  c.Find<QCheckBox>("chkFullScreen")->setChecked(true);
  c.Field("txtTitle")->setText("Kept");
  c.window->close();
  EXPECT_TRUE(c.window->Finished());
  EXPECT_EQ(c.abouts, 1);  // the close path shows the about window

  c.Open();  // a new start on the same store
  EXPECT_EQ(c.Find<QComboBox>("cmbFont")->currentText(), "Courier");
  EXPECT_TRUE(c.Find<QCheckBox>("chkFullScreen")->isChecked());
  EXPECT_EQ(c.Field("txtTitle")->text(), "Kept");
  c.Field("txtFilename")->setText("in.txt");
  QTest::mouseClick(c.Find<QPushButton>("btnDefault"), Qt::LeftButton);
  EXPECT_EQ(c.Find<QComboBox>("cmbFont")->currentText(), "Times-Roman");
  EXPECT_EQ(c.Find<QComboBox>("cmbMargin")->currentText(), "0.50\"");
  EXPECT_FALSE(c.Find<QCheckBox>("chkFullScreen")->isChecked());
  EXPECT_TRUE(c.Field("txtTitle")->text().isEmpty());
  EXPECT_EQ(c.Field("txtFilename")->text(), "in.txt");  // names are not options
}

TEST(ConverterWindow, ProducePdfLocksTheControlsUntilThePdfIsWritten) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "A line of the document, number " + std::to_string(i) + "\r\n";
  test::WriteFile(dir / "in.txt", text);
  Converter c(dir.path());
  c.Open();
  c.Field("txtFilename")->setText(ToQt(dir / "in.txt"));
  c.Field("txtOutputFile")->setText(ToQt(dir / "out.pdf"));
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  ASSERT_TRUE(c.window->JobRunning());
  for (const char* name : {"btnConvert", "btnDefault", "btnOpen", "cmbFont", "cmbFileType",
                           "txtFilename", "chkOpen", "hsJPEG"}) {
    EXPECT_FALSE(c.Find<QWidget>(name)->isEnabled()) << name;
  }
  // Close offers to stop the job; No lets it run on.
  EXPECT_TRUE(c.Find<QWidget>("btnClose")->isEnabled());
  c.window->close();
  EXPECT_FALSE(c.window->Finished());
  EXPECT_EQ(c.dialogs.questions, Strings{"Stop the conversion?"});
  c.dialogs.questions.clear();
  c.WaitForJob();
  EXPECT_TRUE(c.Find<QPushButton>("btnConvert")->isEnabled());
  EXPECT_TRUE(c.Find<QComboBox>("cmbFont")->isEnabled());
  EXPECT_EQ(c.window->windowTitle(), "Vellumox PRO+ v1.7");  // back after "Processing ..."
  std::string details;
  EXPECT_TRUE(test::QpdfCheckClean(dir / "out.pdf", &details)) << details;
  EXPECT_EQ(c.shell.opened, Strings{dir / "out.pdf"});  // "Open when done" is checked
  EXPECT_TRUE(c.dialogs.messages.empty());

  // Without "Open when done" the user is asked, and No opens nothing.
  c.Find<QCheckBox>("chkOpen")->setChecked(false);
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  c.WaitForJob();
  EXPECT_EQ(c.dialogs.questions,
            Strings{"PDF file is done.\r\rDo you want to open the generated PDF file?"});
  EXPECT_EQ(c.shell.opened.size(), 1u);

  c.Field("txtFilename")->clear();
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  c.WaitForJob();
  EXPECT_EQ(c.dialogs.messages, Strings{"Please specify file names."});

  // What the job tells shows in the caption and the output field.
  c.window->FileStarted(dir / "in.txt");
  EXPECT_EQ(c.window->windowTitle(), ToQt("Processing " + dir / "in.txt"));
  c.window->OutputChosen(dir / "images.pdf");
  EXPECT_EQ(c.Field("txtOutputFile")->text(), ToQt(dir / "images.pdf"));
}

// After a failure the error message is the last word; a PDF that nothing can open is said so.
TEST(ConverterWindow, NoDoneQuestionAfterAFailureAndNoSilentOpen) {
  TempDir dir;
  test::WriteFile(dir / "in.txt", "text\r\n");
  struct Case {
    std::string input, output;
    std::string message_start;
  } cases[] = {
      {dir / "missing.txt", dir / "out.pdf", "File '" + dir / "missing.txt" + "' does not exist."},
      {dir / "in.txt", dir / "no/such/folder/out.pdf", "Cannot create the PDF file"},
  };
  for (const Case& c : cases) {
    Converter w(dir.path());
    w.Open();
    w.Find<QCheckBox>("chkOpen")->setChecked(false);
    w.Field("txtFilename")->setText(ToQt(c.input));
    w.Field("txtOutputFile")->setText(ToQt(c.output));
    QTest::mouseClick(w.Find<QPushButton>("btnConvert"), Qt::LeftButton);
    w.WaitForJob();
    ASSERT_EQ(w.dialogs.messages.size(), 1u) << c.input;
    EXPECT_EQ(w.dialogs.messages[0].rfind(c.message_start, 0), 0u) << w.dialogs.messages[0];
    EXPECT_TRUE(w.dialogs.questions.empty()) << c.input;
  }

  Converter w(dir.path());
  w.Open();
  w.shell.can_open_pdf = false;
  w.Field("txtFilename")->setText(ToQt(dir / "in.txt"));
  w.Field("txtOutputFile")->setText(ToQt(dir / "in.pdf"));
  QTest::mouseClick(w.Find<QPushButton>("btnConvert"), Qt::LeftButton);  // "Open when done"
  w.WaitForJob();
  const std::string nothing_opens =
      "The PDF was written to " + dir / "in.pdf" + ", but no program to open it was found.";
  EXPECT_EQ(w.dialogs.messages, Strings{nothing_opens});
  // Likewise "Click here to open" on the output's label.
  QTest::mouseClick(w.Find<QLabel>("lblOutputFile"), Qt::LeftButton);
  EXPECT_EQ(w.dialogs.messages, (Strings{nothing_opens, nothing_opens}));
  EXPECT_TRUE(w.shell.opened.empty());
}

// Stop: the question, then the job ends at its next line through the stop path; nothing of it
// stays, an earlier PDF of that name is untouched, and the window is usable again.
TEST(ConverterWindow, ALongJobStopsAtTheUsersWord) {
  TempDir dir;
  {
    std::string text;
    for (int i = 0; i < 2'000'000; ++i) {
      text += "A long line of a long document, to be stopped after its first pages: " +
              std::to_string(i) + "\r\n";
    }
    test::WriteFile(dir / "big.txt", text);  // about 200 MB
  }
  test::WriteFile(dir / "big.pdf", "the earlier PDF");
  Converter c(dir.path());
  c.Open();
  c.Field("txtFilename")->setText(ToQt(dir / "big.txt"));
  c.Field("txtOutputFile")->setText(ToQt(dir / "big.pdf"));
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  // The caption tells the pages as they are written.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (c.window->windowTitle().indexOf("page") < 0 &&
         std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_TRUE(c.window->windowTitle().startsWith(
      ToQt("Processing " + dir / "big.txt" + " \xE2\x80\x94 page ")))
      << FromQt(c.window->windowTitle());
  c.dialogs.yes_no = {"yes"};
  QTest::keyClick(c.window.get(), Qt::Key_Escape);
  EXPECT_EQ(c.dialogs.questions, Strings{"Stop the conversion?"});
  c.WaitForJob();
  EXPECT_FALSE(StopRequested());
  EXPECT_EQ(c.dialogs.messages, Strings{"The conversion was stopped; no PDF was written."});
  EXPECT_EQ(test::ReadFile(dir / "big.pdf"), "the earlier PDF");
  EXPECT_EQ(test::ListFolder(dir.path()), (Strings{"big.pdf", "big.txt", "bin"}));
  EXPECT_FALSE(c.window->Finished());
  // Usable again: the next job runs to its end.
  test::WriteFile(dir / "small.txt", "small\r\n");
  c.Field("txtFilename")->setText(ToQt(dir / "small.txt"));
  c.Field("txtOutputFile")->setText(ToQt(dir / "small.pdf"));
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  c.WaitForJob();
  EXPECT_FALSE(test::ReadFile(dir / "small.pdf").empty());
}

// A drop-down list opens wide enough for its longest entry; the closed box keeps its size.
TEST(ConverterWindow, OpenListsShowTheirLongestEntriesWhole) {
  TempDir dir;
  Converter c(dir.path());
  c.Open();
  for (const char* name : {"cmbFont", "cmbPageSize", "cmbFileType", "cmbTransition"}) {
    auto* combo = c.Find<QComboBox>(name);
    const QFontMetrics metrics(combo->font());
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i) {
      widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
    }
    const int closed = combo->width();
    EXPECT_GT(combo->view()->minimumWidth(), widest) << name;
    EXPECT_GE(combo->view()->minimumWidth(), closed) << name;
    EXPECT_EQ(combo->width(), closed) << name;
  }
}

// The window follows the run that the start-up plans, as batch mode does: several inputs each
// convert and the program ends; a command line that cannot run is said, and converts nothing.
TEST(ConverterWindow, TheCommandLineRunsAsInBatchMode) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "a\r\n");
  test::WriteFile(dir / "b.txt", "b\r\n");
  {
    Converter c(dir.path());
    c.Open({dir / "a.txt", dir / "b.txt"});
    c.WaitForJob();
    while (c.window->JobRunning() || !c.window->Finished()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      c.WaitForJob();
    }
    EXPECT_FALSE(test::ReadFile(dir / "a.pdf").empty());
    EXPECT_FALSE(test::ReadFile(dir / "b.pdf").empty());
    EXPECT_EQ(c.window->ExitStatus(), 0);
  }
  Converter c(dir.path());
  c.Open({dir / "a.txt", dir / "b.txt", "-o", dir / "x.pdf"});
  EXPECT_EQ(c.dialogs.messages,
            Strings{"-o names the PDF of a single input; these are 2: each goes to its own PDF "
                    "without -o."});
  EXPECT_FALSE(c.window->JobRunning());
  EXPECT_FALSE(c.window->Finished());
  EXPECT_EQ(c.window->ExitStatus(), 2);
}

// A picture whose partial transparency was composed onto the page colour is said once, in the
// message at the end of the job, and the PDF is written all the same.
TEST(ConverterWindow, SaysOnceThatPartialTransparencyWasComposed) {
  TempDir dir;
  test::MakePng(dir / "soft.png", 40, 30, test::Pixels::kRgba);
  test::MakePng(dir / "soft2.png", 40, 30, test::Pixels::kRgba);
  test::WriteFile(dir / "a.txt", "<img src=\"soft.png\">\r\n<img src=\"soft2.png\">\r\n");
  Converter c(dir.path());
  c.Open({dir / "a.txt"});
  c.WaitForJob();
  while (c.window->JobRunning() || !c.window->Finished()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    c.WaitForJob();
  }
  EXPECT_FALSE(test::ReadFile(dir / "a.pdf").empty());
  EXPECT_EQ(c.window->ExitStatus(), 0);
  EXPECT_EQ(c.dialogs.messages,
            Strings{"picture 'soft.png': its partial transparency was composed onto the page "
                    "colour"});
}

// Opened from the desktop ("--open FILE"): the window shows the file and its PDF and converts
// nothing until "Produce PDF"; --open does not go with --batch.
TEST(ConverterWindow, OpenFillsTheWindowAndConvertsOnlyOnProducePdf) {
  TempDir dir;
  test::WriteFile(dir / "note.txt", "a note\r\n");
  Converter c(dir.path());
  c.Open({"--open", dir / "note.txt"});
  EXPECT_FALSE(c.window->JobRunning());
  EXPECT_FALSE(c.window->Finished());
  EXPECT_EQ(c.abouts, 0);
  EXPECT_EQ(FromQt(c.Field("txtFilename")->text()), dir / "note.txt");
  EXPECT_EQ(FromQt(c.Field("txtOutputFile")->text()), dir / "note.pdf");
  QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  EXPECT_FALSE(test::PathExists(dir / "note.pdf"));
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  c.WaitForJob();
  EXPECT_FALSE(test::ReadFile(dir / "note.pdf").empty());
  EXPECT_FALSE(c.window->Finished());  // the window stays for the next one

  EXPECT_EQ(ParseFrontEndOptions({"--open", "a.txt"}).error, "");
  EXPECT_TRUE(ParseFrontEndOptions({"--open", "a.txt"}).open);
  EXPECT_EQ(ParseFrontEndOptions({"--batch", "--open", "a.txt"}).error,
            "--open opens the window on the input: it does not go with --batch");
}

// The names the user wrote: an output typed over the one the album type filled in is the
// album's; an empty output is derived from the input as on the command line; "~/" is home.
TEST(ConverterWindow, TheOutputIsTheOneTheUserNamed) {
  TempDir dir;
  test::MakePng(dir / "a.png", 30, 20);
  test::MakePng(dir / "b.png", 20, 30);
  test::WriteFile(dir / "images.pdf", "an earlier album");
  test::WriteFile(dir / "note.txt", "note\r\n");
  test::ScopedEnvironment home("HOME", dir.path());
  Converter c(dir.path());
  c.Open();
  c.Find<QCheckBox>("chkOpen")->setChecked(true);
  QComboBox* type = c.Find<QComboBox>("cmbFileType");
  const int png = type->findText("Make Album with PNG");
  ASSERT_GE(png, 0);
  c.dialogs.paths = {dir.path()};
  type->setCurrentIndex(png);
  emit type->activated(png);
  QLineEdit* output = c.Field("txtOutputFile");
  ASSERT_EQ(output->text(), ToQt(dir / "images.pdf"));
  output->selectAll();
  QTest::keyClicks(output, ToQt(dir / "pngs"));  // typed, without .pdf
  QTest::mouseClick(c.Find<QPushButton>("btnConvert"), Qt::LeftButton);
  c.WaitForJob();
  EXPECT_EQ(test::ReadFile(dir / "images.pdf"), "an earlier album");
  EXPECT_EQ(test::PdfPages(dir / "pngs.pdf"), 2);
  EXPECT_EQ(c.shell.opened, Strings{dir / "pngs.pdf"});

  // Enter with an empty output: derived from the input, shown, and converted; "~/" is home.
  type->setCurrentIndex(0);
  emit type->activated(0);
  c.Field("txtFilename")->setText("~/note.txt");
  output->clear();
  QTest::keyClick(c.Field("txtFilename"), Qt::Key_Return);
  c.WaitForJob();
  EXPECT_TRUE(c.dialogs.messages.empty()) << c.dialogs.messages[0];
  EXPECT_EQ(output->text(), ToQt(dir / "note.pdf"));
  EXPECT_EQ(test::PdfPages(dir / "note.pdf"), 1);
}

// A window that a command line opened with switches alone says which are in force, until the
// user changes a control; an unattended run keeps its switches only when asked (--save).
TEST(ConverterWindow, CommandLineSwitchesShowInTheCaptionAndAreKeptOnlyWhenAsked) {
  TempDir dir;
  Converter c(dir.path());
  c.Open({"-h", "-t", "Report"});
  EXPECT_EQ(FromQt(c.window->windowTitle()),
            "Vellumox PRO+ v1.7 \xE2\x80\x94 from the command line: -h -t Report");
  QTest::mouseClick(c.Find<QCheckBox>("chkPageNum"), Qt::LeftButton);
  EXPECT_EQ(c.window->windowTitle(), "Vellumox PRO+ v1.7");
  Strings many;
  for (int i = 0; i < 30; ++i) many.push_back("-f1");
  std::string first_sixty;  // 60 bytes of the switches as typed, then "…"
  for (int i = 0; i < 15; ++i) first_sixty += "-f1 ";
  EXPECT_EQ(CommandLineCaption(many), "Vellumox PRO+ v1.7 \xE2\x80\x94 from the command line: " +
                                          first_sixty + "\xE2\x80\xA6");

  test::WriteFile(dir / "a.txt", "a\r\n");
  for (bool save : {false, true}) {
    SCOPED_TRACE(save);
    Converter run(dir.path());
    Strings args = {"-t", "Unattended", dir / "a.txt"};
    if (save) args.insert(args.begin(), "--save");
    run.Open(args);
    while (run.window->JobRunning() || !run.window->Finished()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(test::ReadFile(dir / "settings.ini").find("Title=Unattended") != std::string::npos,
              save);
  }
}

// Message boxes and the about window stand in the middle of their owner, or of the screen when
// the owner is not shown (after an unattended run, before the window shows).
TEST(ConverterWindow, DialogsAreCentredOverTheirOwnerOrTheScreen) {
  QWidget owner;
  owner.setGeometry(100, 120, 400, 300);
  owner.show();
  QDialog box(&owner);
  box.resize(120, 60);
  CentreOverOwner(&box, &owner);
  EXPECT_EQ(box.frameGeometry().center(), owner.frameGeometry().center());
  owner.hide();
  CentreOverOwner(&box, &owner);
  EXPECT_EQ(box.frameGeometry().center(),
            QGuiApplication::primaryScreen()->availableGeometry().center());
}

TEST(ConverterWindow, TheAlbumBuilderStartsFromTheButtonAndTheList) {
  TempDir dir;
  Converter c(dir.path());
  test::WriteFile(dir / "bin/album", "#!/bin/sh\n");
  c.Open();
  QPushButton* album = c.Find<QPushButton>("btnAlbum");
  EXPECT_FALSE(album->isHidden());
  QComboBox* type = c.Find<QComboBox>("cmbFileType");
  EXPECT_EQ(type->itemText(type->count() - 1), "Interactive Album");
  QTest::mouseClick(album, Qt::LeftButton);
  EXPECT_EQ(c.shell.started, Strings{dir / "bin/album (in " + dir / "bin/)"});
  EXPECT_EQ(c.abouts, 0);  // the album builder comes up with no about window in its way
  EXPECT_TRUE(test::PathExists(dir / "settings.ini"));  // the settings kept
  EXPECT_EQ(type->currentIndex(), 0);
  EXPECT_FALSE(c.window->Finished());  // the window stays open
  type->setCurrentIndex(type->count() - 1);
  emit type->activated(type->count() - 1);
  EXPECT_EQ(c.shell.started.size(), 2u);
}

TEST(SplashWindow, FadesInHoldsFadesOutAndCloses) {
  SplashFade fade;
  std::vector<int> opacities;
  int ticks = 0;
  for (;;) {
    SplashFade::Step step = fade.Tick();
    ++ticks;
    if (step.close) break;
    ASSERT_TRUE(step.opacity.has_value());
    opacities.push_back(*step.opacity);
    ASSERT_LT(ticks, 1000);
  }
  EXPECT_EQ(ticks, 480);
  ASSERT_EQ(opacities.size(), 479u);
  EXPECT_EQ(opacities[0], 6);
  EXPECT_EQ(opacities[49], 251);
  for (size_t i = 50; i < 50 + 378; ++i) ASSERT_EQ(opacities[i], 255) << i;
  EXPECT_EQ(opacities[428], 254);
  EXPECT_EQ(opacities.back(), 4);
  EXPECT_EQ(fade.Tick().opacity, std::nullopt);  // the timer has stopped
}

TEST(SplashWindow, AboutModeShowsOkAndTheCredits) {
  test::FakeShell shell;
  SplashWindow splash(shell);
  EXPECT_TRUE(splash.findChild<QPushButton*>("btnOK")->isHidden());
  EXPECT_TRUE(splash.findChild<QLabel*>("lblProgrammers")->isHidden());
  EXPECT_TRUE(splash.timer().isActive());
  EXPECT_EQ(splash.SetWindowAlpha(300), 1);
  EXPECT_EQ(splash.SetWindowAlpha(128), 2);  // no per-window opacity offscreen
  SplashWindow about(shell);
  about.ShowAs(true);
  EXPECT_FALSE(about.findChild<QPushButton*>("btnOK")->isHidden());
  EXPECT_EQ(about.findChild<QLabel*>("lblProgrammers")->text(), QString::fromUtf8(kCreditsLine));
  EXPECT_FALSE(about.timer().isActive());
  about.show();
  QTest::keyClick(&about, Qt::Key_Escape);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace vellumox
