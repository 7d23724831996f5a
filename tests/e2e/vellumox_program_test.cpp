// Runs the built vellumox on real files and reads the PDFs back with qpdf and poppler.
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vellumox {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;
using test::WriteFile;

TEST(VellumoxProgram, ConvertsATextFileIntoThePdfBesideIt) {
  TempDir dir;
  WriteFile(dir / "notes.txt", "First line\r\nSecond (line)\r\n");
  auto r = RunCommand(test::VellumoxCommand(dir / "config") + " " + ShellQuote(dir / "notes.txt"));
  EXPECT_EQ(r.exit_code, 0) << r.error;
  std::string details;
  ASSERT_TRUE(test::QpdfCheckClean(dir / "notes.pdf", &details)) << details;
  std::string text = test::PdfToText(dir / "notes.pdf");
  EXPECT_NE(text.find("First line\nSecond (line)"), std::string::npos) << text;
  // The first-start choices: Times-Roman 10 pt on a letter page.
  std::string pdf = test::ReadFile(dir / "notes.pdf");
  EXPECT_NE(pdf.find("/BaseFont /Times-Roman\r>>\rendobj\r5 0 obj"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 612 792 ]"), std::string::npos);
  EXPECT_NE(pdf.find("1 0 0 1 18 756 Tm"), std::string::npos);
}

TEST(VellumoxProgram, MissingInputIsNothingToConvert) {
  TempDir dir, config;
  auto r = RunCommand(test::VellumoxCommand(config.path()) + " " + ShellQuote(dir / "none.txt"));
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.error.find("none.txt' names no file."), std::string::npos) << r.error;
  EXPECT_TRUE(test::ListFolder(dir.path()).empty());
}

TEST(VellumoxProgram, UnwritableOutputFailsAndSaysSo) {
  TempDir dir;
  WriteFile(dir / "in.txt", "x\r\n");
  // The output's name is taken by a folder: the PDF cannot be saved there.
  ASSERT_EQ(RunCommand("mkdir " + ShellQuote(dir / "in.pdf")).exit_code, 0);
  TempDir config;
  auto r = RunCommand(test::VellumoxCommand(config.path()) + " " + ShellQuote(dir / "in.txt"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.error.find("error:"), std::string::npos) << r.error;
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::string>{"in.pdf", "in.txt"}));
}

}  // namespace
}  // namespace vellumox
