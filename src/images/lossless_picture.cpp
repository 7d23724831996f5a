#include "images/lossless_picture.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/file_handle.h"
#include "platform/file_system.h"

namespace vellumox {

namespace {

// Pictures are deflated once: the smallest stream is worth the time.
constexpr int kPictureLevel = 9;
constexpr size_t kOutputChunk = 1 << 16;
// A picture that compresses to more than an eighth after its first bytes goes on at this level.
constexpr size_t kTrialBytes = 1 << 20;
constexpr int kNoisyLevel = 6;

inline int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// What each filter predicts from the byte to the left (a), above (b) and above left (c).
template <int kFilter>
inline int Predicted(int a, int b, int c) {
  if constexpr (kFilter == 1) return a;
  if constexpr (kFilter == 2) return b;
  if constexpr (kFilter == 3) return (a + b) / 2;
  if constexpr (kFilter == 4) return Paeth(a, b, c);
  return 0;
}

template <int kFilter>
inline uint8_t Filtered(const uint8_t* row, const uint8_t* previous, size_t i, size_t bpp) {
  const int a = i >= bpp ? row[i - bpp] : 0;
  const int c = i >= bpp ? previous[i - bpp] : 0;
  return static_cast<uint8_t>(row[i] - Predicted<kFilter>(a, previous[i], c));
}

// The sum of the filtered bytes taken as signed, stopping once it passes limit.
template <int kFilter>
uint64_t FilteredSum(const uint8_t* row, const uint8_t* previous, size_t size, size_t bpp,
                     uint64_t limit) {
  uint64_t sum = 0;
  const size_t head = std::min(bpp, size);
  for (size_t i = 0; i < head; ++i) {
    sum += static_cast<uint64_t>(
        std::abs(static_cast<int8_t>(Filtered<kFilter>(row, previous, i, bpp))));
  }
  // In pieces, so that a filter that is already worse than the best stops early.
  for (size_t start = head; start < size && sum < limit; start += 1024) {
    const size_t end = std::min(size, start + 1024);
    for (size_t i = start; i < end; ++i) {
      const int value = row[i] - Predicted<kFilter>(row[i - bpp], previous[i], previous[i - bpp]);
      sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(static_cast<uint8_t>(value))));
    }
  }
  return sum;
}

template <int kFilter>
void WriteFiltered(const uint8_t* row, const uint8_t* previous, size_t size, size_t bpp,
                   char* out) {
  for (size_t i = 0; i < size; ++i) {
    out[i] = static_cast<char>(Filtered<kFilter>(row, previous, i, bpp));
  }
}

}  // namespace

void FilterRow(const uint8_t* row, const uint8_t* previous, size_t size, int bpp,
               std::string& out) {
  const size_t step = static_cast<size_t>(bpp);
  uint64_t best_sum = FilteredSum<0>(row, previous, size, step, UINT64_MAX);
  int best = 0;
  auto consider = [&](int filter, uint64_t sum) {
    if (sum < best_sum) {
      best_sum = sum;
      best = filter;
    }
  };
  consider(1, FilteredSum<1>(row, previous, size, step, best_sum));
  consider(2, FilteredSum<2>(row, previous, size, step, best_sum));
  consider(3, FilteredSum<3>(row, previous, size, step, best_sum));
  consider(4, FilteredSum<4>(row, previous, size, step, best_sum));
  out.resize(size + 1);
  out[0] = static_cast<char>(best);
  char* filtered = out.data() + 1;
  switch (best) {
    case 1:
      WriteFiltered<1>(row, previous, size, step, filtered);
      break;
    case 2:
      WriteFiltered<2>(row, previous, size, step, filtered);
      break;
    case 3:
      WriteFiltered<3>(row, previous, size, step, filtered);
      break;
    case 4:
      WriteFiltered<4>(row, previous, size, step, filtered);
      break;
    default:
      std::copy(row, row + size, filtered);
      break;
  }
}

namespace {

// One zlib stream of predicted rows going into a file.
class PredictedStream {
 public:
  // row_bytes: the bytes of a packed row; bpp: the filter's bytes a pixel.
  PredictedStream(size_t row_bytes, int bpp) : previous_(row_bytes, 0), bpp_(bpp) {}
  ~PredictedStream() {
    if (started_) deflateEnd(&z_);
  }
  PredictedStream(const PredictedStream&) = delete;
  PredictedStream& operator=(const PredictedStream&) = delete;

  bool Open(const std::string& path, std::string* error, int* write_error) {
    file_ = FileHandle::CreateOrTruncate(path);
    if (!file_.IsOpen()) {
      *error = "the converted picture cannot be written";
      *write_error = file_.Error();
      return false;
    }
    if (deflateInit(&z_, kPictureLevel) != Z_OK) {
      *error = "there is not enough memory to compress it";
      return false;
    }
    started_ = true;
    out_.resize(kOutputChunk);
    return true;
  }

  // row: previous_.size() bytes, filtered against the row before.
  bool Add(const uint8_t* row) {
    FilterRow(row, previous_.data(), previous_.size(), bpp_, filtered_);
    std::copy(row, row + previous_.size(), previous_.begin());
    z_.next_in = reinterpret_cast<Bytef*>(filtered_.data());
    z_.avail_in = static_cast<uInt>(filtered_.size());
    if (!Pump(Z_NO_FLUSH)) return false;
    // The longest searches of the best level find next to nothing in noise (a photo), where
    // they take ten times as long: once the start of a picture shows that it barely
    // compresses, the rest goes at the default level.
    if (!eased_ && z_.total_in >= kTrialBytes) {
      eased_ = true;
      if (z_.total_out > z_.total_in / 8) return Ease();
    }
    return true;
  }

  bool Finish(std::string* error, int* write_error) {
    z_.next_in = nullptr;
    z_.avail_in = 0;
    if (Pump(Z_FINISH) && file_.Close()) return true;
    *error = "the converted picture cannot be written";
    *write_error = file_.Error();
    return false;
  }

  void Failed(std::string* error, int* write_error) {
    *error = "the converted picture cannot be written";
    *write_error = file_.Error();
  }

 private:
  bool Pump(int flush) {
    do {
      z_.next_out = out_.data();
      z_.avail_out = static_cast<uInt>(out_.size());
      if (deflate(&z_, flush) == Z_STREAM_ERROR) return false;
      const size_t produced = out_.size() - z_.avail_out;
      if (produced > 0 && !file_.WriteAll(out_.data(), produced)) return false;
    } while (z_.avail_out == 0);
    return true;
  }

  // Goes on at kNoisyLevel; what the change flushes is written out.
  bool Ease() {
    for (;;) {
      z_.next_out = out_.data();
      z_.avail_out = static_cast<uInt>(out_.size());
      const int result = deflateParams(&z_, kNoisyLevel, Z_DEFAULT_STRATEGY);
      const size_t produced = out_.size() - z_.avail_out;
      if (produced > 0 && !file_.WriteAll(out_.data(), produced)) return false;
      // Z_BUF_ERROR: the block before is not all out yet; without progress the level stays.
      if (result != Z_BUF_ERROR || produced == 0) return result != Z_STREAM_ERROR;
    }
  }

  FileHandle file_;
  z_stream z_{};
  bool started_ = false;
  bool eased_ = false;  // the level has been chosen for the rest
  std::vector<uint8_t> previous_;
  int bpp_;
  std::string filtered_;
  std::vector<unsigned char> out_;
};

// Samples of one byte each packed at bits (1, 2 or 4) a sample, the first in the high bits.
void Pack(const uint8_t* samples, size_t count, int bits, uint8_t* out) {
  const size_t per_byte = static_cast<size_t>(8 / bits);
  const size_t bytes = (count + per_byte - 1) / per_byte;
  std::fill(out, out + bytes, 0);
  for (size_t i = 0; i < count; ++i) {
    const int shift = 8 - bits * static_cast<int>(i % per_byte + 1);
    out[i / per_byte] = static_cast<uint8_t>(out[i / per_byte] | samples[i] << shift);
  }
}

size_t PackedBytes(size_t count, int bits) {
  return (count * static_cast<size_t>(bits) + 7) / 8;
}

// The fewest bits (1, 2, 4 or 8) that hold every index of a palette.
int IndexBits(size_t entries) {
  return entries <= 2 ? 1 : entries <= 4 ? 2 : entries <= 16 ? 4 : 8;
}

}  // namespace

std::string IndexedLookup(const std::string& rgb, int* components) {
  if (!AllGrey(rgb)) {
    *components = 3;
    return rgb;
  }
  *components = 1;
  std::string grey;
  for (size_t i = 0; i < rgb.size(); i += 3) grey += rgb[i];
  return grey;
}

bool WriteLosslessPicture(PixelRows& rows, Rgb8 page_color, const std::string& path,
                          const std::string& mask_path, LosslessPicture* picture,
                          std::string* error, int* write_error) {
  std::string ignored_error;
  int ignored_number = 0;
  if (!error) error = &ignored_error;
  if (!write_error) write_error = &ignored_number;
  *write_error = 0;
  LosslessPicture result;
  LosslessForm& form = result.form;
  const size_t width = static_cast<size_t>(rows.width());

  // What each pixel becomes: an index, or samples of out_channels.
  int out_channels = rows.channels();
  std::vector<uint8_t> index_map;  // indexed: the entry each index stands for (clamped)
  std::vector<char> clear_entry;   // indexed: entries that are wholly transparent
  bool stencil = false;            // a mask is made as the rows pass
  if (rows.indexed() && rows.palette().size() < 3) {
    *error = "the picture's palette is empty";
    return false;
  }
  if (rows.indexed()) {
    const std::string& alpha = rows.palette_alpha();
    const size_t entries = std::min<size_t>(rows.palette().size() / 3, 256);
    bool partial = false;
    size_t clear = 0, last_clear = 0;
    clear_entry.assign(entries, 0);
    for (size_t i = 0; i < alpha.size() && i < entries; ++i) {
      const auto a = static_cast<uint8_t>(alpha[i]);
      partial = partial || (a > 0 && a < 255);
      if (a == 0) {
        clear_entry[i] = 1;
        ++clear;
        last_clear = i;
      }
    }
    form.palette =
        IndexedLookup(ComposedPalette(rows, page_color).substr(0, 3 * entries), &out_channels);
    form.bits = IndexBits(entries);
    result.composed = partial;
    if (!partial && clear == 1) {
      form.color_key = {static_cast<int>(last_clear)};
    } else if (!partial && clear > 1) {
      stencil = true;
    }
    index_map.resize(256);
    for (size_t i = 0; i < 256; ++i) index_map[i] = static_cast<uint8_t>(std::min(i, entries - 1));
  } else {
    if (rows.alpha() && out_channels == 1 && !IsGrey(page_color)) out_channels = 3;
    form.bits = !rows.alpha() && rows.channels() == 1 && rows.bits() == 1 ? 1 : 8;
    stencil = rows.alpha();  // kept if the transparency proves all or nothing
  }

  const size_t samples = rows.indexed() ? width : width * static_cast<size_t>(out_channels);
  const size_t row_bytes = PackedBytes(samples, form.bits);
  const int bpp = form.bits < 8 ? 1 : (rows.indexed() ? 1 : out_channels);
  PredictedStream image(row_bytes, bpp);
  std::optional<PredictedStream> mask;
  auto fail = [&] {
    RemoveFile(path);
    if (mask) RemoveFile(mask_path);
    return false;
  };
  if (!image.Open(path, error, write_error)) return fail();
  if (stencil) {
    mask.emplace(PackedBytes(width, 1), 1);
    if (!mask->Open(mask_path, error, write_error)) return fail();
  }

  std::vector<uint8_t> source(rows.RowBytes());
  std::vector<uint8_t> samples_row(samples);
  std::vector<uint8_t> packed(row_bytes);
  std::vector<uint8_t> clear_row(width);
  std::vector<uint8_t> packed_mask(PackedBytes(width, 1));
  bool partial = false, any_clear = false, page_color_opaque = false;
  const size_t in_channels = static_cast<size_t>(rows.channels());
  const size_t step = in_channels + (rows.alpha() ? 1 : 0);
  const size_t out = static_cast<size_t>(out_channels);
  for (int y = 0; y < rows.height(); ++y) {
    if (!rows.NextRow(source.data())) {
      *error = rows.error().empty() ? "the picture cannot be decoded" : rows.error();
      return fail();
    }
    if (rows.indexed()) {
      for (size_t x = 0; x < width; ++x) {
        const uint8_t index = index_map[source[x]];
        samples_row[x] = index;
        if (stencil) clear_row[x] = clear_entry[index] ? 1 : 0;
      }
    } else if (!rows.alpha()) {
      if (form.bits == 1) {
        for (size_t x = 0; x < width; ++x) samples_row[x] = source[x] >= 128 ? 1 : 0;
      } else {
        std::copy(source.begin(), source.end(), samples_row.begin());
      }
    } else {
      for (size_t x = 0; x < width; ++x) {
        const uint8_t* p = &source[x * step];
        const unsigned a = p[in_channels];
        uint8_t* q = &samples_row[x * out];
        bool page = true;
        for (size_t c = 0; c < out; ++c) {
          q[c] = Composed(in_channels == 1 ? p[0] : p[c], a, page_color[c]);
          page = page && q[c] == page_color[c];
        }
        partial = partial || (a > 0 && a < 255);
        any_clear = any_clear || a == 0;
        page_color_opaque = page_color_opaque || (a == 255 && page);
        clear_row[x] = a == 0 ? 1 : 0;
      }
    }
    const uint8_t* row = samples_row.data();
    if (form.bits < 8) {
      Pack(samples_row.data(), samples, form.bits, packed.data());
      row = packed.data();
    }
    if (!image.Add(row)) {
      image.Failed(error, write_error);
      return fail();
    }
    if (mask) {
      Pack(clear_row.data(), width, 1, packed_mask.data());
      if (!mask->Add(packed_mask.data())) {
        mask->Failed(error, write_error);
        return fail();
      }
    }
  }
  if (!image.Finish(error, write_error)) return fail();
  if (mask && !mask->Finish(error, write_error)) return fail();

  if (rows.alpha()) {
    // Only now is it known whether the transparency was all or nothing.
    bool keep_mask = false;
    if (partial) {
      result.composed = true;
    } else if (any_clear && !page_color_opaque) {
      // Every clear pixel now holds the page colour, which no opaque pixel holds.
      for (size_t c = 0; c < out; ++c) form.color_key.push_back(page_color[c]);
    } else if (any_clear) {
      keep_mask = true;
    }
    if (!keep_mask) {
      mask.reset();
      RemoveFile(mask_path);
    }
  }
  if (mask) form.mask_path = mask_path;
  result.components = out_channels;
  result.width = rows.width();
  result.height = rows.height();
  if (picture) *picture = std::move(result);
  return true;
}

}  // namespace vellumox
