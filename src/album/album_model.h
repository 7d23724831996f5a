// The album builder as data: the folder, its picture list and the album list with their
// current entries and selections, and every rule of the album window that needs no widget.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/album_list.h"
#include "platform/private_folder.h"

namespace vellumox {

// A list box: its entries, the current entry and which entries are selected.
struct AlbumList {
  std::vector<std::string> entries;
  int current = -1;
  std::vector<bool> selected;  // as long as entries

  int Count() const { return static_cast<int>(entries.size()); }
  int SelectedCount() const;
  // Sets the entries; nothing is current or selected.
  void Reset(std::vector<std::string> names);
};

// The program's places: where custom.ini and the converter are.
struct AlbumPlaces {
  std::string program_folder;      // without a trailing "/"
  std::string user_config_folder;  // a custom.ini here wins over the program folder's
};

// FOLDER and OUTPUT of the album builder's command line.
struct AlbumCommandLine {
  bool empty = true;  // nothing was given
  std::string folder;
  std::string output;
};

// The album builder's options, besides its folder: the tests hold the usage, the completion and
// the manual page to them.
inline constexpr std::string_view kAlbumOptions[] = {"/o", "--help"};

// An argument "/o" (any case) separates FOLDER from OUTPUT; the arguments on each side are
// joined by blanks, and never read again for "/o" or quotes. Relative names are made absolute
// against working_folder (an OUTPUT without "/" stays a name: it goes into the album's folder).
AlbumCommandLine ParseAlbumCommandLine(const std::vector<std::string>& arguments,
                                       const std::string& working_folder);

// The text after the last "/", or the whole text when it has none.
std::string FileNamePart(const std::string& path);

// " " + the first line of the file, trimmed of blanks; empty when the file does not exist, is
// empty, or its first line is.
std::string ReadCustomAttributes(const std::string& path);

// What CreateAlbum did: the list written, and the converter to start on it.
struct AlbumRun {
  bool list_written = false;
  int pictures = 0;                    // the pictures in the list
  std::string list_path;               // ~album.txt, in a private folder of this run
  std::vector<LeftOutName> skipped;    // pictures left out of the list, and why
  int beyond_limit = 0;                // pictures left out past the most an album holds
  std::string converter;               // empty when the converter is not there
  std::vector<std::string> arguments;  // the converter's arguments
  std::string working_folder;
  // The list's folder: removed with this run unless it is handed to the converter (Release),
  // which then removes it when it ends.
  std::unique_ptr<PrivateFolder> list_folder;
};

enum class RenameOutcome { kDone, kNothing, kNameTaken, kCopyFailed };

class AlbumModel {
 public:
  // patterns: the file list's patterns ("*.jpg;*.bmp;..."); extra_formats: TIF, PNG, TGA, PCX
  // and PSD can all be read.
  AlbumModel(std::string patterns, bool extra_formats);

  // "/" appended when missing; the album empties and the file list shows the folder.
  void SetFolder(std::string folder);
  const std::string& Folder() const { return folder_; }
  // The file list anew from the folder (F5), in natural order (NaturalLess).
  void RefreshFiles();
  const std::string& Patterns() const { return patterns_; }

  AlbumList files;
  AlbumList album;

  void AddSelectedToAlbum();
  void CopyAllToAlbum();
  void RemoveSelectedFromAlbum();
  void MoveAlbumItemUp();
  void MoveAlbumItemDown();
  // The album index of a name (letter case aside) whose file exists and is not empty; -1.
  int FindInAlbum(const std::string& name) const;
  // Selects every file (the command line's start-up).
  void SelectAllFiles();
  // The album's names whose files are no longer in the folder (deleted or renamed elsewhere),
  // and the album without them.
  std::vector<std::string> MissingFromAlbum() const;
  void RemoveMissingFromAlbum();

  // The path that a preview of the file or album entry shows.
  std::string PathOf(const std::string& name) const { return folder_ + name; }
  // Whether a preview of the path may be decoded: the extra formats only when all can be read.
  bool CanPreview(const std::string& path) const;

  // "Delete File": the name of the current file when it may be deleted (it is current and
  // selected), else nullopt.
  std::optional<std::string> FileToDelete() const;
  // Deletes the file from the disk and the album.
  void DeleteFile(const std::string& name);
  // "Rename": copies the current file to the new name, then deletes the old one; a new name
  // that exists already is refused and nothing changes. Afterwards the file is the current and
  // selected entry of the file list, and of the album when it is there (in its place).
  RenameOutcome Rename(const std::string& old_name, const std::string& new_name);

  // Writes the album list into a private folder of its own, so that albums made side by side
  // never share one, and says how to start the converter on it for the output PDF.
  AlbumRun CreateAlbum(const std::string& output, const AlbumPlaces& places) const;

 private:
  // name the current and selected file; album_index the current and only selected album entry
  // (none when -1).
  void MakeCurrent(const std::string& name, int album_index);

  std::string patterns_;
  bool extra_formats_;
  std::string folder_;
};

// The folder that the album builder shows at start when the command line names none: the one
// it showed last, else the user's pictures folder, else the home folder; whichever of the
// first two is still a folder and not the program's (albums are never made there).
std::string AlbumStartFolder(const std::string& last_shown, const std::string& pictures,
                             const std::string& home, const std::string& program_folder);

// Whether a folder is the program's own (by what it is, whatever the name it is reached by).
bool IsProgramFolder(const std::string& folder, const std::string& program_folder);
// What the save dialog says of an album named into the program's folder.
inline constexpr const char* kNotInProgramFolder =
    "Albums are not written into the program's folder; choose another folder.";

// The start-up's model: the folder of the command line, else start_folder; with a command
// line, every listed file in the album in file-list order.
void StartAlbumModel(AlbumModel& model, const AlbumCommandLine& line,
                     const std::string& start_folder);

// The file list's patterns: the album builder's own, and the extra formats when they can all be
// read; then the other names of those types (*.jpeg, *.tiff).
std::string AlbumPatterns(bool extra_formats);

// An OUTPUT from the command line as CreateAlbum takes it: ".pdf" appended unless it ends so
// (letter case aside), and the folder put before a plain name.
std::string AlbumOutputPath(std::string output, const std::string& folder);

}  // namespace vellumox
