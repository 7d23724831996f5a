#include "conversion/conversion_job.h"

#include <chrono>
#include <map>
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

// Tells the job's progress, at most ten times a second (and always when a count starts).
class ProgressTeller {
 public:
  explicit ProgressTeller(JobEvents& events) : events_(events) {}
  JobProgress& progress() { return progress_; }
  void Tell(bool now = false) {
    const auto time = std::chrono::steady_clock::now();
    if (!now && time - last_ < std::chrono::milliseconds(100)) return;
    last_ = time;
    events_.Progress(progress_);
  }

 private:
  JobEvents& events_;
  JobProgress progress_;
  std::chrono::steady_clock::time_point last_{};
};

// Counts the pictures left out and converted while passing every event on.
class CountingEvents : public PictureEvents {
 public:
  CountingEvents(JobEvents& events, JobReport& report, ProgressTeller& progress)
      : events_(events), report_(report), progress_(progress) {}
  void PicturesToConvert(int count) override {
    progress_.progress().picture = 0;
    progress_.progress().pictures = count;
  }
  void PictureConverted(const std::string& picture) override {
    events_.PictureConverted(Named(picture));
    Counted();
  }
  void PictureComposed(const std::string& picture) override {
    events_.PictureComposed(Named(picture));
  }
  void PictureLeftOut(const std::string& picture, const std::string& reason) override {
    ++report_.pictures_left_out;
    events_.PictureLeftOut(Named(picture), reason);
    Counted();
  }
  // A picture that the job copied under another name is told by its own.
  void NameCopy(std::string copy, std::string original) {
    copy_ = std::move(copy);
    original_ = std::move(original);
  }

 private:
  void Counted() {
    JobProgress& p = progress_.progress();
    if (p.picture >= p.pictures) return;  // a name left out of the album list, before any
    p.picture += 1;
    progress_.Tell(p.picture == p.pictures);
  }

  const std::string& Named(const std::string& picture) const {
    return !copy_.empty() && picture == copy_ ? original_ : picture;
  }

  JobEvents& events_;
  JobReport& report_;
  ProgressTeller& progress_;
  std::string copy_, original_;
};

class JobRun {
 public:
  JobRun(const JobRequest& request, FileConverter& converter, JobEvents& events,
         JobQuestions& questions)
      : request_(request),
        converter_(converter),
        events_(events),
        questions_(questions),
        progress_(events),
        picture_events_(events, report_, progress_) {}

  JobReport Run();

 private:
  // album: the input is an album list, whose image tags are pictures whatever the settings say.
  // source: the user's file that such a list stands for, named in progress and failures.
  void ConvertOne(const std::string& input, const std::string& output, bool album = false,
                  const std::string& source = {});
  void Fail(const std::string& input, const std::string& message);
  bool WrittenAlready(const std::string& output) const;
  // The input of this run (another than named) that output would be written over, or empty.
  std::string OtherInputAt(const std::string& output, const std::string& named) const;
  void ConvertAlbum(const std::string& input, const std::string& album_output);
  // A file of a single-file or folder job: a picture, whatever its name, becomes a page of its
  // own, never a page of text made of its bytes.
  void ConvertFileOrPicture(const std::string& input, const std::string& output);
  void ConvertPicture(const std::string& input, const std::string& output, ImageFormat format);
  // Writes the album list of names (in folder) into the private folder: its path, or empty
  // after telling the failure.
  std::string WriteList(const std::string& input, const std::string& folder,
                        const std::vector<std::string>& names, AlbumListResult& written);

  const JobRequest& request_;
  FileConverter& converter_;
  JobEvents& events_;
  JobQuestions& questions_;
  JobReport report_;
  ProgressTeller progress_;
  CountingEvents picture_events_;
  PrivateFolder private_folder_;
  // The PDFs this job has written, by name and by file (one stat per file, however many).
  std::set<std::string> written_names_;
  std::set<FileIdentity> written_files_;
  // The inputs of the run, and the files a pattern matched, by name and by file.
  std::vector<std::string> inputs_;
  std::map<FileIdentity, std::string> input_files_;
};

std::string JobRun::OtherInputAt(const std::string& output, const std::string& named) const {
  const std::optional<FileIdentity> file = IdentityOf(output);
  if (file) {
    auto found = input_files_.find(*file);
    if (found != input_files_.end() && !SameFile(found->second, named)) return found->second;
  }
  for (const std::string& input : inputs_) {
    if (input == output && input != named) return input;
  }
  return std::string();
}

void JobRun::Fail(const std::string& input, const std::string& message) {
  ++report_.failures;
  events_.FileFailed(FileFailure{input, FailureKind::kError, message});
}

bool JobRun::WrittenAlready(const std::string& output) const {
  if (written_names_.count(output) > 0) return true;
  std::optional<FileIdentity> file = IdentityOf(output);
  return file && written_files_.count(*file) > 0;
}

void JobRun::ConvertOne(const std::string& input, const std::string& output, bool album,
                        const std::string& source) {
  // A stop ends the job before its next file; what the job finished stays.
  if (StopRequested()) {
    report_.stopped = true;
    return;
  }
  // An album's progress names its pattern (or picture), not the list file the job made for it.
  const std::string& shown = !source.empty() ? source
                             : !request_.shown_input.empty() && input == request_.input_text
                                 ? request_.shown_input
                                 : (album ? request_.input_text : input);
  events_.FileStarted(shown);
  ++report_.conversions;
  JobProgress& progress = progress_.progress();
  progress.input = shown;
  progress.file += progress.files > 0 ? 1 : 0;
  progress.picture = progress.pictures = progress.pages = 0;
  // A conversion never writes onto its own input.
  const std::string& named = source.empty() ? input : source;
  if (!named.empty() && !output.empty() && (named == output || SameFile(named, output))) {
    Fail(named, "'" + named + "' is skipped: its PDF would be written over the file itself.");
    return;
  }
  // Nor over another input of the run, which would be lost before it is read.
  if (const std::string other = OtherInputAt(output, named); !other.empty()) {
    Fail(named, "'" + named + "' is skipped: its PDF '" + output + "' would be written over '" +
                    other + "', another input of this run.");
    return;
  }
  // Nor over a PDF that this job has written (a.txt and a.TXT both give a.pdf).
  if (WrittenAlready(output)) {
    Fail(named,
         "'" + named + "' is skipped: its PDF '" + output + "' was written by this job already.");
    return;
  }
  ConversionSettings settings = request_.settings;
  settings.outputfile = output;
  if (album) settings.UseTextFormating = true;
  ConversionResult result = converter_.ConvertFile(input, settings, request_.input_text,
                                                   picture_events_, [this](int pages) {
                                                     progress_.progress().pages = pages;
                                                     progress_.Tell();
                                                   });
  for (const std::string& warning : result.warnings) events_.Warning(warning);
  report_.characters_missing += result.characters_missing;
  report_.invalid_text += result.invalid_sequences > 0 ? 1 : 0;
  if (result.written) {
    ++report_.written;
    written_names_.insert(output);
    if (std::optional<FileIdentity> file = IdentityOf(output)) written_files_.insert(*file);
  } else if (result.failure.kind == FailureKind::kStopped || StopRequested()) {
    report_.stopped = true;
  } else {
    ++report_.failures;
    events_.FileFailed(FileFailure{named, result.failure.kind, result.failure.message});
  }
}

void JobRun::ConvertFileOrPicture(const std::string& input, const std::string& output) {
  const ImageFormat format = converter_.PictureFormatOf(input);
  if (format == ImageFormat::kUnknown) {
    ConvertOne(input, output);
  } else {
    ConvertPicture(input, output, format);
  }
}

void JobRun::ConvertPicture(const std::string& input, const std::string& output,
                            ImageFormat format) {
  const std::string& where = private_folder_.Path();
  if (where.empty()) {
    Fail(input, "Cannot write the album list in a temporary folder.");
    return;
  }
  // An image tag takes a picture by the type its name says, so a picture under another name
  // ("scan.txt") is copied to one that says it ("picture.jpg").
  std::string picture = input;
  const PictureType* type = PictureTypeOfName(input);
  if (!type || type->format != format) {
    picture = where + "/picture" + std::string(ExtensionOf(format));
    RemoveFile(picture);
    int error = 0;
    if (!CopyFileToNew(input, picture, &error)) {
      Fail(input,
           "Cannot copy '" + input + "' to a temporary folder: " + SystemErrorText(error) + ".");
      return;
    }
    picture_events_.NameCopy(picture, input);
  }
  const std::string folder = FolderOfPath(picture);
  AlbumListResult written;
  const std::string list = WriteList(input, folder, {picture.substr(folder.size())}, written);
  if (!list.empty() && !written.skipped.empty()) {
    Fail(input, "'" + input + "' cannot be put in an album: " + written.skipped[0].reason + ".");
  } else if (!list.empty()) {
    ConvertOne(list, output, true, input);
  }
  if (picture != input) RemoveFile(picture);
}

std::string JobRun::WriteList(const std::string& input, const std::string& folder,
                              const std::vector<std::string>& names, AlbumListResult& written) {
  const std::string& where = private_folder_.Path();
  const std::string list = where + "/~temp.txt";
  if (!where.empty()) written = WriteAlbumList(list, folder, names);
  if (!written.written) {
    Fail(input, "Cannot write the album list in a temporary folder.");
    return std::string();
  }
  return list;
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
  AlbumListResult written;
  const std::string list = WriteList(input, folder, names, written);
  if (list.empty()) return;
  for (const LeftOutName& left_out : written.skipped) {
    picture_events_.PictureLeftOut(folder + left_out.name, left_out.reason);
  }
  if (written.beyond_limit > 0) {
    report_.pictures_left_out += written.beyond_limit;
    events_.Warning(BeyondLimitMessage(written.beyond_limit));
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

  // The whole run is known before anything is written: no output may replace one of its
  // inputs.
  auto note_inputs = [&](const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      inputs_.push_back(name);
      if (std::optional<FileIdentity> file = IdentityOf(name)) input_files_.emplace(*file, name);
    }
  };
  note_inputs(request_.run_inputs);

  if (IsAlbumInput(input, request_.image_patterns, request_.alias_patterns)) {
    wildcard = false;
    // The output that the user named, or the pattern's folder's "images.pdf".
    const bool pattern = input.find('*') != std::string::npos;
    if (request_.output_named && pattern) {
      final_output = PdfName(output);
    } else if (pattern || output.empty()) {
      final_output = FolderOfPath(input) + "images.pdf";
    } else {
      final_output = WithPdfExtension(output, ".pdf");
    }
    events_.OutputChosen(final_output);
    ConvertAlbum(input, final_output);
  } else if (wildcard) {
    // The matches are taken once, now, so PDFs that the job writes are never picked up.
    const std::string folder = FolderOfPath(input);
    std::vector<std::string> files = MatchingFiles(input);
    note_inputs(files);
    if (files.empty()) Fail(input, "No file matches " + input + ".");
    progress_.progress().files = static_cast<int>(files.size());
    for (const std::string& file : files) {
      ConvertFileOrPicture(file, WithPdfExtension(file, ".pdf"));
    }
  } else {
    ConvertFileOrPicture(input, output);
  }

  const std::string& command_line = request_.command_line_text;
  report_.unattended = FileExists(command_line) || (wildcard && !command_line.empty());
  if (StopRequested()) report_.stopped = true;
  events_.JobFinished(report_);
  if (report_.unattended || report_.stopped) return report_;
  // After a failure the error message is the last word: there is nothing to open.
  if (report_.written == 0) return report_;
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

std::string ProgressCaption(const JobProgress& p) {
  // Thousands apart by commas: "1,234".
  auto count = [](int n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
      digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
  };
  std::string caption = "Processing " + p.input;
  std::string how;
  if (p.files > 1) how = "file " + count(p.file) + " of " + count(p.files);
  std::string within;
  if (p.pictures > 0 && p.picture < p.pictures) {
    within = "picture " + count(p.picture) + " of " + count(p.pictures);
  } else if (p.pages > 0) {
    within = "page " + count(p.pages);
  }
  if (!within.empty()) how += (how.empty() ? "" : ", ") + within;
  return how.empty() ? caption : caption + " \xE2\x80\x94 " + how;
}

ConversionResult JobConverter::ConvertFile(const std::string& filename,
                                           const ConversionSettings& settings,
                                           const std::string& input_field, PictureEvents& events,
                                           const std::function<void(int)>& pages_written) {
  Conversion conversion(codec_);
  conversion.SetPageProgress(pages_written);
  PictureOptions options = options_;
  options.input_field = input_field;
  conversion.SetPictureOptions(options);
  conversion.SetPictureEvents(&events);
  return conversion.Convert(filename, settings);
}

ImageFormat JobConverter::PictureFormatOf(const std::string& path) {
  const ImageFormat format = SniffImageFile(path);
  if (format == ImageFormat::kUnknown || !codec_.CanRead(format)) return ImageFormat::kUnknown;
  std::string error;
  std::optional<PixelSize> size = codec_.ReadSize(path, format, &error);
  return size && size->width > 0 && size->height > 0 ? format : ImageFormat::kUnknown;
}

JobReport RunConversionJob(const JobRequest& request, FileConverter& converter, JobEvents& events,
                           JobQuestions& questions) {
  return JobRun(request, converter, events, questions).Run();
}

}  // namespace vellumox
