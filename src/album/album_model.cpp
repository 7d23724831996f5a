#include "album/album_model.h"

#include <algorithm>
#include <unordered_set>

#include "conversion/file_patterns.h"
#include "images/picture_formats.h"
#include "platform/file_system.h"
#include "platform/product.h"
#include "platform/user_folders.h"
#include "writer/input_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Absolute(const std::string& path, const std::string& working_folder) {
  if (path.empty() || path[0] == '/') return path;
  return working_folder + (working_folder.empty() || working_folder.back() == '/' ? "" : "/") +
         path;
}

}  // namespace

int AlbumList::SelectedCount() const {
  return static_cast<int>(std::count(selected.begin(), selected.end(), true));
}

void AlbumList::Reset(std::vector<std::string> names) {
  entries = std::move(names);
  selected.assign(entries.size(), false);
  current = -1;
}

std::string AlbumPatterns(bool extra_formats) {
  return PatternList(kAlbumBuilderOrder, ";").substr(1) +
         (extra_formats ? PatternList(OptionalTypeOrder(), ";") : "") +
         AliasPatterns(extra_formats);
}

AlbumCommandLine ParseAlbumCommandLine(const std::vector<std::string>& arguments,
                                       const std::string& working_folder) {
  AlbumCommandLine line;
  line.empty = arguments.empty();
  // "/o" counts only as an argument of its own, never inside one: "/opt/photos" and a folder
  // named "ab /o" are folders.
  auto join = [](auto begin, auto end) {
    std::string text;
    for (auto it = begin; it != end; ++it) text += (it == begin ? "" : " ") + *it;
    return text;
  };
  auto at = std::find_if(arguments.begin(), arguments.end(),
                         [](const std::string& arg) { return EqualsIgnoreCase(arg, "/o"); });
  line.folder = join(arguments.begin(), at);
  if (at != arguments.end()) line.output = join(at + 1, arguments.end());
  line.folder = Absolute(line.folder, working_folder);
  if (line.output.find('/') != std::string::npos) {
    line.output = Absolute(line.output, working_folder);
  }
  return line;
}

std::string AlbumOutputPath(std::string output, const std::string& folder) {
  if (!EndsWithIgnoreCase(output, ".pdf")) output += ".pdf";
  if (output.find('/') == std::string::npos) output = folder + output;
  return output;
}

std::string FileNamePart(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadCustomAttributes(const std::string& path) {
  if (!FileExists(path)) return std::string();
  InputTextReader reader;
  std::string line;
  if (!reader.Open(path) || !reader.NextLine(line)) return std::string();
  line = Trimmed(line);
  return line.empty() ? std::string() : " " + line;
}

std::string AlbumStartFolder(const std::string& last_shown, const std::string& pictures,
                             const std::string& home, const std::string& program_folder) {
  for (const std::string& folder : {last_shown, pictures}) {
    if (!folder.empty() && IsFolder(folder) && !IsProgramFolder(folder, program_folder)) {
      return folder;
    }
  }
  return home;
}

bool IsProgramFolder(const std::string& folder, const std::string& program_folder) {
  return !program_folder.empty() && SameFile(folder, program_folder);
}

void StartAlbumModel(AlbumModel& model, const AlbumCommandLine& line,
                     const std::string& start_folder) {
  model.SetFolder(line.folder.empty() ? start_folder : line.folder);
  if (!line.empty) {
    model.SelectAllFiles();
    model.AddSelectedToAlbum();
  }
}

AlbumModel::AlbumModel(std::string patterns, bool extra_formats)
    : patterns_(std::move(patterns)), extra_formats_(extra_formats) {}

void AlbumModel::SetFolder(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  folder_ = std::move(folder);
  album.Reset({});
  RefreshFiles();
}

void AlbumModel::RefreshFiles() {
  files.Reset(MatchingNames(folder_, patterns_));
}

void AlbumModel::SelectAllFiles() {
  files.selected.assign(files.entries.size(), true);
  if (!files.entries.empty() && files.current < 0) files.current = 0;
}

int AlbumModel::FindInAlbum(const std::string& name) const {
  if (!FileExists(folder_ + name)) return -1;
  for (int i = 0; i < album.Count(); ++i) {
    if (EqualsIgnoreCase(album.entries[static_cast<size_t>(i)], name)) return i;
  }
  return -1;
}

void AlbumModel::AddSelectedToAlbum() {
  if (files.current < 0) return;
  // The album's names, letter case aside, looked up once each: adding k files to an album of n
  // costs n + k, not n x k.
  std::unordered_set<std::string> in_album;
  for (const std::string& entry : album.entries) in_album.insert(ToLowerAscii(entry));
  auto add = [&](const std::string& entry) {
    const std::string name = FileNamePart(entry);
    const std::string lower = ToLowerAscii(name);
    // As FindInAlbum decides: a name already there (letter case aside) whose file exists.
    if (in_album.count(lower) > 0 && FileExists(folder_ + name)) return;
    album.entries.push_back(name);
    album.selected.push_back(false);
    in_album.insert(lower);
  };
  if (files.SelectedCount() > 1) {
    for (int i = 0; i < files.Count(); ++i) {
      if (files.selected[static_cast<size_t>(i)]) add(files.entries[static_cast<size_t>(i)]);
    }
  } else if (files.current < files.Count()) {
    add(files.entries[static_cast<size_t>(files.current)]);
  }
}

void AlbumModel::CopyAllToAlbum() {
  std::vector<std::string> names;
  for (const std::string& entry : files.entries) names.push_back(FileNamePart(entry));
  album.Reset(std::move(names));
}

void AlbumModel::RemoveSelectedFromAlbum() {
  if (album.current < 0 || album.entries.empty() || album.SelectedCount() == 0) return;
  std::vector<std::string> kept;
  for (int i = 0; i < album.Count(); ++i) {
    if (!album.selected[static_cast<size_t>(i)])
      kept.push_back(album.entries[static_cast<size_t>(i)]);
  }
  album.Reset(std::move(kept));
}

void AlbumModel::MoveAlbumItemUp() {
  const int i = album.current;
  if (album.entries.empty() || i <= 0 || i >= album.Count()) return;
  std::swap(album.entries[static_cast<size_t>(i - 1)], album.entries[static_cast<size_t>(i)]);
  album.current = i - 1;
  album.selected[static_cast<size_t>(i - 1)] = true;
  album.selected[static_cast<size_t>(i)] = false;
}

void AlbumModel::MoveAlbumItemDown() {
  const int i = album.current;
  if (album.entries.empty() || i < 0 || i >= album.Count() - 1) return;
  std::swap(album.entries[static_cast<size_t>(i)], album.entries[static_cast<size_t>(i + 1)]);
  album.current = i + 1;
  album.selected[static_cast<size_t>(i + 1)] = true;
  album.selected[static_cast<size_t>(i)] = false;
}

bool AlbumModel::CanPreview(const std::string& path) const {
  const PictureType* type = PictureTypeOfName(path);
  return !(type && type->optional) || extra_formats_;
}

std::optional<std::string> AlbumModel::FileToDelete() const {
  const int i = files.current;
  if (i < 0 || i >= files.Count() || !files.selected[static_cast<size_t>(i)]) return std::nullopt;
  return files.entries[static_cast<size_t>(i)];
}

void AlbumModel::DeleteFile(const std::string& name) {
  const int k = FindInAlbum(name);
  if (k >= 0) {
    album.entries.erase(album.entries.begin() + k);
    album.selected.erase(album.selected.begin() + k);
    if (album.current >= album.Count()) album.current = album.Count() - 1;
  }
  RemoveFile(folder_ + name);
  RefreshFiles();
}

void AlbumModel::MakeCurrent(const std::string& name, int album_index) {
  files.current = -1;
  for (int i = 0; i < files.Count(); ++i) {
    if (files.entries[static_cast<size_t>(i)] == name) {
      files.current = i;
      files.selected[static_cast<size_t>(i)] = true;
      break;
    }
  }
  if (album_index >= 0 && album_index < album.Count()) {
    album.selected.assign(album.entries.size(), false);
    album.current = album_index;
    album.selected[static_cast<size_t>(album_index)] = true;
  }
}

std::vector<std::string> AlbumModel::MissingFromAlbum() const {
  std::vector<std::string> missing;
  for (const std::string& name : album.entries) {
    if (!FileExists(folder_ + name)) missing.push_back(name);
  }
  return missing;
}

void AlbumModel::RemoveMissingFromAlbum() {
  std::vector<std::string> kept;
  for (const std::string& name : album.entries) {
    if (FileExists(folder_ + name)) kept.push_back(name);
  }
  album.Reset(std::move(kept));
}

RenameOutcome AlbumModel::Rename(const std::string& old_name, const std::string& new_name) {
  if (new_name.empty() || EqualsIgnoreCase(new_name, old_name)) return RenameOutcome::kNothing;
  RenameOutcome outcome = RenameOutcome::kDone;
  int album_index = -1;
  std::string current = old_name;
  const std::string to = folder_ + new_name;
  if (IsRegularFile(to) || IsFolder(to)) {
    // A rename never overwrites: the other file would be lost.
    outcome = RenameOutcome::kNameTaken;
  } else if (!CopyFileToNew(folder_ + old_name, to) || !FileExists(to)) {
    outcome = RenameOutcome::kCopyFailed;
  } else {
    album_index = FindInAlbum(old_name);
    if (album_index >= 0) album.entries[static_cast<size_t>(album_index)] = FileNamePart(new_name);
    RemoveFile(folder_ + old_name);
    current = new_name;
  }
  // The file the user renamed (or meant to) stays the current and selected one, in both lists.
  RefreshFiles();
  MakeCurrent(current, album_index);
  return outcome;
}

AlbumRun AlbumModel::CreateAlbum(const std::string& output, const AlbumPlaces& places) const {
  AlbumRun run;
  const std::string user_ini = places.user_config_folder + "/custom.ini";
  const std::string attributes =
      ReadCustomAttributes(FileExists(user_ini) ? user_ini : places.program_folder + "/custom.ini");
  run.list_folder = std::make_unique<PrivateFolder>(kAlbumListFolderPrefix);
  if (run.list_folder->Path().empty()) return run;
  run.list_path = run.list_folder->File(std::string(kAlbumListName));
  AlbumListResult list = WriteAlbumList(run.list_path, folder_, album.entries, attributes);
  run.list_written = list.written;
  run.pictures = album.Count() - static_cast<int>(list.skipped.size()) - list.beyond_limit;
  run.skipped = std::move(list.skipped);
  run.beyond_limit = list.beyond_limit;
  const std::string converter = places.program_folder + "/" + std::string(kConverterProgram);
  if (run.list_written && FileExists(converter)) {
    run.converter = converter;
    // The list's tags are pictures whatever the converter's stored markup setting is; the
    // converter removes the list's folder when it ends. Title, subject and keywords belong to
    // one document: the album's are its own (its name as title), never the last text's; the
    // author, colours, font and page come from what the converter's window kept.
    std::string title = output.substr(output.find_last_of('/') + 1);
    if (EndsWithIgnoreCase(title, ".pdf")) title.resize(title.size() - 4);
    run.arguments = {"--album-list",
                     "--list-folder",
                     run.list_folder->Path(),
                     "-o",
                     output,
                     "-t",
                     title,
                     "-z",
                     "",
                     "-k",
                     "",
                     "--",
                     run.list_path};
    run.working_folder = places.program_folder;
  }
  return run;
}

}  // namespace vellumox
