#include "run/batch_mode.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "conversion/conversion_job.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "platform/stop.h"
#include "platform/user_folders.h"
#include "run/converter_startup.h"
#include "run/settings_store.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

void Say(const std::string& text) {
  std::fprintf(stderr, "vellumox: %s\n", MessageLines(text).c_str());
}

void SayError(const std::string& text) {
  std::fprintf(stderr, "vellumox: error: %s\n", MessageLines(text).c_str());
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

void BatchEvents::PictureComposed(const std::string& picture) {
  Say("picture '" + ShownName(picture) + "': " + std::string(kComposedNote));
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
  // A run that names no picture of the optional types never asks what the libraries read, so
  // that a plain-text run does not start the picture decoder helper.
  ConverterStartup startup(store, *codec, {program_folder, UserConfigFolder()}, options,
                           NamesComponentPicture(options));
  startup.Restore();
  startup.ApplyCommandLine();
  for (const std::string& warning : startup.Warnings()) Say("warning: " + warning);

  // Standard input and output go through files of a private folder: the converter reads its
  // input twice and writes its output under a temporary name.
  PrivateFolder io;
  const std::string stdin_file = options.stdin_input ? io.File("standard-input.txt") : "";
  const std::string stdout_file = options.stdout_output ? io.File("standard-output.pdf") : "";
  BatchEvents events;
  events.SetQuiet(options.quiet);
  events.SetProgress(options.progress, isatty(STDERR_FILENO) == 1);
  events.ShowAs(stdin_file, "standard input");

  // What the run does is the start-up's decision, the same as the window's; here it is carried
  // out without a window.
  const RunPlan plan = startup.PlanRun(stdin_file, stdout_file);
  int status = kExitDone;
  switch (plan.kind) {
    case RunPlan::Kind::kHelp:
      std::printf("%s\n", MessageLines(HelpText()).c_str());
      break;
    case RunPlan::Kind::kNothing:
      Say(plan.message);
      status = kExitNothing;
      break;
    case RunPlan::Kind::kRefused:
      if (plan.message_is_error) {
        SayError(plan.message);
      } else {
        Say(plan.message);
      }
      status = plan.status;
      break;
    case RunPlan::Kind::kConvert: {
      int error = 0;
      if (!plan.standard_input_file.empty() &&
          !SaveStandardInput(plan.standard_input_file, &error)) {
        if (!StopRequested()) SayError("Cannot read standard input: " + SystemErrorText(error));
        status = kExitFailed;
        break;
      }
      if (!plan.standard_input_file.empty() && FileLength(plan.standard_input_file) == 0) {
        // As an empty file is: nothing to convert.
        Say("Nothing to convert: standard input is empty.");
        status = kExitNothing;
        break;
      }
      JobConverter converter(*codec, startup.MakePictureOptions());
      BatchQuestions questions;
      for (const JobRequest& request : plan.jobs) {
        status =
            WorseStatus(status, StatusOf(RunConversionJob(request, converter, events, questions)));
      }
      if (!plan.standard_output_file.empty() && status != kExitFailed && status != kExitNothing &&
          !StopRequested() && !CopyToStandardOutput(plan.standard_output_file, &error) &&
          !StopRequested()) {
        SayError("Cannot write the PDF to standard output: " + SystemErrorText(error));
        status = kExitFailed;
      }
      break;
    }
  }
  // A stop (a signal, a reader of standard output that went) ends the run as the signal
  // would have: the partial files are gone with their owners, nothing is kept.
  if (StopRequested()) return 128 + (StopSignal() != 0 ? StopSignal() : SIGTERM);
  // A run keeps its switches for the next one only when it asks (--save); a run that had
  // nothing to convert (a slip such as "vellumox -h") changes nothing in any case.
  if (status != kExitNothing && !startup.Save(true)) {
    Say("warning: the switches of this run were not kept: " + startup.WhyNotKept());
  }
  return status;
}

}  // namespace vellumox
