// The converter's main window as data: every list with its entries, the text fields, the check
// boxes and the JPEG quality, and the window's rules that need no widget. The window shows this
// model; the command line, the settings and the conversion job work on it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/conversion_job.h"
#include "writer/conversion_settings.h"

namespace vellumox {

// A pick-only drop-down list.
struct ListControl {
  std::vector<std::string> entries;
  int selected = -1;
  // The number each entry stands for (points, degrees, inches), for the lists of numbers; the
  // settings are taken from these, never read back from the entries' text.
  std::vector<double> values;

  // Selects index when it is a valid position; false (and nothing changes) otherwise.
  bool Select(int index);
  // Selects the entry with exactly this text; false when there is none.
  bool SelectText(std::string_view text);
  // The selected entry's text, empty when nothing is selected.
  std::string Text() const;
  // The selected entry's number, 0 when nothing is selected.
  double Value() const;
  int Count() const { return static_cast<int>(entries.size()); }
};

// What the window finds at start-up.
struct StartupFacts {
  bool image_component = false;                // TIF, PNG, TGA, PCX and PSD can all be read
  bool album_present = false;                  // the album builder is in the program folder
  std::vector<std::string> custom_page_sizes;  // accepted lines of pagesize.ini
  std::vector<std::string> warnings;           // lines of pagesize.ini refused, and why
};

struct PageSize {
  float width = 0;   // inches
  float height = 0;  // inches
};

inline constexpr std::string_view kInteractiveAlbum = "Interactive Album";
inline constexpr int kJpegQualityMin = 1;
inline constexpr int kJpegQualityMax = 100;

// File-type list positions.
namespace file_type {
inline constexpr int kSingleFile = 0;
inline constexpr int kProcessDirectory = 1;
inline constexpr int kFirstAlbum = 2;  // "Make Album with JPG"
inline constexpr int kLastAlbum = 12;  // "Make Album with PSD"
}  // namespace file_type

struct ConverterControls {
  ListControl cmbFont, cmbFontSize, cmbRotation, cmbPageSize, cmbMargin, cmbTopMargin;
  ListControl cmbForeColor, cmbBackColor, cmbTransition, cmbFileType;
  std::string txtAuthor, txtCreator, txtKeywords, txtSubject, txtTitle;
  std::string txtFilename, txtOutputFile;
  // The user named the output (edited the field, chose a name, or gave -o) since the file type
  // or the input browse filled it: it is then an album's output even for a picture pattern.
  bool output_named = false;
  bool chkPageNum = false;
  bool chkFormatHeaders = true;  // checked at design
  bool chkSkipJPG = false;
  bool chkOpen = true;  // checked at design, never stored
  bool chkFullScreen = false;
  int hsJPEG = 100;
  bool btnAlbumVisible = false;
  std::vector<PageSize> page_sizes;  // each page-size entry's width and height
  std::string caption;               // the window's caption: the product's name and version
  // ";*.tif;*.png;*.tga;*.pcx;*.psd" when the extra formats can be read, else empty.
  std::string ExtraImagePatterns;
};

// The controls with their lists filled and their design-time states.
ConverterControls MakeControls(const StartupFacts& facts);

// A page-size entry's width (its leading number) and height (the number after its last "x",
// or of its last four characters when it has none), in inches.
PageSize PageSizeOf(std::string_view entry);

// The 19 settings of a conversion as the controls hold them (outputfile left empty).
ConversionSettings ReadSettings(const ConverterControls& controls);

// The conversion job that the Convert button starts with these controls.
JobRequest MakeJobRequest(const ConverterControls& controls, const std::string& command_line_text);

// The output field is disabled for "Single File" with a "*" in the input, and for
// "Process Directory"; enabled otherwise.
bool OutputFieldEnabled(const ConverterControls& controls);

// What a file-type change asks the window to do next.
enum class FileTypeAction { kFocusInput, kStartAlbumBuilder, kBrowseInput };
// Applies a file-type change (selecting index 0 again for "Interactive Album").
FileTypeAction ChangeFileType(ConverterControls& controls);

// The input browse with a chosen folder (folder and album types).
void ApplyBrowsedFolder(ConverterControls& controls, std::string folder);
// The input browse with a chosen file ("Single File").
void ApplyChosenInputFile(ConverterControls& controls, const std::string& file);
// The output browse with a chosen name.
void ApplyChosenOutputFile(ConverterControls& controls, const std::string& file);
// The names as "Produce PDF" takes them: a leading "~/" in either field stands for home (the
// user's home folder), and an empty output of a single input is derived from the input as
// the command line derives it.
void PrepareNames(ConverterControls& controls, const std::string& home);

// The open dialog's filter: pairs of description and patterns separated by "|".
std::string InputFilter(const ConverterControls& controls);

// "Click here to open": the path to open when the input or output label is clicked.
std::string InputLabelTarget(const ConverterControls& controls, bool left_button);
std::string OutputLabelTarget(const ConverterControls& controls);

}  // namespace vellumox
