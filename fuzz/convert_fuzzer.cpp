// Feeds arbitrary bytes through the conversion of a text file, with markup on and off and with
// narrow and odd page figures, and checks the structure of every PDF that comes out.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "conversion/conversion.h"
#include "platform/file_system.h"
#include "support/pdf_structure_check.h"
#include "writer/document_writer.h"

namespace {

const std::string& WorkFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vellumox-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) std::abort();
    return std::string(made);
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const uint8_t width = data[1];
  const std::string input = WorkFolder() + "/in.txt";
  const std::string output = WorkFolder() + "/out.pdf";
  FILE* f = std::fopen(input.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 2, 1, size - 2, f);
  std::fclose(f);
  std::remove(output.c_str());

  static const int16_t kSizes[] = {4, 7, 10, 12, 18, 24, 36, 1};
  vellumox::ConversionSettings s;
  s.outputfile = output;
  s.UseTextFormating = flags & 1;
  s.FontSize = kSizes[(flags >> 1) & 7];
  s.FontName = (flags & 0x10) ? "Courier" : "CourierNew,BoldItalic";
  s.pheight = (flags & 0x20) ? 2.0f : 11.0f;  // short pages break often
  s.ShowPageNum = flags & 0x40;

  vellumox::DocumentWriter writer;
  vellumox::LineLayout layout(writer);
  if (flags & 0x80) layout.SetWrapWidth(static_cast<int32_t>(width) - 10);
  vellumox::ConvertText(input, s, writer, layout, nullptr);
  if (size > 2 && !writer.Succeeded()) {
    std::fprintf(stderr, "conversion failed: %s\n", writer.Failure().message.c_str());
    std::abort();
  }
  if (writer.Succeeded()) {
    std::string problem = vellumox::test::CheckPdfStructure(vellumox::ReadFileText(output));
    if (!problem.empty()) {
      std::fprintf(stderr, "bad PDF: %s\n", problem.c_str());
      std::abort();
    }
  }
  return 0;
}
