// Feeds arbitrary bytes to the picture header readers and the format sniffing: nothing may
// crash, hang or read out of bounds, and the answers must stay within their ranges.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "images/decoders.h"
#include "images/image_header.h"
#include "images/picture_formats.h"
#include "images/png_stream.h"

namespace {

const std::string& WorkFile() {
  static const std::string file = [] {
    char pattern[] = "/tmp/vellumox-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) std::abort();
    return std::string(made) + "/picture";
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  int32_t width = 0, height = 0, kind = 0;
  uint8_t bits = 0;
  uint8_t result = vellumox::ReadImageHeader(bytes, width, height, bits, kind);
  if (result != bits || kind < 0 || kind > 4 || width < 0 || width > 65535 || height < 0 ||
      height > 65535) {
    std::abort();
  }
  for (const char* name : {"a.jpg", "a.tga", "a.png", "x"}) vellumox::SniffImageFormat(bytes, name);

  FILE* f = std::fopen(WorkFile().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  if (auto jpeg = vellumox::ReadJpegTraits(WorkFile())) {
    const vellumox::JpegFrame& frame = jpeg->frame;
    if (vellumox::CanEmbedAsItIs(*jpeg) &&
        (frame.width <= 0 || frame.height <= 0 || frame.components == 2 || frame.components > 4)) {
      std::abort();
    }
    vellumox::IccProfileFitsPdf13(jpeg->icc_profile, frame.components);
  }
  if (auto png = vellumox::ReadPngSize(WorkFile())) {
    if (png->width <= 0 || png->height <= 0) std::abort();
  }
  if (auto emf = vellumox::ReadEmfSize(WorkFile())) {
    if (emf->width <= 0 || emf->height <= 0) std::abort();
  }
  // A PNG's rows: taken as they are, or decoded and written lossless with a mask.
  vellumox::LosslessPicture picture;
  std::string error;
  int write_error = 0;
  const std::string out = WorkFile() + ".zlib", mask = WorkFile() + ".mask";
  if (vellumox::CopyPngStream(WorkFile(), out, &picture, &error, &write_error) ==
          vellumox::PngStreamCopy::kCopied &&
      (picture.width <= 0 || picture.height <= 0 || picture.form.bits < 1 ||
       picture.form.bits > 8)) {
    std::abort();
  }
  if (auto rows = vellumox::OpenPngRows(WorkFile(), &error)) {
    vellumox::WriteLosslessPicture(*rows, {255, 230, 0}, out, mask, &picture, &error, &write_error);
  }
  std::remove(out.c_str());
  std::remove(mask.c_str());
  return 0;
}
