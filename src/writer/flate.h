// Flate (zlib-format deflate) compression of whole buffers, through libdeflate: several times
// faster than zlib at the same ratio, and each compressor is independent, so that pages are
// compressed side by side on worker threads.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vellumox {

class FlateCompressor {
 public:
  // level: 1 (fastest) to 12 (smallest). Throws WriterError when out of memory.
  explicit FlateCompressor(int level);
  ~FlateCompressor();
  FlateCompressor(const FlateCompressor&) = delete;
  FlateCompressor& operator=(const FlateCompressor&) = delete;

  // data as one zlib stream (what /FlateDecode reads); throws WriterError when it cannot.
  std::string Compress(std::string_view data);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vellumox
