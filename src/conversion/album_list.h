// The album list: the markup file of image tags that makes an album, written by the converter's
// album jobs and by the album builder alike.
#pragma once

#include <string>
#include <vector>

namespace vellumox {

struct AlbumListResult {
  bool written = false;
  int error = 0;                     // the error number when it could not be written
  std::vector<std::string> skipped;  // names left out: they hold a double quote
};

// Why a picture whose name holds a double quote is not in an album.
inline constexpr const char* kQuotedNameReason =
    "its name holds a double quote, which an image tag cannot carry";

// Writes, for each name in order (a name holding a double quote is left out: the tag could not
// carry it), the line <img src="FOLDERNAME"ATTRIBUTES> (attributes as
// given, e.g. " width=300"), and between two pictures a line holding one form feed, so that each
// picture gets a page of its own. Lines end with a carriage return and a line feed; no pictures
// give an empty file.
AlbumListResult WriteAlbumList(const std::string& list_path, const std::string& folder,
                               const std::vector<std::string>& names,
                               const std::string& attributes = std::string());

}  // namespace vellumox
