// The pictures that a document names: found by a first pass over the input's image tags, before
// the document starts, and looked up again when each tag is laid out.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "images/image_codec.h"
#include "images/jpeg_conversion.h"

namespace vellumox {

struct ImageEntry {
  std::string path;     // as ResolveImagePath gave it
  std::string written;  // the tag's src as the input writes it (UTF-8), for messages
  float aspect = 0;     // height / width of its JPEG; 0 while it has none
  JpegFile jpeg;
};

class ImageReferences {
 public:
  // Entries beyond this many distinct pictures are skipped.
  static constexpr int kMaxImages = 32000;

  explicit ImageReferences(const ImageCodec& codec) : codec_(codec) {}

  // Where relative names are looked for: the input's folder, then the output's; and the folder
  // of the input name as the user gave it (a pattern for albums).
  void SetDocument(const std::string& output_file, const std::string& input_field) {
    output_file_ = output_file;
    input_field_ = input_field;
  }

  // Scans the input's tags and lists the distinct pictures that they name and that can be read,
  // in the order of their first reference. Nothing is listed when markup is off. An image tag
  // whose picture cannot be listed is kept in LeftOut(), once per picture.
  void CollectImages(const std::string& filename, bool use_text_formatting);
  struct LeftOutPicture {
    std::string written;  // as the tag writes it
    std::string reason;
  };
  const std::vector<LeftOutPicture>& LeftOut() const { return left_out_; }
  void ResetImages();

  // The file that a picture name (UTF-8) means: as written, then beside the input, else beside
  // the output (then without checking). Each distinct name is looked up on the disk once per
  // document, however many tags name it.
  std::string ResolveName(const std::string& utf8_name) const;
  // The file that an image tag being laid out names with its src (the tag's text is the input's,
  // in the PDF's code page).
  std::string PlacedPath(std::string_view tag) const;
  // Whether the picture that a resolved path names exists and is not empty, asked of the disk
  // once per picture and document.
  bool Exists(const std::string& resolved) const;
  // The 1-based list position of a path, or 0.
  int FindImage(std::string_view path) const;

  std::vector<ImageEntry>& entries() { return entries_; }
  const std::vector<ImageEntry>& entries() const { return entries_; }
  const std::string& CurrentInputFile() const { return current_input_; }

  // Whether a picture name's type is one that is collected.
  bool AcceptsName(std::string_view name) const;
  // Why a name that AcceptsName refuses is refused.
  std::string RefusalReason(std::string_view name) const;

 private:
  // A picture that cannot be listed: written as the tag writes it, looked_for as it was looked
  // for, src what that resolved to.
  void NoteLeftOut(const std::string& written, const std::string& looked_for,
                   const std::string& src);
  void AddEntry(ImageEntry entry);

  const ImageCodec& codec_;
  std::vector<ImageEntry> entries_;
  // The list positions by path, and by the input field's folder + path for a plain name.
  std::unordered_map<std::string, int> positions_;
  // What the disk said of each name and path, for this document.
  mutable std::unordered_map<std::string, std::string> resolved_;
  mutable std::unordered_map<std::string, bool> exists_;
  std::vector<LeftOutPicture> left_out_;
  std::string current_input_;
  std::string output_file_;
  std::string input_field_;
};

// A file name from a tag as the file system knows it: converted to UTF-8; when that names no
// file and holds "?" (a character the PDF's code page lacks), the one file whose name, put into
// the code page the same way, gives the tag's text; when no file or several do, the name as it
// is (which names no file).
std::string ExistingFileFor(const std::string& utf8_path);

}  // namespace vellumox
