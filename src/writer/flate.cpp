#include "writer/flate.h"

#include <libdeflate.h>

#include "writer/writer_error.h"

namespace vellumox {

struct FlateCompressor::Impl {
  libdeflate_compressor* compressor = nullptr;
  ~Impl() { libdeflate_free_compressor(compressor); }
};

FlateCompressor::FlateCompressor(int level) : impl_(std::make_unique<Impl>()) {
  impl_->compressor = libdeflate_alloc_compressor(level);
  if (!impl_->compressor) throw WriterError("Out of memory.");
}

FlateCompressor::~FlateCompressor() = default;

std::string FlateCompressor::Compress(std::string_view data) {
  std::string out(libdeflate_zlib_compress_bound(impl_->compressor, data.size()), '\0');
  const size_t size =
      libdeflate_zlib_compress(impl_->compressor, data.data(), data.size(), out.data(), out.size());
  if (size == 0) throw WriterError("Cannot compress the PDF file.");
  out.resize(size);
  return out;
}

}  // namespace vellumox
