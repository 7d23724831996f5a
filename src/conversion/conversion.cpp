#include "conversion/conversion.h"

namespace vellumox {

Conversion::Conversion(ImageCodec& codec) : layout_(writer_), images_(writer_, layout_, codec) {
  writer_.SetLinePrinter(&layout_);
  writer_.SetImageHooks(&images_);
  layout_.SetImagePlacer(&images_);
}

void Conversion::SetPictureOptions(const PictureOptions& options) {
  images_.SetJpegOptions(options.jpeg);
  images_.SetInputField(options.input_field);
  images_.SetUseOldTop(options.use_old_top);
}

ConversionResult Conversion::Convert(const std::string& filename,
                                     const ConversionSettings& settings) {
  ConversionResult result;
  result.written = writer_.ConvertFile(filename, settings);
  result.failure = writer_.Failure();
  result.warnings = writer_.Warnings();
  return result;
}

}  // namespace vellumox
