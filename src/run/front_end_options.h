// The options of this platform's front end: arguments that begin with two dashes, taken out of
// the command line before the converter's own switches are read.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellumox {

struct FrontEndOptions {
  bool batch = false;
  bool version = false;
  bool formats = false;  // the picture formats that can be read
  bool help = false;
  bool keep_jpeg = false;
  bool album_list = false;  // the input is an album list: its image tags are always pictures
  // --markup, --page-numbers, --no-full-screen: undo -h, -n and -u (kept like them).
  bool markup = false;
  bool page_numbers = false;
  bool no_full_screen = false;
  bool quiet = false;     // no "Processing" lines
  bool progress = false;  // how far each job is, on standard error (never with quiet)
  bool save = false;      // a run that converts from its command line keeps its switches
  bool no_save = false;   // nothing of this run is kept, not even by the window's close
  bool compress = false;  // page contents compressed with Flate, this run only
  // --open: the window with the input and its PDF filled in, converting only when the user
  // presses "Produce PDF" (what the desktop's "open with" runs).
  bool open = false;
  bool stdin_input = false;    // "-": the input is standard input
  bool stdout_output = false;  // "-o -": the PDF goes to standard output
  std::optional<int> jpeg_quality;
  // --list-folder: the album builder's private folder of the album list, which this run
  // removes when it ends.
  std::string list_folder;
  // Everything else before "--", in order: the converter's switches with their values, and
  // the inputs.
  std::vector<std::string> arguments;
  // What follows "--": inputs, never switches or options.
  std::vector<std::string> literal_inputs;
  std::string error;  // an unknown or malformed option
};

FrontEndOptions ParseFrontEndOptions(const std::vector<std::string>& args);

struct ConverterControls;

// --help: the help of "-?", the values of every index switch (the lists of controls, page sizes
// from pagesize.ini included), these options and the exit statuses.
std::string LongHelpText(const ConverterControls& controls);

// Exit statuses.
inline constexpr int kExitDone = 0;     // every conversion wrote its PDF
inline constexpr int kExitFailed = 1;   // a conversion reported an error
inline constexpr int kExitNothing = 2;  // nothing to convert, or a bad option
// Every PDF written, but something the input asked for is missing: a picture left out, or a
// character that no installed font has (drawn as "?").
inline constexpr int kExitPicturesLeftOut = 3;

}  // namespace vellumox
