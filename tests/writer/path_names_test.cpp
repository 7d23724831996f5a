#include "writer/path_names.h"

#include <gtest/gtest.h>

namespace vellumox {
namespace {

TEST(FolderOfPath, KeepsTheFolderWithItsSeparator) {
  struct Case {
    const char* path;
    const char* folder;
  } cases[] = {
      {"c:\\docs\\*.txt", "c:\\docs\\"},
      {"/home/me/a.txt", "/home/me/"},
      {"a.txt", ""},
      {"", ""},
      {"/a/b/", "/a/b/"},
      {"dir\\sub/x", "dir\\sub/"},
      {"/pics/a?b/c.jpg", "/pics/"},
      {"?/x/y", ""},
      {"/", "/"},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(WithPdfExtension, ReplacesTextAndPdfEndingsOnly) {
  struct Case {
    const char* name;
    const char* result;
  } cases[] = {
      {"a.txt", "a.pdf"},
      {"A.TXT", "A.pdf"},
      {"b.PDF", "b.pdf"},
      {"report.doc", "report.doc.pdf"},
      {"photo.jpg", "photo.jpg.pdf"},
      {"album", "album.pdf"},
      {".txt", ".pdf"},
      {"txt", "txt.pdf"},
      {"", ".pdf"},
      {"*.txt", "*.pdf"},
      {"x.text", "x.text.pdf"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithPdfExtension(c.name, ".pdf"), c.result) << c.name;
}

TEST(CaseHelpers, CompareLettersWithoutRegardToCase) {
  EXPECT_TRUE(EqualsIgnoreCase("Times-Bold", "TIMES-BOLD"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
  EXPECT_TRUE(EndsWithIgnoreCase("x.JPG", ".jpg"));
  EXPECT_FALSE(EndsWithIgnoreCase("jpg", ".jpg"));
  EXPECT_EQ(FindIgnoreCase("a <IMG src=x>", "<img"), 2u);
  EXPECT_EQ(FindIgnoreCase("abcabc", "BC", 2), 4u);
  EXPECT_EQ(FindIgnoreCase("abc", "abcd"), std::string::npos);
  EXPECT_EQ(FindIgnoreCase("<i <Img <IMG", "<img", 3), 3u);
  EXPECT_EQ(FindIgnoreCase("<i <Im", "<img"), std::string::npos);
  EXPECT_EQ(FindIgnoreCase("a=b", "=", 3), std::string::npos);
  EXPECT_EQ(ToLowerAscii("AbC\xC9"), "abc\xC9");  // bytes above 127 are left alone
}

}  // namespace
}  // namespace vellumox
