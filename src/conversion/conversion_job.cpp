#include "conversion/conversion_job.h"

#include <set>
#include <vector>

#include "conversion/album_list.h"
#include "conversion/file_patterns.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "platform/stop.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

// Counts the pictures left out while passing every event on.
class CountingEvents : public PictureEvents {
 public:
  CountingEvents(JobEvents& events, JobReport& report) : events_(events), report_(report) {}
  void PictureConverted(const std::string& picture) override { events_.PictureConverted(picture); }
  void PictureLeftOut(const std::string& picture, const std::string& reason) override {
    ++report_.pictures_left_out;
    events_.PictureLeftOut(picture, reason);
  }

 private:
  JobEvents& events_;
  JobReport& report_;
};

class JobRun {
 public:
  JobRun(const JobRequest& request, FileConverter& converter, JobEvents& events,
         JobQuestions& questions)
      : request_(request),
        converter_(converter),
        events_(events),
        questions_(questions),
        picture_events_(events, report_) {}

  JobReport Run();

 private:
  // album: the input is an album list, whose image tags are pictures whatever the settings say.
  void ConvertOne(const std::string& input, const std::string& output, bool album = false);
  void Fail(const std::string& input, const std::string& message);
  bool WrittenAlready(const std::string& output) const;
  void ConvertAlbum(const std::string& input, const std::string& album_output);

  const JobRequest& request_;
  FileConverter& converter_;
  JobEvents& events_;
  JobQuestions& questions_;
  JobReport report_;
  CountingEvents picture_events_;
  PrivateFolder private_folder_;
  // The PDFs this job has written, by name and by file (one stat per file, however many).
  std::set<std::string> written_names_;
  std::set<FileIdentity> written_files_;
};

void JobRun::Fail(const std::string& input, const std::string& message) {
  ++report_.failures;
  events_.FileFailed(FileFailure{input, FailureKind::kError, message});
}

bool JobRun::WrittenAlready(const std::string& output) const {
  if (written_names_.count(output) > 0) return true;
  std::optional<FileIdentity> file = IdentityOf(output);
  return file && written_files_.count(*file) > 0;
}

void JobRun::ConvertOne(const std::string& input, const std::string& output, bool album) {
  // A stop ends the job before its next file; what the job finished stays.
  if (StopRequested()) {
    report_.stopped = true;
    return;
  }
  // An album's progress names its pattern, not the list file the job made for it.
  events_.FileStarted(album ? request_.input_text : input);
  ++report_.conversions;
  // A conversion never writes onto its own input.
  if (!input.empty() && !output.empty() && (input == output || SameFile(input, output))) {
    Fail(input, "'" + input + "' is skipped: its PDF would be written over the file itself.");
    return;
  }
  // Nor over a PDF that this job has written (a.txt and a.TXT both give a.pdf).
  if (WrittenAlready(output)) {
    Fail(input,
         "'" + input + "' is skipped: its PDF '" + output + "' was written by this job already.");
    return;
  }
  ConversionSettings settings = request_.settings;
  settings.outputfile = output;
  if (album) settings.UseTextFormating = true;
  ConversionResult result =
      converter_.ConvertFile(input, settings, request_.input_text, picture_events_);
  for (const std::string& warning : result.warnings) events_.Warning(warning);
  if (result.written) {
    written_names_.insert(output);
    if (std::optional<FileIdentity> file = IdentityOf(output)) written_files_.insert(*file);
  } else if (result.failure.kind == FailureKind::kStopped || StopRequested()) {
    report_.stopped = true;
  } else {
    ++report_.failures;
    events_.FileFailed(FileFailure{input, result.failure.kind, result.failure.message});
  }
}

// The pictures that match the input, one a page, through an album list in a private folder.
void JobRun::ConvertAlbum(const std::string& input, const std::string& album_output) {
  const std::string folder = FolderOfPath(input);
  std::vector<std::string> names = MatchingFiles(input);
  for (std::string& name : names) name = name.substr(folder.size());
  if (names.empty()) {
    Fail(input, "No pictures match '" + input + "'.");
    return;
  }
  const std::string& where = private_folder_.Path();
  const std::string list = where + "/~temp.txt";
  AlbumListResult written;
  if (!where.empty()) written = WriteAlbumList(list, folder, names);
  if (!written.written) {
    Fail(input, "Cannot write the album list in a temporary folder.");
    return;
  }
  for (const LeftOutName& left_out : written.skipped) {
    picture_events_.PictureLeftOut(folder + left_out.name, left_out.reason);
  }
  if (written.skipped.size() == names.size()) {
    Fail(input, "None of the pictures of '" + input + "' can be put in an album.");
    return;
  }
  ConvertOne(list, album_output, true);
}

JobReport JobRun::Run() {
  const std::string& input = request_.input_text;
  const std::string& output = request_.output_text;
  bool wildcard = input.find('*') != std::string::npos;
  std::string final_output = output;
  if (!((!input.empty() && !output.empty()) || wildcard)) {
    report_.names_missing = true;
    events_.JobFinished(report_);
    return report_;
  }

  if (IsAlbumInput(input, request_.image_patterns)) {
    wildcard = false;
    final_output = (input.find('*') != std::string::npos || output.empty())
                       ? FolderOfPath(input) + "images.pdf"
                       : WithPdfExtension(output, ".pdf");
    events_.OutputChosen(final_output);
    ConvertAlbum(input, final_output);
  } else if (wildcard) {
    // The matches are taken once, now, so PDFs that the job writes are never picked up.
    const std::string folder = FolderOfPath(input);
    std::vector<std::string> files = MatchingFiles(input);
    if (files.empty()) Fail(input, "No file matches " + input + ".");
    for (const std::string& file : files) ConvertOne(file, WithPdfExtension(file, ".pdf"));
  } else {
    ConvertOne(input, output);
  }

  const std::string& command_line = request_.command_line_text;
  report_.unattended = FileExists(command_line) || (wildcard && !command_line.empty());
  if (StopRequested()) report_.stopped = true;
  events_.JobFinished(report_);
  if (report_.unattended || report_.stopped) return report_;
  if (wildcard) {
    const std::string folder = FolderOfPath(input);
    if (questions_.AskToOpenFolder(folder)) questions_.OpenFolder(folder);
  } else if (request_.open_when_done) {
    questions_.OpenPdf(final_output);
  } else if (questions_.AskToOpenPdf(final_output)) {
    questions_.OpenPdf(final_output);
  }
  return report_;
}

}  // namespace

ConversionResult JobConverter::ConvertFile(const std::string& filename,
                                           const ConversionSettings& settings,
                                           const std::string& input_field, PictureEvents& events) {
  Conversion conversion(codec_);
  PictureOptions options = options_;
  options.input_field = input_field;
  conversion.SetPictureOptions(options);
  conversion.SetPictureEvents(&events);
  return conversion.Convert(filename, settings);
}

JobReport RunConversionJob(const JobRequest& request, FileConverter& converter, JobEvents& events,
                           JobQuestions& questions) {
  return JobRun(request, converter, events, questions).Run();
}

}  // namespace vellumox
