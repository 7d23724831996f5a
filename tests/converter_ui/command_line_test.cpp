#include "converter_ui/command_line.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;

// Controls as after a first start.
ConverterControls Restored() {
  ConverterControls c = MakeControls(StartupFacts{});
  c.cmbFont.Select(4);
  c.cmbFontSize.Select(6);
  c.cmbPageSize.Select(0);
  return c;
}

TEST(CommandLine, HelpText) {
  std::string help = HelpText();
  // The syntax line names the program as it is installed here.
  EXPECT_EQ(help.substr(0, 67),
            "Command line syntax:\rvellumox [comboparms] [textparms] [filename]\r\r");
  EXPECT_NE(help.find("\r-b#  Select background color. ie: -b7\r\r-x   Select transition mode."),
            std::string::npos);
  EXPECT_EQ(help.substr(help.size() - 19), "\r-o\"outputfile.pdf\"");
  EXPECT_EQ(std::count(help.begin(), help.end(), '\r'), 22);
  EXPECT_EQ(help.find("-?"), std::string::npos);
}

TEST(CommandLine, JoinsArgumentsTheWayTheCommandLineMeansThem) {
  using Args = std::vector<std::string>;
  struct Case {
    Args args;
    const char* joined;
  } cases[] = {
      {{"-f0", "-s3", "/my docs/a b.txt"}, "-f0 -s3 \"/my docs/a b.txt\""},
      {{"-oout.pdf", "a.txt"}, "-o\"out.pdf\" a.txt"},
      {{"-o", "out file.pdf", "a.txt"}, "-o\"out file.pdf\" a.txt"},
      {{"-A", "Ann Smith", "-t\"T\"", "x.txt"}, "-A\"Ann Smith\" -t\"T\" x.txt"},
      {{"-o"}, "-o"},
      {{"*.txt"}, "*.txt"},
      {{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinArguments(c.args), c.joined);
}

TEST(CommandLine, SwitchesSetTheControlsAndTheRestNamesTheInput) {
  TempDir dir;
  test::WriteFile(dir / "a b.txt", "x");
  test::WriteFile(dir / "a.txt", "x");
  ConverterControls c = Restored();
  std::string text = "  -f0 -s3 \"" + dir / "a b.txt" + "\"  ";
  EXPECT_EQ(ApplyCommandLine(text, c), CommandLineOutcome::kConvert);
  EXPECT_EQ(c.cmbFont.selected, 0);
  EXPECT_EQ(c.cmbFontSize.Text(), "7pt");
  EXPECT_EQ(c.txtFilename, dir / "a b.txt");
  EXPECT_EQ(c.txtOutputFile, dir / "a b.pdf");

  ConverterControls upper = Restored();
  text = "-o\"/out/Report.PDF\" " + dir / "a.txt";
  EXPECT_EQ(ApplyCommandLine(text, upper), CommandLineOutcome::kConvert);
  EXPECT_EQ(upper.txtOutputFile, "/out/Report.PDF");

  ConverterControls bare = Restored();
  text = "-o\"/out/report\" " + dir / "a.txt";
  EXPECT_EQ(ApplyCommandLine(text, bare), CommandLineOutcome::kConvert);
  EXPECT_EQ(bare.txtOutputFile, dir / "a.pdf");

  ConverterControls many = Restored();
  text =
      "-F12 -p9 -m8 -c23 -b9 -x18 -y0 -r3 -a\"Ann (ed.)\" -k\"k1 k2\" -z\"S\" -t\"T\" -h -n -u " +
      dir / "a.txt";
  EXPECT_EQ(ApplyCommandLine(text, many), CommandLineOutcome::kConvert);
  EXPECT_EQ(many.cmbFont.selected, 12);
  EXPECT_EQ(many.cmbPageSize.selected, 0);  // no page size 9: unchanged, still converted
  EXPECT_EQ(many.cmbMargin.selected, 8);
  EXPECT_EQ(many.cmbForeColor.selected, 23);
  EXPECT_EQ(many.cmbBackColor.selected, 9);
  EXPECT_EQ(many.cmbTransition.selected, 18);
  EXPECT_EQ(many.cmbTopMargin.selected, 0);
  EXPECT_EQ(many.cmbRotation.selected, 3);
  EXPECT_EQ(many.txtAuthor, "Ann (ed.)");
  EXPECT_EQ(many.txtKeywords, "k1 k2");
  EXPECT_EQ(many.txtSubject, "S");
  EXPECT_EQ(many.txtTitle, "T");
  EXPECT_FALSE(many.chkFormatHeaders);
  EXPECT_FALSE(many.chkPageNum);
  EXPECT_TRUE(many.chkFullScreen);  // -u does what its help says
  EXPECT_EQ(text, dir / "a.txt");
}

TEST(CommandLine, WhatNamesNothingConvertsNothing) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  struct Case {
    std::string text;
    CommandLineOutcome outcome;
    std::string remainder;
  } cases[] = {
      {"", CommandLineOutcome::kNothing, ""},
      {"-a " + dir / "a.txt", CommandLineOutcome::kNothing, "-a " + dir / "a.txt"},
      {"-q " + dir / "a.txt", CommandLineOutcome::kNothing, "-q " + dir / "a.txt"},
      {"-? " + dir / "a.txt", CommandLineOutcome::kHelp, "-? " + dir / "a.txt"},
      {"-f1 -f2 " + dir / "a.txt", CommandLineOutcome::kNothing, "-f2 " + dir / "a.txt"},
      {dir / "missing.txt", CommandLineOutcome::kNothing, dir / "missing.txt"},
      {"*.txt", CommandLineOutcome::kConvert, "*.txt"},
  };
  for (const Case& k : cases) {
    ConverterControls c = Restored();
    std::string text = k.text;
    EXPECT_EQ(ApplyCommandLine(text, c), k.outcome) << k.text;
    EXPECT_EQ(text, k.remainder) << k.text;
    EXPECT_EQ(c.txtAuthor, "") << k.text;
  }
  ConverterControls pattern = Restored();
  std::string text = "*.txt";
  ApplyCommandLine(text, pattern);
  EXPECT_EQ(pattern.txtFilename, "*.txt");
  EXPECT_EQ(pattern.txtOutputFile, "*.pdf");
}

TEST(CommandLine, SwitchesCountOnlyAtTheStartOfAWord) {
  TempDir dir;
  for (const char* name : {"report-new.txt", "my-notes.txt", "x-u-h.txt", "a-f1.txt"}) {
    test::WriteFile(dir / name, "x");
    ConverterControls c = Restored();
    std::string text = dir / name;
    EXPECT_EQ(ApplyCommandLine(text, c), CommandLineOutcome::kConvert) << name;
    EXPECT_EQ(c.txtFilename, dir / name);
    EXPECT_TRUE(c.chkFormatHeaders) << name;
    EXPECT_EQ(c.cmbFont.selected, 4) << name;
  }
}

TEST(CommandLine, NumbersAreReadLenientlyAndValuesMayBeEmpty) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  ConverterControls c = Restored();
  c.txtAuthor = "old";
  // Blanks are skipped inside the number, but only the switch's own word is cut out.
  std::string text = "-f1 2 -a\"\" " + dir / "a.txt";
  EXPECT_EQ(ApplyCommandLine(text, c), CommandLineOutcome::kNothing);
  EXPECT_EQ(c.cmbFont.selected, 12);
  EXPECT_EQ(c.txtAuthor, "");
  EXPECT_EQ(text, "2  " + dir / "a.txt");
  ConverterControls quote = Restored();
  text = "-t\"no end " + dir / "a.txt";
  EXPECT_EQ(ApplyCommandLine(text, quote), CommandLineOutcome::kNothing);
  EXPECT_EQ(quote.txtTitle, "no end " + dir / "a.txt");
}

// What the user meant: quoted text holds no switch, an empty value clears, "--" ends the
// switches, an index out of range is ignored and said so.
TEST(CommandLine, TakesWhatTheUserMeant) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  test::WriteFile(dir / "-f3.txt", "x");
  ConverterControls c = Restored();
  c.txtTitle = "Old";
  std::string text = JoinArguments({"-t", "Sales -b2b report", "-b1", dir / "a.txt"});
  EXPECT_EQ(ApplyCommandLine(text, c), CommandLineOutcome::kConvert);
  EXPECT_EQ(c.txtTitle, "Sales -b2b report");
  EXPECT_EQ(c.cmbBackColor.selected, 1);  // the real -b1, not "-b2b" of the title

  std::string cleared = JoinArguments({"-t", "", dir / "a.txt"});
  EXPECT_EQ(ApplyCommandLine(cleared, c), CommandLineOutcome::kConvert);
  EXPECT_EQ(c.txtTitle, "");

  const std::string literal = dir / "-f3.txt";
  std::string none;
  EXPECT_EQ(ApplyCommandLine(none, c, &literal), CommandLineOutcome::kConvert);
  EXPECT_EQ(c.txtFilename, literal);
  EXPECT_EQ(c.cmbFont.selected, 4);  // "-f3" of the name is no switch

  std::vector<std::string> warnings;
  std::string out_of_range = "-s99 -f2 " + dir / "a.txt";
  EXPECT_EQ(ApplyCommandLine(out_of_range, c, nullptr, &warnings), CommandLineOutcome::kConvert);
  EXPECT_EQ(c.cmbFontSize.selected, 6);
  EXPECT_EQ(warnings, std::vector<std::string>{
                          "-s99: there is no font size 99 (0 to 15); the switch is ignored"});
}

}  // namespace
}  // namespace vellumox
