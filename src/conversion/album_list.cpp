#include "conversion/album_list.h"

#include "platform/file_system.h"
#include "writer/code_page.h"

namespace vellumox {

std::string WhyTagCannotCarry(std::string_view path) {
  static constexpr struct {
    char c;
    const char* what;
  } kCannot[] = {{'"', "a double quote"}, {'\n', "a line feed"}, {'\r', "a carriage return"},
                 {'\f', "a form feed"},   {'<', "a '<'"},        {'>', "a '>'"}};
  std::string what;
  for (const auto& cannot : kCannot) {
    if (path.find(cannot.c) != std::string_view::npos) {
      what = cannot.what;
      break;
    }
  }
  if (what.empty() && !IsValidUtf8(path)) what = "bytes that are not UTF-8";
  return what.empty() ? std::string()
                      : "its name holds " + what + ", which an image tag cannot carry";
}

std::string BeyondLimitMessage(int count) {
  return std::to_string(count) + (count == 1 ? " picture is" : " pictures are") +
         " left out: an album holds at most 32,000 pictures.";
}

AlbumListResult WriteAlbumList(const std::string& list_path, const std::string& folder,
                               const std::vector<std::string>& names,
                               const std::string& attributes) {
  AlbumListResult result;
  std::string text;
  int pictures = 0;
  for (const std::string& name : names) {
    const std::string path = folder + name;
    if (std::string why = WhyTagCannotCarry(path); !why.empty()) {
      result.skipped.push_back({name, std::move(why)});
      continue;
    }
    if (pictures == kMaxAlbumPictures) {
      ++result.beyond_limit;
      continue;
    }
    ++pictures;
    if (!text.empty()) text += "\f\r\n";
    text += "<img src=\"" + path + "\"" + attributes + ">\r\n";
  }
  result.written = WriteWholeFile(list_path, text, &result.error);
  return result;
}

}  // namespace vellumox
