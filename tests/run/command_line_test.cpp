#include "run/command_line.h"

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

using Args = std::vector<std::string>;

TEST(CommandLine, SwitchesSetTheControlsAndTheRestNamesTheInput) {
  TempDir dir;
  test::WriteFile(dir / "a b.txt", "x");
  test::WriteFile(dir / "a.txt", "x");
  ConverterControls c = Restored();
  CommandLine line = ApplyCommandLine({"-f0", "-s3", dir / "a b.txt"}, c);
  EXPECT_EQ(line.outcome, CommandLineOutcome::kConvert);
  EXPECT_EQ(c.cmbFont.selected, 0);
  EXPECT_EQ(c.cmbFontSize.Text(), "7pt");
  EXPECT_EQ(c.txtFilename, dir / "a b.txt");
  EXPECT_EQ(c.txtOutputFile, dir / "a b.pdf");

  ConverterControls upper = Restored();
  EXPECT_EQ(ApplyCommandLine({"-o/out/Report.PDF", dir / "a.txt"}, upper).outcome,
            CommandLineOutcome::kConvert);
  EXPECT_EQ(upper.txtOutputFile, "/out/Report.PDF");

  ConverterControls bare = Restored();
  EXPECT_EQ(ApplyCommandLine({"-o", "/out/report", dir / "a.txt"}, bare).outcome,
            CommandLineOutcome::kConvert);
  EXPECT_EQ(bare.txtOutputFile, dir / "a.pdf");

  ConverterControls many = Restored();
  line = ApplyCommandLine(
      {"-F12", "-p9", "-m8", "-c23", "-b9", "-x18", "-y0", "-r3", "-a\"Ann (ed.)\"", "-k", "k1 k2",
       "-zS", "-t\"T\"", "-h", "-n", "-u", dir / "a.txt"},
      many);
  EXPECT_EQ(line.outcome, CommandLineOutcome::kConvert);
  EXPECT_EQ(many.cmbFont.selected, 12);
  EXPECT_EQ(many.cmbPageSize.selected, 0);  // no page size 9: unchanged, still converted
  EXPECT_EQ(many.cmbMargin.selected, 8);
  EXPECT_EQ(many.cmbForeColor.selected, 23);
  EXPECT_EQ(many.cmbBackColor.selected, 9);
  EXPECT_EQ(many.cmbTransition.selected, 18);
  EXPECT_EQ(many.cmbTopMargin.selected, 0);
  EXPECT_EQ(many.cmbRotation.selected, 3);
  EXPECT_EQ(many.txtAuthor, "Ann (ed.)");  // the switch's own quotes, in one argument
  EXPECT_EQ(many.txtKeywords, "k1 k2");
  EXPECT_EQ(many.txtSubject, "S");
  EXPECT_EQ(many.txtTitle, "T");
  EXPECT_FALSE(many.chkFormatHeaders);
  EXPECT_FALSE(many.chkPageNum);
  EXPECT_TRUE(many.chkFullScreen);  // -u does what its help says
  EXPECT_EQ(line.text, dir / "a.txt");
}

TEST(CommandLine, WhatNamesNothingConvertsNothing) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  struct Case {
    Args args;
    CommandLineOutcome outcome;
    std::string text;
  } cases[] = {
      {{}, CommandLineOutcome::kNothing, ""},
      {{"-q", dir / "a.txt"}, CommandLineOutcome::kNothing, "-q " + dir / "a.txt"},
      {{"-?", dir / "a.txt"}, CommandLineOutcome::kHelp, ""},
      {{"-f1", "-f2", dir / "a.txt"}, CommandLineOutcome::kNothing, "-f2 " + dir / "a.txt"},
      {{"-t", "A", "-t", "B", dir / "a.txt"},
       CommandLineOutcome::kNothing,
       "-t B " + dir / "a.txt"},
      {{dir / "missing.txt"}, CommandLineOutcome::kNothing, dir / "missing.txt"},
      {{"*.txt"}, CommandLineOutcome::kConvert, "*.txt"},
  };
  for (const Case& k : cases) {
    ConverterControls c = Restored();
    CommandLine line = ApplyCommandLine(k.args, c);
    EXPECT_EQ(line.outcome, k.outcome) << k.text;
    EXPECT_EQ(line.text, k.text);
    EXPECT_EQ(c.txtAuthor, "") << k.text;
  }
  ConverterControls pattern = Restored();
  ApplyCommandLine({"*.txt"}, pattern);
  EXPECT_EQ(pattern.txtFilename, "*.txt");
  EXPECT_EQ(pattern.txtOutputFile, "*.pdf");
}

// The text of one argument is what the user typed: never split, never read again for
// switches, quotes or blanks.
TEST(CommandLine, AnArgumentIsWhatTheUserTyped) {
  TempDir dir;
  const std::string hostile = dir / "a.txt\" -o\"victim.pdf";
  for (const char* name : {"report-new.txt", "my-notes.txt", "x -u -h.txt", "a -f1.txt"}) {
    test::WriteFile(dir / name, "x");
    ConverterControls c = Restored();
    EXPECT_EQ(ApplyCommandLine({dir / name}, c).outcome, CommandLineOutcome::kConvert) << name;
    EXPECT_EQ(c.txtFilename, dir / name);
    EXPECT_TRUE(c.chkFormatHeaders) << name;
    EXPECT_FALSE(c.chkFullScreen) << name;
    EXPECT_EQ(c.cmbFont.selected, 4) << name;
  }
  test::WriteFile(hostile, "x");
  ConverterControls c = Restored();
  EXPECT_EQ(ApplyCommandLine({hostile}, c).outcome, CommandLineOutcome::kConvert);
  EXPECT_EQ(c.txtFilename, hostile);
  EXPECT_EQ(c.txtOutputFile, hostile);  // the job refuses to write a file over itself

  struct Case {
    Args args;
    std::string title, output;
  } cases[] = {
      {{"-t", "say \"hi\" now"}, "say \"hi\" now", ""},
      {{"-t", "x\" -o\"../hijack.pdf"}, "x\" -o\"../hijack.pdf", ""},
      {{"-tSales -b2b report", "-b1"}, "Sales -b2b report", ""},
      {{"-t", "-o", "-o", "-t"}, "-o", "-t"},  // a standalone switch's value is a value
      {{"-t", "-?"}, "-?", ""},
      {{"-t", ""}, "", ""},
      {{"-t'\"Hi\"'"}, "'\"Hi\"'", ""},
  };
  for (const Case& k : cases) {
    ConverterControls t = Restored();
    t.txtTitle = "old";
    CommandLine line = ApplyCommandLine(k.args, t);
    EXPECT_EQ(line.outcome, CommandLineOutcome::kNothing) << k.title;
    EXPECT_EQ(t.txtTitle, k.title);
    EXPECT_EQ(t.txtOutputFile, k.output) << k.title;
    EXPECT_TRUE(line.inputs.empty()) << line.text;
  }
  ConverterControls b = Restored();
  ApplyCommandLine({"-t", "Sales -b2b report", "-b1"}, b);
  EXPECT_EQ(b.cmbBackColor.selected, 1);  // the real -b1, not "-b2b" of the title

  // What follows "--" is input, never a switch.
  test::WriteFile(dir / "-f3.txt", "x");
  ConverterControls literal = Restored();
  EXPECT_EQ(ApplyCommandLine({}, literal, {dir / "-f3.txt"}).outcome, CommandLineOutcome::kConvert);
  EXPECT_EQ(literal.txtFilename, dir / "-f3.txt");
  EXPECT_EQ(literal.cmbFont.selected, 4);
}

TEST(CommandLine, ValuesThatNameNoEntryAreIgnoredAndSaidSo) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "x");
  struct Case {
    const char* arg;
    std::string warning;
  } cases[] = {
      {"-s99", "-s99: there is no font size 99 (0 to 15); the switch is ignored"},
      {"-s-1", "-s-1: '-1' is not a valid font size (0 to 15); the switch is ignored"},
      {"-m-0", "-m-0: '-0' is not a valid left margin (0 to 8); the switch is ignored"},
      {"-f&H13", "-f&H13: '&H13' is not a valid font (0 to 19); the switch is ignored"},
      {"-s", "-s: a font size (0 to 15) must follow the switch; the switch is ignored"},
  };
  for (const Case& k : cases) {
    ConverterControls c = Restored();
    CommandLine line = ApplyCommandLine({k.arg, "-b2", dir / "a.txt"}, c);
    EXPECT_EQ(line.outcome, CommandLineOutcome::kConvert) << k.arg;
    EXPECT_EQ(c.cmbFontSize.selected, 6) << k.arg;
    EXPECT_EQ(line.warnings, Args{k.warning});
  }
  // The value is read from its first digit on, leniently (the command line's number rule).
  ConverterControls lenient = Restored();
  ApplyCommandLine({"-s1 2", "-f3x", dir / "a.txt"}, lenient);
  EXPECT_EQ(lenient.cmbFontSize.selected, 12);
  EXPECT_EQ(lenient.cmbFont.selected, 3);
}

}  // namespace
}  // namespace vellumox
