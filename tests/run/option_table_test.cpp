#include "run/option_table.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "run/command_line.h"
#include "run/front_end_options.h"
#include "support/test_support.h"

namespace vellumox {
namespace {

std::string Source(const std::string& path) {
  return test::ReadFile(std::string(VELLUMOX_SOURCE_DIR) + "/" + path);
}

// The words of a text that match a pattern's first group.
std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.insert((*it)[1].str());
  }
  return found;
}

// The section of a manual page from its heading to the next.
std::string ManualSection(const std::string& page, const std::string& heading) {
  const size_t start = page.find(".SH " + heading + "\n");
  if (start == std::string::npos) return std::string();
  const size_t end = page.find("\n.SH ", start + 1);
  return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::set<std::string> TableNames(bool offered_only) {
  std::set<std::string> names;
  for (const OptionSpec& spec : FrontEndOptionTable()) {
    if (spec.offered || !offered_only) names.insert(std::string(spec.name));
  }
  return names;
}

// The completion, the manual page and --help name exactly the options of the table: one that
// is added or dropped in one place only is found here.
TEST(OptionTable, CompletionManualAndHelpNameTheOptionsOfTheTable) {
  const std::string completion = Source("completion/vellumox");
  const size_t words = completion.find("--*)");
  ASSERT_NE(words, std::string::npos);
  const std::string offered = completion.substr(words, completion.find("return", words) - words);
  EXPECT_EQ(Matches(offered, R"((--[a-z][a-z-]*[a-z])=?)"), TableNames(true));

  // The manual page tells every option (the album builder's own too), each on a line of its own
  // that starts with .B, .BI or .BR (one such line may name several).
  std::string options = ManualSection(Source("man/vellumox.1"), "OPTIONS");
  options = std::regex_replace(options, std::regex(R"(\\-)"), "-");
  std::set<std::string> told;
  for (const std::string& line : Matches(options, R"(\n(\.B[IR]? [^\n]*))")) {
    for (const std::string& name : Matches(line, R"((--[a-z][a-z-]*[a-z]))")) told.insert(name);
  }
  EXPECT_EQ(told, TableNames(false));

  ConverterControls controls;
  EXPECT_EQ(Matches(LongHelpText(controls), R"((?:^|\n)(--[a-z][a-z-]*[a-z]))"), TableNames(false));
}

// The switches likewise: every letter is in the help of -?, the completion and the manual page,
// and those name no other.
TEST(OptionTable, CompletionManualAndHelpNameTheSwitches) {
  std::set<std::string> letters;
  for (char c : SwitchLetters()) letters.insert(std::string(1, c));
  const std::string completion = Source("completion/vellumox");
  const size_t list = completion.find("-f -s -r");
  ASSERT_NE(list, std::string::npos);
  std::set<std::string> completed =
      Matches(completion.substr(list, completion.find('"', list) - list), R"(-([a-z]))");
  EXPECT_EQ(completed, letters);
  EXPECT_EQ(Matches(HelpText(), R"((?:^|\r)-([a-z]))"), letters);
  std::string switches = ManualSection(Source("man/vellumox.1"), "SWITCHES");
  switches = std::regex_replace(switches, std::regex(R"(\\-)"), "-");
  for (const std::string& letter : letters) {
    EXPECT_NE(switches.find("-" + letter), std::string::npos) << letter;
  }
}

// Each row of the table is what the parser knows: a flag sets its field, a value is taken
// after "=" or as the next argument, and anything else is an error.
TEST(OptionTable, TheParserTakesEveryRow) {
  for (const OptionSpec& spec : FrontEndOptionTable()) {
    SCOPED_TRACE(std::string(spec.name));
    if (spec.value == OptionValue::kNone) {
      FrontEndOptions options = ParseFrontEndOptions({std::string(spec.name)});
      EXPECT_TRUE(options.error.empty()) << options.error;
      EXPECT_TRUE(options.*(spec.flag));
      EXPECT_FALSE(ParseFrontEndOptions({std::string(spec.name) + "=1"}).error.empty());
    } else {
      const std::string value = spec.value == OptionValue::kNumber ? "42" : "/some/folder";
      FrontEndOptions joined = ParseFrontEndOptions({std::string(spec.name) + "=" + value});
      FrontEndOptions apart = ParseFrontEndOptions({std::string(spec.name), value, "in.txt"});
      EXPECT_TRUE(joined.error.empty()) << joined.error;
      EXPECT_TRUE(apart.error.empty()) << apart.error;
      EXPECT_EQ(apart.arguments, std::vector<std::string>{"in.txt"});
    }
  }
  EXPECT_EQ(ParseFrontEndOptions({"--jpeg-quality=0"}).error,
            "--jpeg-quality takes a whole number from 1 to 100: 0");
  EXPECT_EQ(ParseFrontEndOptions({"--jpeg-quality", "77"}).jpeg_quality, 77);
  EXPECT_EQ(ParseFrontEndOptions({"--list-folder=/x"}).list_folder, "/x");
  EXPECT_EQ(ParseFrontEndOptions({"--frobnicate"}).error,
            "unknown option --frobnicate (see --help)");
}

}  // namespace
}  // namespace vellumox
