// The album list: the markup file of image tags that makes an album, written by the converter's
// album jobs and by the album builder alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumox {

// The album builder writes each list into a private folder of its own, named with this prefix,
// and hands the folder to the converter, which removes it when its run ends.
inline constexpr std::string_view kAlbumListFolderPrefix = "vellumox-album-";
inline constexpr std::string_view kAlbumListName = "~album.txt";

// A picture that an album list cannot hold, and why.
struct LeftOutName {
  std::string name;
  std::string reason;
};

// The most pictures that an album holds: a document names at most this many distinct pictures.
inline constexpr int kMaxAlbumPictures = 32000;

struct AlbumListResult {
  bool written = false;
  int error = 0;                     // the error number when it could not be written
  std::vector<LeftOutName> skipped;  // names an image tag cannot carry
  int beyond_limit = 0;              // pictures after the first kMaxAlbumPictures, left out
};

// "2 pictures are left out: an album holds at most 32,000 pictures."
std::string BeyondLimitMessage(int count);

// Why an image tag cannot carry a path (a double quote would end its value; a line end or form
// feed would cut the list's line; "<" and ">" would start or end a tag; bytes that are not UTF-8
// would make the converter read the whole list in another code page), or empty when it can.
std::string WhyTagCannotCarry(std::string_view path);

// Writes, for each name in order (a name that an image tag cannot carry is left out and
// returned with its reason, and the names after the first kMaxAlbumPictures are left out and
// counted, so that no page of the album stays blank), the line <img src="FOLDERNAME"ATTRIBUTES>
// (attributes as given, e.g. " width=300"), and between two pictures a line holding one form feed,
// so that each picture gets a page of its own. Lines end with a carriage return and a line feed; no
// pictures give an empty file.
AlbumListResult WriteAlbumList(const std::string& list_path, const std::string& folder,
                               const std::vector<std::string>& names,
                               const std::string& attributes = std::string());

}  // namespace vellumox
