#include "run/controls_model.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "writer/number_text.h"

namespace vellumox {
namespace {

using Strings = std::vector<std::string>;

TEST(ControlsModel, ListsHoldTheirEntriesInOrder) {
  ConverterControls c = MakeControls(StartupFacts{});
  EXPECT_EQ(c.cmbFont.Count(), 20);
  EXPECT_EQ(c.cmbFont.entries[4], "Times-Roman");
  EXPECT_EQ(c.cmbFont.entries[19], "CourierNew,BoldItalic");
  EXPECT_EQ(c.cmbFontSize.entries,
            (Strings{"4pt", "5pt", "6pt", "7pt", "8pt", "9pt", "10pt", "11pt", "12pt", "14pt",
                     "16pt", "18pt", "20pt", "24pt", "30pt", "36pt"}));
  EXPECT_EQ(c.cmbRotation.entries,
            (Strings{"0\xC2\xBA", "90\xC2\xBA", "180\xC2\xBA", "270\xC2\xBA"}));
  EXPECT_EQ(c.cmbPageSize.entries, (Strings{"8.5\" x 11\"", "8.5\" x 14\"", "8.5\" x 5.5\"",
                                            "14\" x 11\"", "17\" x 11\""}));
  EXPECT_EQ(c.cmbMargin.entries, (Strings{"0.00\"", "0.25\"", "0.50\"", "0.75\"", "1.00\"",
                                          "1.25\"", "1.50\"", "1.75\"", "2.00\""}));
  EXPECT_EQ(c.cmbTopMargin.entries, c.cmbMargin.entries);
  EXPECT_EQ(c.cmbForeColor.Count(), 24);
  EXPECT_EQ(c.cmbBackColor.entries[22], "Light yellow");
  EXPECT_EQ(c.cmbTransition.Count(), 19);
  EXPECT_EQ(c.cmbTransition.entries[14], "Glitter Diagonal");
  EXPECT_EQ(c.cmbFileType.entries,
            (Strings{"Single File", "Process Directory", "Make Album with JPG",
                     "Make Album with BMP", "Make Album with GIF", "Make Album with WMF",
                     "Make Album with EMF", "Make Album with RLE"}));
  EXPECT_TRUE(c.chkFormatHeaders);
  EXPECT_TRUE(c.chkOpen);
  EXPECT_FALSE(c.chkFullScreen);
  EXPECT_EQ(c.hsJPEG, 100);
  EXPECT_EQ(c.caption, "Vellumox PRO+ v1.7");
}

TEST(ControlsModel, ExtraTypesAndTheAlbumBuilderExtendTheFileTypes) {
  StartupFacts facts;
  facts.album_present = true;
  ConverterControls no_extras = MakeControls(facts);
  EXPECT_EQ(no_extras.cmbFileType.entries[8], "Interactive Album");
  EXPECT_TRUE(no_extras.btnAlbumVisible);
  EXPECT_EQ(InputFilter(no_extras).find("*.tif"), std::string::npos);
  facts.image_component = true;
  facts.custom_page_sizes = {"10\" x 12\""};
  ConverterControls c = MakeControls(facts);
  EXPECT_EQ(c.cmbFileType.Count(), 14);
  EXPECT_EQ(c.cmbFileType.entries[12], "Make Album with PSD");
  EXPECT_EQ(c.cmbFileType.entries[13], "Interactive Album");
  EXPECT_EQ(c.cmbPageSize.entries[5], "10\" x 12\"");
  EXPECT_EQ(InputFilter(c),
            "All supported files|*.txt;*.ini;*.bat;*.jpg;*.gif;*.bmp;*.wmf;*.emf;*.rle;*.ico;"
            "*.tif;*.png;*.tga;*.pcx;*.psd;*.jpeg;*.jpe;*.jfif;*.tiff|Text files (*.txt)|*.txt|"
            "Graphic files (*.jpg;*.gif;*.bmp;*.wmf;*.emf;*.rle;*.ico)|*.jpg;*.gif;*.bmp;*.wmf;"
            "*.emf;*.rle;*.ico;*.tif;*.png;*.tga;*.pcx;*.psd;*.jpeg;*.jpe;*.jfif;*.tiff|"
            "All files (*.*)|*.*");
  EXPECT_EQ(MakeJobRequest(c, "").alias_patterns, ";*.jpeg;*.jpe;*.jfif;*.tiff");
  EXPECT_EQ(MakeJobRequest(no_extras, "").alias_patterns, ";*.jpeg;*.jpe;*.jfif");
}

TEST(ControlsModel, PageSizesFromTheEntryText) {
  struct Case {
    const char* entry;
    float width, height;
  } cases[] = {{"8.5\" x 11\"", 8.5f, 11},    {"8.5\" x 14\"", 8.5f, 14},
               {"8.5\" x 5.5\"", 8.5f, 5.5f}, {"14\" x 11\"", 14, 11},
               {"17\" x 11\"", 17, 11},       {"10\" x 12\"", 10, 12},
               {"7.5\" x 9.5\"", 7.5f, 9.5f}, {"11.75\" x 12.5\"", 11.75f, 12.5f},
               {"10 x  20", 10, 20},          {"", 0, 0}};
  for (const Case& k : cases) {
    PageSize size = PageSizeOf(k.entry);
    EXPECT_EQ(size.width, k.width) << k.entry;
    EXPECT_EQ(size.height, k.height) << k.entry;
  }
}

// The numbers of the lists are the model's own, and they are what the entries say (as the
// settings were once read back from the text): every entry of every list, custom sizes too.
TEST(ControlsModel, EachListEntryStandsForTheNumberItShows) {
  StartupFacts facts;
  facts.custom_page_sizes = {"8.27 x 11.69 (A4)", "5.83x8.27"};
  ConverterControls c = MakeControls(facts);
  for (const ListControl* list : {&c.cmbFontSize, &c.cmbRotation, &c.cmbMargin, &c.cmbTopMargin}) {
    ASSERT_EQ(list->values.size(), list->entries.size());
    for (size_t i = 0; i < list->entries.size(); ++i) {
      EXPECT_EQ(static_cast<float>(list->values[i]),
                static_cast<float>(ReadNumber(list->entries[i])))
          << list->entries[i];
    }
  }
  ASSERT_EQ(c.page_sizes.size(), c.cmbPageSize.entries.size());
  for (size_t i = 0; i < c.page_sizes.size(); ++i) {
    const PageSize text = PageSizeOf(c.cmbPageSize.entries[i]);
    EXPECT_EQ(c.page_sizes[i].width, text.width) << c.cmbPageSize.entries[i];
    EXPECT_EQ(c.page_sizes[i].height, text.height) << c.cmbPageSize.entries[i];
  }
  c.cmbPageSize.Select(6);
  EXPECT_FLOAT_EQ(ReadSettings(c).pheight, 8.27f);
}

TEST(ControlsModel, SettingsComeFromTheControls) {
  ConverterControls c = MakeControls(StartupFacts{});
  c.cmbFont.Select(4);
  c.cmbFontSize.Select(6);
  c.cmbRotation.Select(1);
  c.cmbPageSize.Select(2);
  c.cmbMargin.Select(1);
  c.cmbTopMargin.Select(2);
  c.cmbForeColor.Select(3);
  c.cmbBackColor.Select(7);
  c.cmbTransition.Select(14);
  c.chkPageNum = true;
  c.txtAuthor = "Ann";
  ConversionSettings s = ReadSettings(c);
  EXPECT_EQ(s.FontName, "Times-Roman");
  EXPECT_EQ(s.FontSize, 10);
  EXPECT_EQ(s.Rotation, 90);
  EXPECT_EQ(s.pwidth, 8.5f);
  EXPECT_EQ(s.pheight, 5.5f);
  EXPECT_EQ(s.Margin, 0.25f);
  EXPECT_EQ(s.TopMargin, 0.5f);
  EXPECT_EQ(s.ForeColorIndex, 3);
  EXPECT_EQ(s.BackColorIndex, 7);
  EXPECT_EQ(s.TransitionMode, 14);
  EXPECT_TRUE(s.ShowPageNum);
  EXPECT_TRUE(s.UseTextFormating);
  EXPECT_EQ(s.TextAuthor, "Ann");
}

TEST(ControlsModel, OutputFieldRule) {
  ConverterControls c = MakeControls(StartupFacts{});
  c.cmbFileType.Select(file_type::kSingleFile);
  c.txtFilename = "/docs/a.txt";
  EXPECT_TRUE(OutputFieldEnabled(c));
  c.txtFilename = "/docs/*.txt";
  EXPECT_FALSE(OutputFieldEnabled(c));
  c.cmbFileType.Select(file_type::kProcessDirectory);
  c.txtFilename = "/docs/";
  EXPECT_FALSE(OutputFieldEnabled(c));
  c.cmbFileType.Select(4);  // GIF album
  c.txtFilename = "/pics/*.gif";
  EXPECT_TRUE(OutputFieldEnabled(c));
}

TEST(ControlsModel, BrowsingFillsInputAndOutput) {
  StartupFacts facts;
  facts.album_present = true;
  ConverterControls c = MakeControls(facts);
  c.cmbFileType.Select(4);  // "Make Album with GIF"
  EXPECT_EQ(ChangeFileType(c), FileTypeAction::kBrowseInput);
  ApplyBrowsedFolder(c, "/pics");
  EXPECT_EQ(c.txtFilename, "/pics/*.gif");
  EXPECT_EQ(c.txtOutputFile, "/pics/images.pdf");
  EXPECT_TRUE(OutputFieldEnabled(c));
  c.cmbFileType.Select(file_type::kProcessDirectory);
  ApplyBrowsedFolder(c, "/docs/");
  EXPECT_EQ(c.txtFilename, "/docs/*.txt");
  EXPECT_EQ(c.txtOutputFile, "");
  EXPECT_FALSE(OutputFieldEnabled(c));
  c.cmbFileType.Select(file_type::kSingleFile);
  EXPECT_EQ(ChangeFileType(c), FileTypeAction::kFocusInput);
  for (auto [file, output] : {std::pair{"a.txt", "a.pdf"}, std::pair{"photo.jpg", "photo.jpg.pdf"},
                              std::pair{"b.PDF", "b.pdf"}}) {
    ApplyChosenInputFile(c, file);
    EXPECT_EQ(c.txtFilename, file);
    EXPECT_EQ(c.txtOutputFile, output);
  }
  c.cmbFileType.Select(8);  // "Interactive Album"
  EXPECT_EQ(ChangeFileType(c), FileTypeAction::kStartAlbumBuilder);
  EXPECT_EQ(c.cmbFileType.selected, 0);
}

TEST(ControlsModel, ClickHereToOpen) {
  test::TempDir dir;
  test::WriteFile(dir / "out.pdf", "x");
  ConverterControls c = MakeControls(StartupFacts{});
  c.txtFilename = "/docs/a.txt";
  EXPECT_EQ(InputLabelTarget(c, true), "/docs/a.txt");
  EXPECT_EQ(InputLabelTarget(c, false), "/docs/");
  c.txtFilename = "/docs/*.txt";
  EXPECT_EQ(InputLabelTarget(c, true), "/docs/");
  c.txtOutputFile = dir / "out.pdf";
  EXPECT_EQ(OutputLabelTarget(c), dir / "out.pdf");
  c.txtOutputFile = dir / "missing.pdf";
  EXPECT_EQ(OutputLabelTarget(c), dir.path() + "/");
}

}  // namespace
}  // namespace vellumox
