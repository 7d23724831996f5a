// Running the converter without a window: the command line is applied to the controls and
// converted; what happens goes to standard error, questions take their default answer ("No").
#pragma once

#include <string>

#include "conversion/job_events.h"
#include "run/front_end_options.h"

namespace vellumox {

// The job's events as lines on standard error: one "Processing" line per file, and every
// failure with its message.
class BatchEvents : public JobEvents {
 public:
  // Without the "Processing" lines; warnings and errors stay.
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  // How far each job is, as one line redrawn in place on a terminal (a line each elsewhere).
  void SetProgress(bool progress, bool terminal) {
    progress_ = progress;
    terminal_ = terminal;
  }
  // A file the run made for itself is shown by what it stands for ("standard input").
  void ShowAs(const std::string& file, const std::string& shown) {
    hidden_name_ = file;
    shown_name_ = shown;
  }
  void FileStarted(const std::string& input) override;
  void FileFailed(const FileFailure& failure) override;
  void PictureComposed(const std::string& picture) override;
  void PictureLeftOut(const std::string& picture, const std::string& reason) override;
  void Warning(const std::string& text) override;
  void JobFinished(const JobReport& report) override;
  void Progress(const JobProgress& progress) override;

 private:
  // Ends the progress line drawn in place, before anything else is said.
  void EndProgressLine();
  void Say(const std::string& text);

  bool quiet_ = false;
  bool progress_ = false;
  bool terminal_ = false;
  size_t drawn_ = 0;  // the length of the progress line on the terminal, 0 when none
  std::string hidden_name_, shown_name_;
};

// Prints each question with its default answer, which it takes; opens nothing.
class BatchQuestions : public JobQuestions {
 public:
  bool AskToOpenPdf(const std::string& pdf) override;
  bool AskToOpenFolder(const std::string& folder) override;
  void OpenPdf(const std::string&) override {}
  void OpenFolder(const std::string&) override {}
};

// Runs the command line without a window. program_folder holds the optional files.
int RunBatch(const FrontEndOptions& options, const std::string& program_folder);

}  // namespace vellumox
