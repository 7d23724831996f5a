// The album list: the markup file of image tags that makes an album, written by the converter's
// album jobs and by the album builder alike.
#pragma once

#include <string>
#include <vector>

namespace vellumox {

struct AlbumListResult {
  bool written = false;
  int error = 0;  // the error number when it could not be written
};

// Writes, for each name in order, the line <img src="FOLDERNAME"ATTRIBUTES> (attributes as
// given, e.g. " width=300"), and between two pictures a line holding one form feed, so that each
// picture gets a page of its own. Lines end with a carriage return and a line feed; no pictures
// give an empty file.
AlbumListResult WriteAlbumList(const std::string& list_path, const std::string& folder,
                               const std::vector<std::string>& names,
                               const std::string& attributes = std::string());

}  // namespace vellumox
