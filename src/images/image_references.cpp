#include "images/image_references.h"

#include <optional>

#include "layout/markup_rules.h"
#include "layout/markup_scanner.h"
#include "layout/text_rules.h"
#include "platform/file_system.h"
#include "writer/code_page.h"
#include "writer/input_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

// The picture name that the collection reads from a tag's src, as the file system spells names
// (UTF-8). The collection reads the input's lines by the rules that were made for text escaped
// for a PDF string: doubled backslashes become single, and "\(" and "\)" lose their backslash.
std::string CollectedValue(std::string_view tag) {
  std::string value = TagAttribute(tag, "src", "");
  if (value.find('\\') == std::string::npos) return value;
  value = ReplaceAll(value, "\\\\", "\\", CompareMode::kExact);
  value = ReplaceAll(value, "\\(", "(", CompareMode::kExact);
  return ReplaceAll(value, "\\)", ")", CompareMode::kExact);
}

// The name from a tag of a Windows-1252 line, in UTF-8.
std::string CollectedName(std::string_view tag) {
  return Windows1252ToUtf8(CollectedValue(tag));
}

// The name from a tag of a UTF-8 line: as written, for messages; and as it is looked for, the
// same way as a line in Windows-1252 gives it (a character that the code page lacks as "?",
// which the lookup matches against the folder), so that layout finds the same picture.
struct CollectedNames {
  std::string written;
  std::string looked_for;
};
CollectedNames CollectedUtf8Names(std::string_view tag) {
  CollectedNames names;
  names.written = CollectedValue(tag);
  std::string bytes;
  Utf8ToWindows1252(names.written, bytes);
  names.looked_for = Windows1252ToUtf8(bytes);
  return names;
}

// Whether a file's name is the one that a tag's text means: the name, put into the PDF's code
// page as the text was, gives the same bytes. So "?" stands only for a character the code page
// lacks, never for any character.
bool NameMeansTheSame(std::string_view name, std::string_view utf8_text) {
  return PlatformTextToWindows1252(name) == PlatformTextToWindows1252(utf8_text);
}

// Resolves each part of the path that holds "?" to the one entry of its folder that it means;
// nullopt when no entry or several do.
std::optional<std::string> ResolveWildcards(const std::string& path) {
  std::string resolved;
  size_t start = 0;
  if (!path.empty() && path[0] == '/') {
    resolved = "/";
    start = 1;
  }
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    std::string part =
        path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.find('?') != std::string::npos) {
      std::string folder = resolved.empty() ? "." : resolved;
      std::string match;
      int count = 0;
      for (const std::string& name : ListFolder(folder)) {
        if (NameMeansTheSame(name, part)) {
          match = name;
          ++count;
        }
      }
      if (count != 1) return std::nullopt;
      part = match;
    }
    resolved += part;
    if (slash == std::string::npos) break;
    resolved += '/';
    start = slash + 1;
  }
  return resolved;
}

// Whether the file holds "src=" in any letter case: a file without it names no picture, and
// telling that from the raw bytes is much cheaper than reading it line by line. "src=" is the
// same bytes in UTF-8 and Windows-1252; UTF-16 text is always read line by line.
bool MayNamePictures(const std::string& filename) {
  FileHandle file = FileHandle::OpenForReading(filename);
  if (!file.IsOpen()) return true;  // the line pass reports nothing either; let it decide
  std::string buffer(1 << 18, '\0');
  std::string tail;  // the last bytes of the previous chunk
  bool found = false;
  bool first = true;
  for (;;) {
    int64_t n = file.ReadSome(buffer.data(), buffer.size());
    if (n < 0) {
      found = true;
      break;
    }
    if (n == 0) break;
    std::string_view chunk(buffer.data(), static_cast<size_t>(n));
    if (first && (chunk.substr(0, 2) == "\xFF\xFE" || chunk.substr(0, 2) == "\xFE\xFF")) {
      found = true;
      break;
    }
    first = false;
    for (size_t at = chunk.find('='); at != std::string_view::npos; at = chunk.find('=', at + 1)) {
      std::string before =
          at >= 3 ? std::string(chunk.substr(at - 3, 3))
                  : tail.substr(std::min(tail.size(), at)) + std::string(chunk.substr(0, at));
      if (EqualsIgnoreCase(before, "src")) {
        found = true;
        break;
      }
    }
    if (found) break;
    tail = std::string(chunk.substr(chunk.size() - std::min<size_t>(3, chunk.size())));
  }
  return found;
}

}  // namespace

std::string ExistingFileFor(const std::string& utf8_path) {
  if (FileExists(utf8_path) || utf8_path.find('?') == std::string::npos) return utf8_path;
  std::optional<std::string> found = ResolveWildcards(utf8_path);
  return found && FileExists(*found) ? *found : utf8_path;
}

bool ImageReferences::AcceptsName(std::string_view name) const {
  const PictureType* type = PictureTypeOfName(name);
  if (!type) return false;
  return type->optional ? codec_.HasImageComponent() : codec_.CanRead(type->format);
}

std::string ImageReferences::RefusalReason(std::string_view name) const {
  const PictureType* type = PictureTypeOfName(name);
  // A helper that cannot be asked is no fault of the picture: its reason is told.
  if (type && !codec_.CanRead(type->format) && !codec_.WhyUnreadable().empty()) {
    return codec_.WhyUnreadable();
  }
  if (type && type->optional) {
    return std::string(type->extension.substr(1)) + " pictures cannot be read here";
  }
  return "its type is not one that can be embedded";
}

void ImageReferences::ResetImages() {
  entries_.clear();
  left_out_.clear();
  positions_.clear();
  resolved_.clear();
  exists_.clear();
}

void ImageReferences::AddEntry(ImageEntry entry) {
  const int position = static_cast<int>(entries_.size()) + 1;
  // The first entry that a path means wins, as a search from the top of the list would find.
  positions_.emplace(entry.path, position);
  if (entry.path.find_first_of("\\/") == std::string::npos) {
    positions_.emplace(FolderOfPath(input_field_) + entry.path, position);
  }
  entries_.push_back(std::move(entry));
}

void ImageReferences::CollectImages(const std::string& filename, bool use_text_formatting) {
  ResetImages();
  if (!use_text_formatting) return;
  if (!FileExists(filename)) return;
  current_input_ = filename;
  if (!MayNamePictures(filename)) return;
  InputTextReader reader;
  reader.KeepCharacters();  // a picture is named in messages as the text writes it
  if (!reader.Open(filename)) return;
  std::string_view line;
  while (reader.NextLine(line)) {
    // A line without a tag, or without "src=", names no picture.
    if (line.find('<') == std::string_view::npos ||
        FindIgnoreCase(line, "src=") == std::string_view::npos) {
      continue;
    }
    // The tags' syntax is ASCII: UTF-8 lines are scanned as they are.
    const bool utf8 = reader.LinesAreUtf8();
    MarkupScanner scanner(line);
    size_t start = 0;
    while (std::optional<PictureTag> picture = scanner.NextPictureTag(start)) {
      CollectedNames names;
      if (utf8) {
        names = CollectedUtf8Names(picture->tag);
      } else {
        names.written = names.looked_for = CollectedName(picture->tag);
      }
      const std::string& written = names.written;
      const std::string src = ResolveName(names.looked_for);
      const bool listed = FindImage(src) != 0;
      if (!listed && AcceptsName(src) && Exists(src) &&
          static_cast<int>(entries_.size()) < kMaxImages) {
        AddEntry(ImageEntry{src, written, 0, {}});
      } else if (!listed && picture->named_img) {
        NoteLeftOut(written, names.looked_for, src);
      }
    }
  }
}

void ImageReferences::NoteLeftOut(const std::string& written, const std::string& looked_for,
                                  const std::string& src) {
  LeftOutPicture picture{written, ""};
  for (const LeftOutPicture& known : left_out_) {
    if (known.written == picture.written) return;  // once per picture
  }
  if (picture.written.empty()) {
    picture.reason = "the tag names no picture";
  } else if (!AcceptsName(src)) {
    picture.reason = RefusalReason(src);
  } else if (FileLength(src) == 0 || FileLength(looked_for) == 0 ||
             FileLength(FolderOfPath(current_input_) + looked_for) == 0) {
    picture.reason = "the file is empty";
  } else if (TypeOf(src) != FileType::kNone && TypeOf(src) != FileType::kRegular) {
    picture.reason = "not a regular file";
  } else if (!FileExists(src)) {
    picture.reason = "no such file";
  } else {
    picture.reason = "more than " + std::to_string(kMaxImages) + " pictures in one document";
  }
  left_out_.push_back(std::move(picture));
}

std::string ImageReferences::PlacedPath(std::string_view tag) const {
  return ResolveName(Windows1252ToUtf8(TagAttribute(tag, "src", "")));
}

std::string ImageReferences::ResolveName(const std::string& value) const {
  auto [known, fresh] = resolved_.try_emplace(value);
  if (!fresh) return known->second;
  std::string as_written = ExistingFileFor(value);
  if (Exists(as_written)) return known->second = as_written;
  std::string beside_input = ExistingFileFor(FolderOfPath(current_input_) + value);
  if (Exists(beside_input)) return known->second = beside_input;
  return known->second = FolderOfPath(output_file_) + value;
}

bool ImageReferences::Exists(const std::string& resolved) const {
  auto [known, fresh] = exists_.try_emplace(resolved, false);
  if (fresh) known->second = FileExists(resolved);
  return known->second;
}

int ImageReferences::FindImage(std::string_view path) const {
  // File names on this platform tell letter case apart.
  const std::string name = path.find("\\\\") == std::string_view::npos
                               ? std::string(path)
                               : ReplaceAll(path, "\\\\", "\\", CompareMode::kExact);
  auto found = positions_.find(name);
  return found == positions_.end() ? 0 : found->second;
}

}  // namespace vellumox
