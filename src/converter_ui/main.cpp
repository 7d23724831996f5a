// vellumox: converts the text file named on its command line into the PDF beside it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "converter_ui/batch_interaction.h"
#include "converter_ui/conversion.h"
#include "writer/conversion_settings.h"
#include "writer/path_names.h"

int main(int argc, char** argv) {
  vellumox::PictureOptions pictures;
  std::string input;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--keep-jpeg") {
      pictures.jpeg.keep_jpeg = true;
    } else if (arg.rfind("--jpeg-quality=", 0) == 0) {
      pictures.jpeg.quality = std::atoi(arg.c_str() + 15);
    } else {
      input = arg;
    }
  }
  if (input.empty()) {
    std::fprintf(stderr, "usage: vellumox [--keep-jpeg] [--jpeg-quality=N] FILE\n");
    return 2;
  }
  vellumox::BatchInteraction ui;
  vellumox::ConversionSettings settings;  // the first-start choices
  settings.outputfile = vellumox::WithPdfExtension(input, ".pdf");
  auto codec = vellumox::MakeLibraryImageCodec();
  vellumox::Conversion conversion(ui, *codec);
  pictures.input_field = input;
  conversion.SetPictureOptions(pictures);
  return conversion.ConvertFile(input, settings) ? 0 : 1;
}
