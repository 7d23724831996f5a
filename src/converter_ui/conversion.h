// One conversion of a file into a PDF: the document writer with the line layout and the
// pictures attached. Each conversion owns its state and its temporary files, so conversions can
// run side by side.
#pragma once

#include <string>

#include "images/image_codec.h"
#include "images/image_embedder.h"
#include "layout/line_layout.h"
#include "writer/conversion_job.h"
#include "writer/conversion_settings.h"
#include "writer/document_writer.h"
#include "writer/user_interaction.h"

namespace vellumox {

struct PictureOptions {
  JpegOptions jpeg;
  std::string input_field;  // the input name as the user gave it
  const SettingsSource* settings = nullptr;
};

class Conversion {
 public:
  Conversion(UserInteraction& ui, ImageCodec& codec);
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  void SetPictureOptions(const PictureOptions& options);
  // Converts one text file (or album list); true when its PDF was written whole.
  bool ConvertFile(const std::string& filename, const ConversionSettings& settings);

  DocumentWriter& writer() { return writer_; }
  ImageEmbedder& images() { return images_; }

 private:
  DocumentWriter writer_;
  LineLayout layout_;
  ImageEmbedder images_;
};

// The converter that a conversion job uses: a fresh conversion for every file.
class JobConverter : public FileConverter {
 public:
  JobConverter(UserInteraction& ui, ImageCodec& codec, const PictureOptions& options)
      : ui_(ui), codec_(codec), options_(options) {}
  bool ConvertFile(const std::string& filename, const ConversionSettings& settings,
                   const std::string& input_field) override;

 private:
  UserInteraction& ui_;
  ImageCodec& codec_;
  PictureOptions options_;
};

}  // namespace vellumox
