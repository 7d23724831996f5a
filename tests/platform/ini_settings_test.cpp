#include "platform/ini_settings.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include "support/test_support.h"

namespace vellumox {
namespace {

using test::TempDir;

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Keys and values that need QSettings' quoting, escapes and key encoding.
const std::pair<std::string, std::string> kSamples[] = {
    {"Font", "4"},
    {"Empty", ""},
    {"Author", "Ann \xC3\x85ngstr\xC3\xB6m"},
    {"Blanks", "  around  "},
    {"Separators", "a;b,c=d"},
    {"Quotes", "say \"hi\" \\ back\\slash"},
    {"Controls", std::string("tab\tnew\nline\rcr\x01\x1F"
                             "0 digit after",
                             30)},
    {"Nul", std::string("a\0"
                        "1b",
                        4)},
    {"At", "@home"},
    {"AtAt", "@@twice"},
    {"Typed", "@Variant(not really)"},
    {"Wide", "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \xE2\x82\xAC"},
    {"Key With Blanks", "x"},
    {"slash/in/key", "y"},
    {"\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87", "Cyrillic key"},
    {"Folder", "/home/ann/My Pictures/2026, summer"},
};

TEST(IniSettingsStore, ReadsWhatQSettingsWrote) {
  TempDir dir;
  {
    QSettings qt(Q(dir / "a.ini"), QSettings::IniFormat);
    qt.setValue("Other/Keep", "me");
    for (const auto& [key, value] : kSamples) qt.setValue(Q("Settings/" + key), Q(value));
    qt.sync();
    ASSERT_EQ(qt.status(), QSettings::NoError);
  }
  IniSettingsStore store(dir / "a.ini");
  for (const auto& [key, value] : kSamples) {
    EXPECT_EQ(store.Get(key), value) << key << " in " << test::ReadFile(dir / "a.ini");
  }
  EXPECT_EQ(store.Get("font"), "4");  // any spelling
  EXPECT_EQ(store.Get("Keep"), std::nullopt);
  EXPECT_EQ(IniSettingsStore(dir / "a.ini", "Other").Get("Keep"), "me");
}

TEST(IniSettingsStore, QSettingsReadsWhatItWrites) {
  TempDir dir;
  {
    IniSettingsStore store(dir / "b.ini");
    for (const auto& [key, value] : kSamples) store.Put(key, value);
    ASSERT_TRUE(store.Sync());
  }
  QSettings qt(Q(dir / "b.ini"), QSettings::IniFormat);
  ASSERT_EQ(qt.status(), QSettings::NoError);
  for (const auto& [key, value] : kSamples) {
    EXPECT_EQ(qt.value(Q("Settings/" + key)).toString().toStdString(), value)
        << key << " in " << test::ReadFile(dir / "b.ini");
  }
  // And this store reads it back, too.
  IniSettingsStore again(dir / "b.ini");
  for (const auto& [key, value] : kSamples) EXPECT_EQ(again.Get(key), value) << key;
}

// Sync writes what this store changed into the file as it is then: other sections, and keys
// that another program changed meanwhile, stay; a key keeps the spelling it was stored under.
TEST(IniSettingsStore, KeepsWhatItDidNotChange) {
  TempDir dir;
  test::WriteFile(dir / "c.ini",
                  "; a comment\n[Album]\nFolder=/pics\n\n[Settings]\nFullScreen=0\nFont=2\n");
  IniSettingsStore store(dir / "c.ini");
  EXPECT_EQ(store.Get("fullscreen"), "0");
  store.Put("Fullscreen", "1");
  store.Put("JpegCompression", "90");
  // Meanwhile another run changes the font.
  test::WriteFile(dir / "c.ini",
                  "; a comment\n[Album]\nFolder=/pics\n\n[Settings]\nFullScreen=0\nFont=7\n");
  ASSERT_TRUE(store.Sync());
  EXPECT_EQ(test::ReadFile(dir / "c.ini"),
            "; a comment\n[Album]\nFolder=/pics\n\n[Settings]\nFont=7\nFullScreen=1\n"
            "JpegCompression=90\n");
  EXPECT_EQ(store.Get("Font"), "7");
  // Nothing changed: nothing written.
  test::WriteFile(dir / "c.ini", "[Settings]\nFont=3\n");
  EXPECT_TRUE(store.Sync());
  EXPECT_EQ(test::ReadFile(dir / "c.ini"), "[Settings]\nFont=3\n");
}

TEST(IniFormat, ValuesAsQSettingsReadsThem) {
  struct Case {
    const char* text;
    const char* value;
  } cases[] = {
      {"  plain text  ", "plain text"},
      {"\" quoted \"  ", " quoted "},
      {"a \"b\" c", "a bc"},  // blanks after a closing quote are skipped
      {"\\x41\\x42", "AB"},
      {"\\101\\102", "AB"},
      {"\\xe9", "\xC3\xA9"},
      {"\\d\\q", ""},  // unknown escapes are dropped
      {"@@x", "@x"},
      {"@String(abc)", "abc"},
      {"@Invalid()", ""},
      {"a, b", "a, b"},
      {"line\\\ncontinued", "linecontinued"},
  };
  for (const Case& c : cases) EXPECT_EQ(ini::UnescapedValue(c.text), c.value) << c.text;
  EXPECT_EQ(ini::UnescapedKey("a\\b%20c%U00e9"), "a/b c\xC3\xA9");
  EXPECT_EQ(ini::EscapedKey("a/b c\xC3\xA9"), "a\\b%20c%E9");
}

}  // namespace
}  // namespace vellumox
