#include "converter_ui/batch_mode.h"

#include <cstdio>

#include "conversion/conversion_job.h"
#include "converter_ui/converter_startup.h"
#include "converter_ui/settings_store.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/user_folders.h"

namespace vellumox {

namespace {

void Say(const std::string& text) {
  std::fprintf(stderr, "vellumox: %s\n", MessageLines(text).c_str());
}

void SayError(const std::string& text) {
  std::fprintf(stderr, "vellumox: error: %s\n", MessageLines(text).c_str());
}

}  // namespace

void BatchEvents::FileStarted(const std::string& input) {
  Say("Processing " + input);
}

void BatchEvents::FileFailed(const FileFailure& failure) {
  if (failure.kind == FailureKind::kInputMissing) {
    Say(failure.message);
  } else {
    SayError(failure.message);
  }
}

void BatchEvents::PictureLeftOut(const std::string& picture, const std::string& reason) {
  Say("picture '" + picture + "' left out: " + reason);
}

void BatchEvents::JobFinished(const JobReport& report) {
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

  int status = kExitDone;
  const CommandLineOutcome outcome = startup.ApplyCommandLine();
  for (const std::string& warning : startup.Warnings()) Say("warning: " + warning);
  switch (outcome) {
    case CommandLineOutcome::kHelp:
      std::printf("%s\n", MessageLines(HelpText()).c_str());
      break;
    case CommandLineOutcome::kNothing: {
      const std::string& rest = startup.CommandLineText();
      if (rest.empty()) {
        Say("Nothing to convert: name a file, a folder pattern or pictures (see --help).");
      } else if (FileLength(rest) == 0) {
        Say("Nothing to convert: '" + rest + "' is empty.");
      } else {
        Say("Nothing to convert: '" + rest + "' names no file.");
      }
      status = kExitNothing;
      break;
    }
    case CommandLineOutcome::kConvert: {
      JobConverter converter(*codec, startup.MakePictureOptions());
      BatchEvents events;
      BatchQuestions questions;
      JobReport report = RunConversionJob(startup.MakeJobRequest(), converter, events, questions);
      if (report.names_missing) {
        status = kExitNothing;
      } else if (report.failures > 0) {
        status = kExitFailed;
      } else if (report.pictures_left_out > 0) {
        status = kExitPicturesLeftOut;
      }
      break;
    }
  }
  // The window's close path saves the choices, so switches given now apply to the next run; a
  // run that had nothing to convert (a slip such as "vellumox -h") changes nothing.
  if (status != kExitNothing) startup.Save();
  return status;
}

}  // namespace vellumox
