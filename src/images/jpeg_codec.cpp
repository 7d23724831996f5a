// JPEG decoding and encoding through libjpeg-turbo. Its errors arrive by longjmp; every function
// that calls the library sets its own jump point and keeps no C++ object alive across a call.
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "images/decoders.h"
#include "platform/file_system.h"
#include "platform/stop.h"

namespace vellumox {

namespace {

constexpr long kDecoderMemory = 512L << 20;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool cut_short;
  int system_error;  // errno when the library gave up, for its read and write errors
};

// The library's words where they would puzzle a reader, in ours.
void SayInOurWords(ErrorManager& err) {
  switch (err.pub.msg_code) {
    case JERR_NO_BACKING_STORE:
    case JERR_OUT_OF_MEMORY:
      std::snprintf(err.message, sizeof err.message,
                    "decoding it needs more than %ld MB of memory, the most a picture may take",
                    kDecoderMemory >> 20);
      break;
    case JERR_FILE_WRITE:
      std::snprintf(err.message, sizeof err.message, "cannot write the converted picture: %s",
                    std::strerror(err.system_error ? err.system_error : EIO));
      break;
    case JERR_FILE_READ:
      std::snprintf(err.message, sizeof err.message, "cannot read the file: %s",
                    std::strerror(err.system_error ? err.system_error : EIO));
      break;
    default:
      break;
  }
}

void ErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  err->system_error = errno;
  (*info->err->format_message)(info, err->message);
  SayInOurWords(*err);
  longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr info, int level) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  // A file that ends early decodes as grey; such a picture counts as broken.
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) err->cut_short = true;
}

void InstallErrorManager(ErrorManager& err) {
  std::memset(&err, 0, sizeof err);
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
}

class JpegRows : public PixelRows {
 public:
  JpegRows() {
    InstallErrorManager(err_);
    info_.err = &err_.pub;
  }
  ~JpegRows() override {
    if (created_) jpeg_destroy_decompress(&info_);
    if (file_) std::fclose(file_);
  }

  bool Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
      error_ = "cannot open the file";
      return false;
    }
    if (setjmp(err_.jump)) {
      error_ = err_.message;
      return false;
    }
    jpeg_create_decompress(&info_);
    created_ = true;
    info_.mem->max_memory_to_use = kDecoderMemory;
    jpeg_stdio_src(&info_, file_);
    jpeg_read_header(&info_, TRUE);
    if (info_.image_width == 0 || info_.image_height == 0 ||
        info_.image_width > static_cast<unsigned>(ImageCodec::kMaxSide) ||
        info_.image_height > static_cast<unsigned>(ImageCodec::kMaxSide) ||
        static_cast<int64_t>(info_.image_width) * info_.image_height > ImageCodec::kMaxPixels) {
      error_ = "the picture is too large";
      return false;
    }
    cmyk_ = info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK;
    if (info_.num_components == 1) {
      info_.out_color_space = JCS_GRAYSCALE;
      channels_ = 1;
    } else if (cmyk_) {
      info_.out_color_space = JCS_CMYK;
      channels_ = 3;
    } else {
      info_.out_color_space = JCS_RGB;
      channels_ = 3;
    }
    jpeg_start_decompress(&info_);
    width_ = static_cast<int>(info_.output_width);
    height_ = static_cast<int>(info_.output_height);
    inverted_ = info_.saw_Adobe_marker;
    if (cmyk_) cmyk_row_.resize(static_cast<size_t>(width_) * 4);
    return true;
  }

  bool NextRow(uint8_t* row) override {
    JSAMPROW target = cmyk_ ? cmyk_row_.data() : row;
    if (setjmp(err_.jump)) {
      error_ = err_.message;
      return false;
    }
    if (jpeg_read_scanlines(&info_, &target, 1) != 1 || err_.cut_short) {
      error_ = "the file is cut short";
      return false;
    }
    if (cmyk_) {
      // Adobe writes CMYK inverted (0 is full ink); otherwise ink grows with the value.
      for (int x = 0; x < width_; ++x) {
        unsigned c = cmyk_row_[4 * x], m = cmyk_row_[4 * x + 1], y = cmyk_row_[4 * x + 2],
                 k = cmyk_row_[4 * x + 3];
        if (!inverted_) {
          c = 255 - c;
          m = 255 - m;
          y = 255 - y;
          k = 255 - k;
        }
        row[3 * x] = static_cast<uint8_t>((c * k + 127) / 255);
        row[3 * x + 1] = static_cast<uint8_t>((m * k + 127) / 255);
        row[3 * x + 2] = static_cast<uint8_t>((y * k + 127) / 255);
      }
    }
    return true;
  }

 private:
  jpeg_decompress_struct info_{};
  ErrorManager err_;
  FILE* file_ = nullptr;
  bool created_ = false;
  bool cmyk_ = false;
  bool inverted_ = false;
  std::vector<uint8_t> cmyk_row_;
};

}  // namespace

std::unique_ptr<PixelRows> OpenJpegRows(const std::string& path, std::string* error) {
  auto rows = std::make_unique<JpegRows>();
  if (!rows->Open(path)) {
    if (error) *error = rows->error();
    return nullptr;
  }
  return rows;
}

bool WriteJpegFile(PixelRows& rows, const std::string& path, int quality, std::string* error,
                   int* write_error) {
  if (!rows.Plain()) {
    // A palette or alpha is made plain first (Flattened): JPEG holds neither.
    if (error) *error = "the picture has a palette or transparency that a JPEG cannot hold";
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    if (write_error) *write_error = errno;
    if (error) *error = "cannot create the converted picture: " + SystemErrorText(errno);
    return false;
  }
  std::vector<uint8_t> buffer(static_cast<size_t>(rows.width()) * rows.channels());
  jpeg_compress_struct info{};
  ErrorManager err;
  InstallErrorManager(err);
  info.err = &err.pub;
  // Changed between setjmp and a possible longjmp, so kept in memory.
  volatile bool created = false;
  volatile bool ok = false;
  if (setjmp(err.jump)) {
    if (error) *error = err.message;
    if (write_error && err.pub.msg_code == JERR_FILE_WRITE) *write_error = err.system_error;
  } else {
    jpeg_create_compress(&info);
    created = true;
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(rows.width());
    info.image_height = static_cast<JDIMENSION>(rows.height());
    info.input_components = rows.channels();
    info.in_color_space = rows.channels() == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
    if (quality >= 90) {
      for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
      }
    }
    jpeg_start_compress(&info, TRUE);
    bool rows_ok = true;
    bool stopped = false;
    while (info.next_scanline < info.image_height) {
      // A stop ends a large picture at its next row, not at its end.
      stopped = StopRequested();
      if (stopped || !rows.NextRow(buffer.data())) {
        rows_ok = false;
        break;
      }
      JSAMPROW row = buffer.data();
      jpeg_write_scanlines(&info, &row, 1);
    }
    if (rows_ok) {
      jpeg_finish_compress(&info);
      ok = true;
    } else if (error) {
      *error = stopped ? "the conversion was stopped" : rows.error();
    }
  }
  if (created) jpeg_destroy_compress(&info);
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    if (write_error) *write_error = errno;
    if (error) *error = "cannot write the converted picture: " + SystemErrorText(errno);
  }
  return ok;
}

}  // namespace vellumox
