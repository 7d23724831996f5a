// vellumox: converts the text file named on its command line into the PDF beside it.
#include <cstdio>
#include <string>

#include "converter_ui/batch_interaction.h"
#include "layout/line_layout.h"
#include "writer/conversion_settings.h"
#include "writer/document_writer.h"
#include "writer/path_names.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]).empty()) {
    std::fprintf(stderr, "usage: vellumox FILE\n");
    return 2;
  }
  vellumox::BatchInteraction ui;
  vellumox::ConversionSettings settings;  // the first-start choices
  const std::string input = argv[1];
  settings.outputfile = vellumox::WithPdfExtension(input, ".pdf");
  vellumox::DocumentWriter writer(ui);
  vellumox::LineLayout layout(writer);
  writer.SetLinePrinter(&layout);
  return writer.ConvertFile(input, settings) ? 0 : 1;
}
