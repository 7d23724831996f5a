#include "converter_ui/batch_mode.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "conversion/conversion_job.h"
#include "converter_ui/converter_startup.h"
#include "converter_ui/settings_store.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "platform/stop.h"
#include "platform/user_folders.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

void Say(const std::string& text) {
  std::fprintf(stderr, "vellumox: %s\n", MessageLines(text).c_str());
}

void SayError(const std::string& text) {
  std::fprintf(stderr, "vellumox: error: %s\n", MessageLines(text).c_str());
}

// The exit status of a job's report.
int StatusOf(const JobReport& report) {
  if (report.names_missing) return kExitNothing;
  if (report.failures > 0) return kExitFailed;
  if (report.pictures_left_out > 0) return kExitPicturesLeftOut;
  return kExitDone;
}

// The worse of two statuses of conversions: a failure, then a picture left out, then done.
int Worse(int a, int b) {
  auto rank = [](int status) {
    return status == kExitFailed            ? 3
           : status == kExitNothing         ? 2
           : status == kExitPicturesLeftOut ? 1
                                            : 0;
  };
  return rank(a) >= rank(b) ? a : b;
}

// Why a command line names nothing to convert.
void SayNothing(const std::string& rest) {
  if (rest.empty()) {
    Say("Nothing to convert: name a file, a folder pattern or pictures (see --help).");
  } else if (FileLength(rest) == 0) {
    Say("Nothing to convert: '" + rest + "' is empty.");
  } else {
    Say("Nothing to convert: '" + rest + "' names no file.");
  }
}

}  // namespace

void BatchEvents::EndProgressLine() {
  if (drawn_ == 0) return;
  std::fputc('\n', stderr);
  drawn_ = 0;
}

void BatchEvents::Say(const std::string& text) {
  EndProgressLine();
  vellumox::Say(text);
}

void BatchEvents::FileStarted(const std::string& input) {
  if (!quiet_) Say("Processing " + (input == hidden_name_ ? shown_name_ : input));
}

void BatchEvents::Progress(const JobProgress& progress) {
  if (!progress_ || quiet_) return;
  JobProgress shown = progress;
  if (shown.input == hidden_name_) shown.input = shown_name_;
  const std::string line = "vellumox: " + ProgressCaption(shown);
  if (!terminal_) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return;
  }
  // Redrawn in place: blanks cover what a longer line before left.
  std::fprintf(stderr, "\r%s%s", line.c_str(),
               std::string(drawn_ > line.size() ? drawn_ - line.size() : 0, ' ').c_str());
  std::fflush(stderr);
  drawn_ = line.size();
}

void BatchEvents::FileFailed(const FileFailure& failure) {
  if (failure.kind == FailureKind::kStopped) return;
  EndProgressLine();
  if (failure.kind == FailureKind::kInputMissing) {
    Say(failure.message);
  } else {
    SayError(failure.message);
  }
}

void BatchEvents::PictureLeftOut(const std::string& picture, const std::string& reason) {
  if (StopRequested()) return;  // what a stop cut short is no fault of the picture
  Say("picture '" + ShownName(picture) + "' left out: " + reason);
}

void BatchEvents::Warning(const std::string& text) {
  Say("warning: " + text);
}

void BatchEvents::JobFinished(const JobReport& report) {
  EndProgressLine();
  if (report.names_missing) Say(std::string(kNamesMissingMessage));
}

bool BatchQuestions::AskToOpenPdf(const std::string&) {
  Say(std::string(kOpenPdfQuestion) + " [No]");
  return false;
}

bool BatchQuestions::AskToOpenFolder(const std::string&) {
  Say(std::string(kOpenFolderQuestion) + " [No]");
  return false;
}

int RunBatch(const FrontEndOptions& options, const std::string& program_folder) {
  std::unique_ptr<ImageCodec> codec = MakeLibraryImageCodec();
  IniSettingsStore store;
  ConverterStartup startup(store, *codec, {program_folder, UserConfigFolder()}, options);
  startup.Restore();
  const CommandLineOutcome outcome = startup.ApplyCommandLine();
  for (const std::string& warning : startup.Warnings()) Say("warning: " + warning);
  ConverterControls& controls = startup.controls();

  // Standard input and output go through files of a private folder: the converter reads its
  // input twice and writes its output under a temporary name.
  PrivateFolder io;
  const std::string stdin_file = options.stdin_input ? io.File("standard-input.txt") : "";
  const std::string stdout_file = options.stdout_output ? io.File("standard-output.pdf") : "";
  BatchEvents events;
  events.SetQuiet(options.quiet);
  events.SetProgress(options.progress, isatty(STDERR_FILENO) == 1);
  events.ShowAs(stdin_file, "standard input");

  std::vector<JobRequest> jobs;
  int status = kExitDone;
  if (outcome == CommandLineOutcome::kHelp) {
    std::printf("%s\n", MessageLines(HelpText()).c_str());
  } else if (options.stdin_input) {
    int error = 0;
    if (outcome == CommandLineOutcome::kConvert || !startup.CommandLineText().empty()) {
      Say("'-' reads the input from standard input: name no other input.");
      status = kExitNothing;
    } else if (!options.stdout_output && controls.txtOutputFile.empty()) {
      Say("Standard input needs an output: -o FILE or -o -.");
      status = kExitNothing;
    } else if (!options.stdout_output && StandardInputIdentity() &&
               StandardInputIdentity() == IdentityOf(controls.txtOutputFile)) {
      // As a named input is never written over by its own PDF.
      SayError("Standard input is the file '" + controls.txtOutputFile +
               "' itself: its PDF would be written over it.");
      status = kExitFailed;
    } else if (!SaveStandardInput(stdin_file, &error)) {
      if (!StopRequested()) SayError("Cannot read standard input: " + SystemErrorText(error));
      status = kExitFailed;
    } else {
      JobRequest request = startup.MakeJobRequest();
      request.input_text = stdin_file;
      request.output_text = options.stdout_output ? stdout_file : controls.txtOutputFile;
      request.command_line_text = stdin_file;
      jobs.push_back(request);
    }
  } else if (outcome == CommandLineOutcome::kConvert) {
    JobRequest request = startup.MakeJobRequest();
    if (options.stdout_output) request.output_text = stdout_file;
    jobs.push_back(request);
  } else {
    // Several inputs, as the shell expands them: each must name a file.
    const std::vector<std::string>& inputs = startup.Inputs();
    bool all_files = inputs.size() >= 2;
    for (const std::string& input : inputs) all_files = all_files && FileExists(input);
    if (!all_files) {
      SayNothing(startup.CommandLineText());
      status = kExitNothing;
    } else if (!controls.txtOutputFile.empty() || options.stdout_output) {
      Say("-o names the PDF of a single input; these are " + std::to_string(inputs.size()) +
          ": each goes to its own PDF without -o.");
      status = kExitNothing;
    } else {
      for (const std::string& input : inputs) {
        JobRequest request = startup.MakeJobRequest();
        request.input_text = input;
        request.output_text = WithPdfExtension(input, ".pdf");
        request.command_line_text = input;  // the job ends the run, as for one input
        jobs.push_back(request);
      }
    }
  }

  if (!jobs.empty()) {
    JobConverter converter(*codec, startup.MakePictureOptions());
    BatchQuestions questions;
    for (const JobRequest& request : jobs) {
      status = Worse(status, StatusOf(RunConversionJob(request, converter, events, questions)));
    }
    int error = 0;
    if (options.stdout_output && status != kExitFailed && status != kExitNothing &&
        !StopRequested() && !CopyToStandardOutput(stdout_file, &error) && !StopRequested()) {
      SayError("Cannot write the PDF to standard output: " + SystemErrorText(error));
      status = kExitFailed;
    }
  }
  // A stop (a signal, a reader of standard output that went) ends the run as the signal
  // would have: the partial files are gone with their owners, nothing is kept.
  if (StopRequested()) return 128 + (StopSignal() != 0 ? StopSignal() : SIGTERM);
  // The window's close path saves the choices, so switches given now apply to the next run; a
  // run that had nothing to convert (a slip such as "vellumox -h") changes nothing.
  if (status != kExitNothing && !startup.Save()) {
    Say("warning: the switches of this run were not kept: '" + startup.StorePath() +
        "' cannot be written.");
  }
  return status;
}

}  // namespace vellumox
