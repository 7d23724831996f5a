// The real converter window under Xvfb, driven with xdotool (window_session.sh).
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vellumox {
namespace {

TEST(WindowSession, TypedConversionsAndTheClosePath) {
  if (test::RunCommand("command -v xvfb-run && command -v xdotool").exit_code != 0) {
    GTEST_SKIP() << "xvfb-run or xdotool is not installed";
  }
  test::TempDir dir;
  test::WriteFile(dir / "a.txt", "A file typed into the window.\r\n");
  test::WriteFile(dir / "b.txt", "A file named on the command line.\r\n");
  test::WriteFile(dir / "c.txt", "A run that keeps no switches.\r\n");
  test::RunCommand("mkdir " + test::ShellQuote(dir / "texts"));
  for (const char* name : {"one", "two", "three"}) {
    test::WriteFile(dir / "texts" + "/" + name + ".txt", std::string("Text ") + name + "\n");
  }
  const std::string script = std::string(VELLUMOX_SOURCE_DIR) + "/tests/e2e/window_session.sh";
  // -noreset: the server would reset when a program's last window closes, and refuse the
  // next program that connects meanwhile.
  test::CommandResult r = test::RunCommand(
      "cd " + test::ShellQuote(dir.path()) +
      " && XDG_CONFIG_HOME=" + test::ShellQuote(dir / "config") +
      " timeout 180 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' " + test::ShellQuote(script) +
      " " + test::ShellQuote(test::BinDir() + "/vellumox") + " " + test::ShellQuote(dir.path()));
  EXPECT_EQ(r.exit_code, 0) << r.output << r.error;
  for (const char* pdf :
       {"a.pdf", "texts/one.pdf", "texts/two.pdf", "texts/three.pdf", "b.pdf", "c.pdf"}) {
    std::string details;
    EXPECT_TRUE(test::QpdfCheckClean(dir / pdf, &details)) << pdf << ": " << details;
  }
  // Each close path saved the settings; the unattended run kept its title.
  std::string settings = test::ReadFile(dir / "config/Vellumox/Vellumox.ini");
  EXPECT_NE(settings.find("Title=Unattended"), std::string::npos) << settings;
  // The run without --save kept nothing, though its window closed through the same path.
  EXPECT_EQ(settings.find("Not kept"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("FontSize=3\n"), std::string::npos) << settings;
}

}  // namespace
}  // namespace vellumox
