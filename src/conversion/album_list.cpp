#include "conversion/album_list.h"

#include "platform/file_system.h"

namespace vellumox {

AlbumListResult WriteAlbumList(const std::string& list_path, const std::string& folder,
                               const std::vector<std::string>& names,
                               const std::string& attributes) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += "\f\r\n";
    text += "<img src=\"" + folder + names[i] + "\"" + attributes + ">\r\n";
  }
  AlbumListResult result;
  result.written = WriteWholeFile(list_path, text, &result.error);
  return result;
}

}  // namespace vellumox
