// The helper's side of the picture decoders: the requests that come on standard input are
// answered on standard output with ImageMagick and the EMF path, which only this process loads.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "images/decode_helper.h"
#include "images/decode_protocol.h"
#include "images/decoders.h"
#include "images/image_header.h"

namespace vellumox {

namespace {

// The helper's reading of its requests: standard input, waited for without a limit.
bool ReadExactly(void* data, size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(0, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadRequestString(std::string* text) {
  uint32_t size = 0;
  if (!ReadExactly(&size, sizeof size) || size > (1u << 20)) return false;
  text->resize(size);
  return ReadExactly(text->data(), size);
}

std::string Failure(const std::string& reason) {
  std::string out(1, '\0');
  PutString(out, reason.substr(0, 4096));
  return out;
}

}  // namespace

int ServeDecodeRequests() {
  InitializeMagickLibrary();
  for (;;) {
    char op_format[2];
    std::string path, folder;
    if (!ReadExactly(op_format, 2) || !ReadRequestString(&path) || !ReadRequestString(&folder)) {
      return 0;
    }
    const ImageFormat format = static_cast<ImageFormat>(op_format[1]);
    // Intermediate files of the library go into the conversion's private folder.
    if (!folder.empty()) ::setenv("MAGICK_TEMPORARY_PATH", folder.c_str(), 1);
    std::string error;
    if (op_format[0] == kFormats) {
      int32_t mask = 0;
      for (const PictureFormat& f : kPictureFormats) {
        const bool readable = f.decoder == PictureDecoder::kImageMagick    ? MagickCanRead(f.format)
                              : f.decoder == PictureDecoder::kEmfConverter ? EmfConverterAvailable()
                                                                           : true;
        if (readable) mask |= 1 << static_cast<int>(f.format);
      }
      std::string answer(1, '\1');
      Put(answer, &mask, sizeof mask);
      if (!WriteAll(1, answer)) return 1;
      continue;
    }
    if (op_format[0] == kSize) {
      std::optional<PixelSize> size = DecoderOf(format) == PictureDecoder::kEmfConverter
                                          ? ReadEmfSize(path)
                                          : PingMagickSize(path, format, &error);
      std::string answer;
      if (size) {
        answer = std::string(1, '\1');
        const int32_t fields[2] = {size->width, size->height};
        Put(answer, fields, sizeof fields);
      } else {
        answer = Failure(error.empty() ? "the header cannot be read" : error);
      }
      if (!WriteAll(1, answer)) return 1;
      continue;
    }
    std::unique_ptr<PixelRows> rows = DecoderOf(format) == PictureDecoder::kEmfConverter
                                          ? OpenEmfRows(path, folder, &error)
                                          : OpenMagickRows(path, format, &error);
    if (!rows) {
      if (!WriteAll(1, Failure(error))) return 1;
      continue;
    }
    std::string answer(1, '\1');
    const int32_t header[kDecodeFields] = {rows->width(),
                                           rows->height(),
                                           rows->channels(),
                                           rows->alpha() ? 1 : 0,
                                           rows->bits(),
                                           static_cast<int32_t>(rows->palette().size() / 3),
                                           static_cast<int32_t>(rows->palette_alpha().size())};
    Put(answer, header, sizeof header);
    answer += rows->palette();
    answer += rows->palette_alpha();
    if (!WriteAll(1, answer)) return 1;
    std::vector<uint8_t> row(rows->RowBytes());
    std::string bytes;
    for (int y = 0; y < rows->height(); ++y) {
      if (!rows->NextRow(row.data())) {
        if (!WriteAll(1, Failure(rows->error()))) return 1;
        break;
      }
      bytes.assign(1, '\1');
      Put(bytes, row.data(), row.size());
      if (!WriteAll(1, bytes)) return 1;
    }
  }
}

}  // namespace vellumox
