// The conversion job that the Convert button and an unattended command line start: one file,
// every file of a folder that matches a pattern, or a set of pictures made into one album.
#pragma once

#include <string>
#include <vector>

#include "writer/conversion_settings.h"
#include "writer/user_interaction.h"

namespace vellumox {

// Converts one file; implemented by the front end over a full conversion (layout, pictures).
class FileConverter {
 public:
  virtual ~FileConverter() = default;
  // True when the PDF was written whole. input_field is the input name as the user gave it.
  virtual bool ConvertFile(const std::string& filename, const ConversionSettings& settings,
                           const std::string& input_field) = 0;
};

// What the job shows while it runs.
class JobObserver {
 public:
  virtual ~JobObserver() = default;
  // The window's caption: "Processing " + the current file, then the caption as it was.
  virtual void SetCaption(const std::string& caption) { (void)caption; }
  // The output name that an album job chose, shown in the output field.
  virtual void ShowOutputName(const std::string& name) { (void)name; }
};

struct JobRequest {
  std::string input_text;       // the input field
  std::string output_text;      // the output field
  ConversionSettings settings;  // from the controls; outputfile is set per file
  // ";*.jpg;*.gif;*.bmp;*.wmf;*.emf;*.rle;*.ico" and, with the extra formats, the rest.
  std::string image_patterns;
  std::string command_line_text;  // what the command line left; decides an unattended run
  bool open_when_done = false;    // the open-when-done check box
  std::string caption;            // the window's caption, restored at the end
};

struct JobReport {
  int conversions = 0;         // files handed to the converter
  int failures = 0;            // conversions that reported an error, and skipped files
  bool unattended = false;     // the program ends after the job
  bool names_missing = false;  // "Please specify file names."
};

inline constexpr std::string_view kImagePatterns = ";*.jpg;*.gif;*.bmp;*.wmf;*.emf;*.rle;*.ico";
inline constexpr std::string_view kExtraImagePatterns = ";*.tif;*.png;*.tga;*.pcx;*.psd";

// Runs the job. Messages and questions go through ui; the job itself never fails, it reports.
JobReport RunConversionJob(const JobRequest& request, FileConverter& converter, UserInteraction& ui,
                           JobObserver& observer);

// The regular files that a name pattern ("*" and "?" in its last part) matches, letters
// compared without regard to case as the pattern means on the platforms the converter came
// from, sorted by name. A name without wildcards matches itself when it is a file.
std::vector<std::string> MatchingFiles(const std::string& pattern);

// Whether an input text makes an album: its last four characters, without regard to case, occur
// in the image pattern list.
bool IsAlbumInput(const std::string& input_text, const std::string& image_patterns);

}  // namespace vellumox
