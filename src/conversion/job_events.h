// What a conversion job tells and asks while it runs. The window and the batch mode each
// implement these: the window as its caption, message boxes and questions, the batch mode as
// lines on standard error and default answers.
#pragma once

#include <string>
#include <string_view>

#include "images/picture_events.h"
#include "writer/document_writer.h"

namespace vellumox {

// A file of the job that gave no PDF.
struct FileFailure {
  std::string input;  // the file as the job named it (a pattern, for an album without pictures)
  FailureKind kind = FailureKind::kError;
  std::string message;  // what the user is told
};

struct JobReport {
  int conversions = 0;         // files handed to the converter
  int written = 0;             // PDFs written whole
  int failures = 0;            // conversions that reported an error, and skipped files
  int pictures_left_out = 0;   // pictures that could not be embedded
  int characters_missing = 0;  // characters that no installed font has, drawn as "?"
  int invalid_text = 0;        // conversions whose text held bytes of no character, shown as "?"
  bool unattended = false;     // the job ran from the command line: the program ends after it
  bool names_missing = false;  // nothing was converted: see kNamesMissingMessage
  bool stopped = false;        // a stop ended the job before its end
};

inline constexpr std::string_view kNamesMissingMessage = "Please specify file names.";

// The job's messages and questions hold carriage returns between their lines; on a screen or a
// terminal they read as line feeds (a carriage return and a line feed become one line feed).
inline std::string MessageLines(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// How far a job is: the file among the files of a folder job, the picture among a document's
// pictures while they are converted, the pages written of the document.
struct JobProgress {
  std::string input;  // as FileStarted told it
  int file = 0;       // a folder job's file, from 1, of files (0 and 0 for one input)
  int files = 0;
  int picture = 0;  // pictures converted (or left out), of pictures
  int pictures = 0;
  int pages = 0;  // pages begun
};

// "Processing notes.txt — page 1,234", "Processing /pics/*.jpg — picture 120 of 2,000",
// "Processing /docs/b.txt — file 3 of 40, page 12".
std::string ProgressCaption(const JobProgress& progress);

// Events, in the order they happen; all are told on the thread that runs the job.
class JobEvents : public PictureEvents {
 public:
  // A file's conversion starts (the album list, for an album).
  virtual void FileStarted(const std::string& input) { (void)input; }
  // An album job chose its output name.
  virtual void OutputChosen(const std::string& output) { (void)output; }
  virtual void FileFailed(const FileFailure& failure) { (void)failure; }
  // How far the job is; told at most ten times a second.
  virtual void Progress(const JobProgress& progress) { (void)progress; }
  // Something the input asked for was changed to make a sound PDF (a size beyond the page,
  // kept within bounds); the PDF is written all the same.
  virtual void Warning(const std::string& text) { (void)text; }
  // Every conversion has ended; the questions of the job, if any, follow.
  virtual void JobFinished(const JobReport& report) { (void)report; }
};

// What is said of a picture whose partial transparency was composed onto the page colour, after
// "picture 'NAME': ".
inline constexpr std::string_view kComposedNote =
    "its partial transparency was composed onto the page colour";

inline constexpr std::string_view kOpenPdfQuestion =
    "PDF file is done.\r\rDo you want to open the generated PDF file?";
inline constexpr std::string_view kStopQuestion = "Stop the conversion?";
inline constexpr std::string_view kOpenFolderQuestion =
    "PDF files are done.\r\rDo you want to open the folder with generated PDF files?";

// What the user is asked at the end of a job run from the window, and what is opened for them.
class JobQuestions {
 public:
  virtual ~JobQuestions() = default;
  // kOpenPdfQuestion, answered Yes (true) or No (the default).
  virtual bool AskToOpenPdf(const std::string& pdf) = 0;
  // kOpenFolderQuestion, answered Yes (true) or No (the default).
  virtual bool AskToOpenFolder(const std::string& folder) = 0;
  // Shows the PDF, or the folder, in the desktop's application for it.
  virtual void OpenPdf(const std::string& pdf) = 0;
  virtual void OpenFolder(const std::string& folder) = 0;
};

}  // namespace vellumox
