// Hostile inputs that must take time in proportion to their size: a command line of long
// arguments full of switch-like text, one line of 100,000 picture tags, one letter under a pile
// of combining marks, and a text of distinct characters that no installed face has.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "conversion/conversion.h"
#include "run/command_line.h"
#include "images/image_codec.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "writer/code_page.h"

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

// Converts a UTF-8 text of its own, once per iteration.
void ConvertText(benchmark::State& state, const std::string& text) {
  vellumox::PrivateFolder folder;
  if (folder.Path().empty() || !vellumox::WriteWholeFile(folder.File("text.txt"), text)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::unique_ptr<vellumox::ImageCodec> codec = vellumox::MakeLibraryImageCodec();
  vellumox::ConversionSettings settings;
  settings.outputfile = folder.File("text.pdf");
  for (auto _ : state) {
    vellumox::Conversion conversion(*codec);
    conversion.Convert(folder.File("text.txt"), settings);
    if (!vellumox::FileExists(settings.outputfile)) state.SkipWithError("conversion failed");
  }
}

std::string Utf8(char32_t c) {
  std::string out;
  vellumox::AppendUtf8(c, out);
  return out;
}

// One letter under marks of several kinds: the shaper's work grows with the square of a
// cluster's length, so clusters must stay short (after 30 marks a new one starts).
void BM_LetterUnderAPileOfMarks(benchmark::State& state) {
  std::string text = "a";
  for (int64_t i = 0; i < state.range(0); ++i) {
    text += Utf8(0x0300 + static_cast<char32_t>(i * 7 % 0x6F));
  }
  ConvertText(state, text + "\n");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LetterUnderAPileOfMarks)->Arg(66000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Distinct characters of CJK Extension B, which no face of a usual system has: each must cost
// no more than any other character (no search of the faces for every one).
void BM_DistinctCharactersThatNoFaceHas(benchmark::State& state) {
  std::string text;
  for (int64_t i = 0; i < state.range(0); ++i) {
    text += Utf8(0x20000 + static_cast<char32_t>(i));
    if (i % 40 == 39) text += "\n";
  }
  ConvertText(state, text + "\n");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_DistinctCharactersThatNoFaceHas)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
