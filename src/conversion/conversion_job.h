// The conversion job that the Convert button and an unattended command line start: one file,
// every file of a folder that matches a pattern, or a set of pictures made into one album.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "conversion/conversion.h"
#include "conversion/job_events.h"
#include "images/image_codec.h"
#include "writer/conversion_settings.h"

namespace vellumox {

// Converts one file of a job.
class FileConverter {
 public:
  virtual ~FileConverter() = default;
  // input_field is the input name as the user gave it; events learn the fate of the pictures,
  // pages_written the count of pages begun as it grows.
  virtual ConversionResult ConvertFile(const std::string& filename,
                                       const ConversionSettings& settings,
                                       const std::string& input_field, PictureEvents& events,
                                       const std::function<void(int)>& pages_written) = 0;
  // The format of a file that is a picture, whatever its name says: the codec reads it and
  // its header gives a size. kUnknown for anything else (text that merely starts like one).
  virtual ImageFormat PictureFormatOf(const std::string&) { return ImageFormat::kUnknown; }
};

// The converter of real jobs: a fresh conversion, with layout and pictures, for every file.
class JobConverter : public FileConverter {
 public:
  JobConverter(ImageCodec& codec, const PictureOptions& options)
      : codec_(codec), options_(options) {}
  ConversionResult ConvertFile(const std::string& filename, const ConversionSettings& settings,
                               const std::string& input_field, PictureEvents& events,
                               const std::function<void(int)>& pages_written) override;
  ImageFormat PictureFormatOf(const std::string& path) override;

 private:
  ImageCodec& codec_;
  PictureOptions options_;
};

struct JobRequest {
  std::string input_text;   // the input field
  std::string output_text;  // the output field
  // The user named the output (-o, standard output, or an output field edited after the file
  // type filled it): it is the album's PDF even for a picture pattern ("trip" gives trip.pdf),
  // where otherwise the pattern's folder holds "images.pdf".
  bool output_named = false;
  // Every input of the run that this job is part of: no output of the job is written over one.
  std::vector<std::string> run_inputs;
  ConversionSettings settings;  // from the controls; outputfile is set per file
  // ImagePatterns(), followed by ExtraImagePatterns() when those formats can be read.
  std::string image_patterns;
  // AliasPatterns() to match: an input that ends in one of these other names of the picture
  // types (".jpeg", ".tiff") is an album too.
  std::string alias_patterns;
  std::string command_line_text;  // what the command line left; decides an unattended run
  // How progress names an input that the run made for itself (the album builder's list): by
  // what it stands for. Empty: by its name.
  std::string shown_input;
  bool open_when_done = false;  // the open-when-done check box
};

// Runs the job. The job itself never fails: it tells what happens through events and asks its
// questions through questions.
JobReport RunConversionJob(const JobRequest& request, FileConverter& converter, JobEvents& events,
                           JobQuestions& questions);

}  // namespace vellumox
