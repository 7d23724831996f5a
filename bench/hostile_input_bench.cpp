// Hostile inputs that must take time in proportion to their size: a command line of long
// arguments full of switch-like text, and one line of 100,000 picture tags.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "conversion/conversion.h"
#include "converter_ui/command_line.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"

namespace {

void BM_CommandLineOfLongArguments(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  std::string text;
  while (text.size() < 120 * 1024) text += " -f";
  const std::vector<std::string> arguments(count, text);
  for (auto _ : state) {
    vellumox::ConverterControls controls = vellumox::MakeControls(vellumox::StartupFacts{});
    benchmark::DoNotOptimize(vellumox::ApplyCommandLine(arguments, controls));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * count * text.size()));
}
BENCHMARK(BM_CommandLineOfLongArguments)->Arg(15)->Unit(benchmark::kMillisecond);

// The same small picture named by every tag of one line: one look at the disk per picture.
void BM_PictureTagsOnOneLine(benchmark::State& state) {
  const int tags = static_cast<int>(state.range(0));
  vellumox::PrivateFolder folder;
  if (folder.Path().empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  // A 1 x 1 grey baseline JPEG.
  static const unsigned char kJpeg[] = {
      0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x08, 0x06, 0x06, 0x07, 0x06, 0x05, 0x08, 0x07,
      0x07, 0x07, 0x09, 0x09, 0x08, 0x0A, 0x0C, 0x14, 0x0D, 0x0C, 0x0B, 0x0B, 0x0C, 0x19, 0x12,
      0x13, 0x0F, 0x14, 0x1D, 0x1A, 0x1F, 0x1E, 0x1D, 0x1A, 0x1C, 0x1C, 0x20, 0x24, 0x2E, 0x27,
      0x20, 0x22, 0x2C, 0x23, 0x1C, 0x1C, 0x28, 0x37, 0x29, 0x2C, 0x30, 0x31, 0x34, 0x34, 0x34,
      0x1F, 0x27, 0x39, 0x3D, 0x38, 0x32, 0x3C, 0x2E, 0x33, 0x34, 0x32, 0xFF, 0xC0, 0x00, 0x0B,
      0x08, 0x00, 0x01, 0x00, 0x01, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x09, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01,
      0x01, 0x00, 0x00, 0x3F, 0x00, 0x2A, 0x9F, 0xFF, 0xD9};
  vellumox::WriteWholeFile(folder.File("red.jpg"),
                           std::string(reinterpret_cast<const char*>(kJpeg), sizeof kJpeg));
  std::string line;
  for (int i = 0; i < tags; ++i) line += "<img src=\"red.jpg\" width=5 height=5>";
  vellumox::WriteWholeFile(folder.File("tags.txt"), line + "\r\n");
  std::unique_ptr<vellumox::ImageCodec> codec = vellumox::MakeLibraryImageCodec();
  vellumox::ConversionSettings settings;
  settings.outputfile = folder.File("tags.pdf");
  for (auto _ : state) {
    vellumox::Conversion conversion(*codec);
    if (!conversion.Convert(folder.File("tags.txt"), settings).written) {
      state.SkipWithError("conversion failed");
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * tags);
}
BENCHMARK(BM_PictureTagsOnOneLine)->Arg(16000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
