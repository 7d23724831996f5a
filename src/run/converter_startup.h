// The start-up of the converter, shared by the window and the batch mode so that the two cannot
// drift apart. In the window's order: what the program folder and the picture libraries offer,
// the controls with their lists, and the command line kept (construction); then, after the
// splash, the stored settings and this run's options (Restore); then the command line applied
// (ApplyCommandLine). Save runs at the close.
#pragma once

#include <string>
#include <vector>

#include "conversion/conversion.h"
#include "conversion/conversion_job.h"
#include "images/image_codec.h"
#include "run/command_line.h"
#include "run/controls_model.h"
#include "run/front_end_options.h"
#include "run/settings_store.h"

namespace vellumox {

// What a run does, decided once from its command line, and followed by the window and by the
// batch mode alike.
struct RunPlan {
  enum class Kind {
    kNothing,  // nothing to convert: the window opens with the switches applied
    kHelp,     // "-?": the help
    kConvert,  // the jobs, one after another, unattended
    kRefused,  // the command line cannot be run as it stands: message says why
  };
  Kind kind = Kind::kNothing;
  std::vector<JobRequest> jobs;
  std::string message;
  bool message_is_error = false;
  int status = kExitDone;  // the exit status of a refused run
  // Standard input is saved into this file before the job, and the PDF of this file goes to
  // standard output after it (empty when not).
  std::string standard_input_file, standard_output_file;
};

// The exit status of a job's report, and the worse of two statuses (a failure, then nothing
// to convert, then a picture left out, then done).
int StatusOf(const JobReport& report);
int WorseStatus(int a, int b);

// The caption of a window that a command line opened with switches in force:
// "Vellumox PRO+ v1.7 — from the command line: -h" (the switches as typed, at most 60 bytes of
// them, then "…").
std::string CommandLineCaption(const std::vector<std::string>& switches);

struct StartupPlaces {
  std::string program_folder;      // where pagesize.ini and the album builder may be
  std::string user_config_folder;  // where the user's own pagesize.ini may be (it wins)
};

// Whether an argument names a picture of the optional types (TIF, PNG, TGA, PCX, PSD), whose
// reading decides whether it is an album: only then does an unattended run ask the picture
// libraries what they read (which starts the decoder helper).
bool NamesComponentPicture(const FrontEndOptions& options);

class ConverterStartup {
 public:
  // ask_image_component: whether the file types of the optional formats are offered when the
  // libraries read them; without it they are not (a run that names none of them never asks).
  ConverterStartup(SettingsStore& store, const ImageCodec& codec, StartupPlaces places,
                   const FrontEndOptions& options, bool ask_image_component = true);

  // The stored choices, then this run's --keep-jpeg and --jpeg-quality over them.
  void Restore();
  // The switches into the controls; what remains names the input (CommandLineText). Switches
  // that were ignored are described in Warnings().
  CommandLineOutcome ApplyCommandLine();
  // The run that the command line asks for, after ApplyCommandLine. Standard input and output
  // go through the two files given (in a private folder of the caller).
  RunPlan PlanRun(const std::string& standard_input_file,
                  const std::string& standard_output_file) const;
  // Lines of pagesize.ini refused, then the switches ignored.
  const std::vector<std::string>& Warnings() const { return warnings_; }
  // The controls' choices back into the store: when the user closes the window (the window's
  // close path), but by a run that converts from its command line (batch mode, or the window's
  // unattended run) only when it asks with --save, so that one run's switches never change the
  // next; never with --no-save. False when the store could not be written.
  bool Save(bool from_command_line);
  // Why Save could not keep the choices, in a sentence.
  std::string WhyNotKept() const;

  ConverterControls& controls() { return controls_; }
  const ConverterControls& controls() const { return controls_; }
  const std::string& CommandLineText() const { return command_line_.text; }
  // The arguments that name the input, as given (several inputs, as the shell expands them).
  const std::vector<std::string>& Inputs() const { return command_line_.inputs; }

  // The job that "Produce PDF" starts with the controls as they are.
  JobRequest MakeJobRequest() const;
  // How the job's conversions treat pictures.
  PictureOptions MakePictureOptions() const;
  // The album builder beside the converter, empty when it is not there.
  std::string AlbumProgram() const;

 private:
  SettingsStore& store_;
  StartupPlaces places_;
  FrontEndOptions options_;
  StartupFacts facts_;
  ConverterControls controls_;
  CommandLine command_line_;
  std::vector<std::string> warnings_;
};

}  // namespace vellumox
