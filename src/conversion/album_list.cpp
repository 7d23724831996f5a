#include "conversion/album_list.h"

#include "platform/file_system.h"

namespace vellumox {

AlbumListResult WriteAlbumList(const std::string& list_path, const std::string& folder,
                               const std::vector<std::string>& names,
                               const std::string& attributes) {
  AlbumListResult result;
  std::string text;
  for (const std::string& name : names) {
    if ((folder + name).find('"') != std::string::npos) {
      result.skipped.push_back(name);
      continue;
    }
    if (!text.empty()) text += "\f\r\n";
    text += "<img src=\"" + folder + name + "\"" + attributes + ">\r\n";
  }
  result.written = WriteWholeFile(list_path, text, &result.error);
  return result;
}

}  // namespace vellumox
