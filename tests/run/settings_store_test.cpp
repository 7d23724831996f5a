#include "run/settings_store.h"

#include <gtest/gtest.h>

#include "run/page_size_file.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;

TEST(Settings, FirstStartWithAnEmptyStore) {
  TempDir dir;
  IniSettingsStore store(dir / "settings.ini");
  ConverterControls c = MakeControls(StartupFacts{});
  RestoreSettings(store, c);
  EXPECT_EQ(c.cmbFont.Text(), "Times-Roman");
  EXPECT_EQ(c.cmbFontSize.Text(), "10pt");
  EXPECT_EQ(c.cmbRotation.selected, 0);
  EXPECT_EQ(c.cmbPageSize.Text(), "8.5\" x 11\"");
  EXPECT_EQ(c.cmbMargin.Text(), "0.25\"");
  EXPECT_EQ(c.cmbTopMargin.Text(), "0.50\"");
  EXPECT_EQ(c.cmbForeColor.Text(), "Black");
  EXPECT_EQ(c.cmbBackColor.Text(), "White");
  EXPECT_EQ(c.cmbTransition.Text(), "Replace");
  EXPECT_TRUE(c.chkFormatHeaders);
  EXPECT_TRUE(c.chkPageNum);
  EXPECT_FALSE(c.chkFullScreen);
  EXPECT_EQ(c.hsJPEG, 100);
  EXPECT_EQ(c.cmbFileType.selected, 0);
}

TEST(Settings, SavedChoicesComeBack) {
  TempDir dir;
  ConverterControls c = MakeControls(StartupFacts{});
  {
    IniSettingsStore store(dir / "settings.ini");
    RestoreSettings(store, c);
    c.cmbFont.Select(0);
    c.cmbTransition.Select(14);
    c.txtAuthor = "Ann \xC3\x85ngstr\xC3\xB6m";
    c.txtCreator = "not stored";
    c.chkFullScreen = true;
    c.chkPageNum = false;
    c.chkSkipJPG = true;
    c.hsJPEG = 42;
    SaveSettings(store, c);
  }
  IniSettingsStore store(dir / "settings.ini");
  EXPECT_EQ(store.Get("FullScreen", ""), "1");  // written under that name...
  EXPECT_EQ(store.Get("fullscreen", ""), "1");  // ...and read under any spelling
  EXPECT_EQ(store.Get("SkipJPG", ""), "1");
  ConverterControls again = MakeControls(StartupFacts{});
  RestoreSettings(store, again);
  EXPECT_EQ(again.cmbFont.selected, 0);
  EXPECT_EQ(again.cmbTransition.selected, 14);
  EXPECT_EQ(again.txtAuthor, "Ann \xC3\x85ngstr\xC3\xB6m");
  EXPECT_EQ(again.txtCreator, "");
  EXPECT_TRUE(again.chkFullScreen);
  EXPECT_FALSE(again.chkPageNum);
  EXPECT_TRUE(again.chkSkipJPG);
  EXPECT_EQ(again.hsJPEG, 42);
  std::string file = test::ReadFile(dir / "settings.ini");
  EXPECT_NE(file.find("[Settings]"), std::string::npos);
  EXPECT_NE(file.find("FullScreen=1"), std::string::npos);
  EXPECT_EQ(file.find("Fullscreen"), std::string::npos);
}

TEST(Settings, CorruptValuesGiveTheDefaults) {
  TempDir dir;
  test::WriteFile(dir / "settings.ini",
                  "[Settings]\nfont=abc\nFontSize=99\nPAGESIZE=7\nFormatting=5\nPageNum=x\n"
                  "FULLSCREEN=2\nJpegCompression=500\nMargin=3\n");
  IniSettingsStore store(dir / "settings.ini");
  ConverterControls c = MakeControls(StartupFacts{});
  RestoreSettings(store, c);
  EXPECT_EQ(c.cmbFont.selected, 4);
  EXPECT_EQ(c.cmbFontSize.selected, 6);
  EXPECT_EQ(c.cmbPageSize.selected, 0);  // past the list: back to the first size
  EXPECT_EQ(c.cmbMargin.selected, 3);
  EXPECT_TRUE(c.chkFormatHeaders);  // left as designed
  EXPECT_FALSE(c.chkPageNum);
  EXPECT_TRUE(c.chkFullScreen);
  EXPECT_EQ(c.hsJPEG, 100);
}

TEST(Settings, DefaultButtonPutsBackTheFactoryValues) {
  ConverterControls c = MakeControls(StartupFacts{});
  c.cmbFont.Select(0);
  c.cmbMargin.Select(8);
  c.txtTitle = "t";
  c.chkFullScreen = true;
  c.chkOpen = false;
  c.hsJPEG = 5;
  c.txtFilename = "in.txt";
  ApplyDefaults(c);
  EXPECT_EQ(c.cmbFont.selected, 4);
  EXPECT_EQ(c.cmbMargin.Text(), "0.50\"");  // not 0.25" as on a first start
  EXPECT_EQ(c.txtTitle, "");
  EXPECT_FALSE(c.chkFullScreen);
  EXPECT_TRUE(c.chkPageNum);
  EXPECT_FALSE(c.chkOpen);  // untouched
  EXPECT_EQ(c.hsJPEG, 5);   // untouched
  EXPECT_EQ(c.txtFilename, "in.txt");
}

TEST(PageSizeFile, AcceptsLinesWithTwoNumbersAboveZero) {
  struct Case {
    const char* line;
    bool accepted;
  } cases[] = {{"10\" x 12\"", true}, {"7.5\" x 9.5\"", true}, {"10 x 20", false},
               {"10 x  20", true},    {"12\" x 12.5\"", true}, {"x 10\"", false},
               {"10\" x 0\"", false}, {"-5\" x 10\"", false},  {"", false}};
  for (const Case& k : cases) EXPECT_EQ(AcceptPageSizeLine(k.line), k.accepted) << k.line;
}

TEST(PageSizeFile, ReadsAcceptedLinesTrimmedAndTheUsersFileWins) {
  TempDir program, user;
  test::WriteFile(program / "pagesize.ini", "  10\" x 12\"  \r\n10 x 20\r\n\r\n7.5\" x 9.5\"\n");
  EXPECT_EQ(LoadCustomPageSizes(program.path(), user.path()),
            (std::vector<std::string>{"10\" x 12\"", "7.5\" x 9.5\""}));
  // "4\" x 6\"" would be refused: its last four characters start with the "x".
  test::WriteFile(user / "pagesize.ini", "4\" x 6\"\n4\" x 16\"\n");
  EXPECT_EQ(LoadCustomPageSizes(program.path(), user.path()),
            (std::vector<std::string>{"4\" x 16\""}));
  EXPECT_TRUE(ReadPageSizeFile(program / "missing.ini").empty());
}

}  // namespace
}  // namespace vellumox
