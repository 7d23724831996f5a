#include "converter_ui/conversion.h"

namespace vellumox {

Conversion::Conversion(UserInteraction& ui, ImageCodec& codec)
    : writer_(ui), layout_(writer_), images_(writer_, layout_, codec) {
  writer_.SetLinePrinter(&layout_);
  writer_.SetImageHooks(&images_);
  layout_.SetImagePlacer(&images_);
}

void Conversion::SetPictureOptions(const PictureOptions& options) {
  images_.SetJpegOptions(options.jpeg);
  images_.SetInputField(options.input_field);
  images_.SetSettings(options.settings);
}

bool Conversion::ConvertFile(const std::string& filename, const ConversionSettings& settings) {
  return writer_.ConvertFile(filename, settings);
}

bool JobConverter::ConvertFile(const std::string& filename, const ConversionSettings& settings,
                               const std::string& input_field) {
  Conversion conversion(ui_, codec_);
  PictureOptions options = options_;
  options.input_field = input_field;
  conversion.SetPictureOptions(options);
  return conversion.ConvertFile(filename, settings);
}

}  // namespace vellumox
