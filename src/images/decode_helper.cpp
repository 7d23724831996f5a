#include "images/decode_helper.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "images/decode_protocol.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/stop.h"
#include "platform/user_folders.h"

namespace vellumox {

namespace {

// A build with AddressSanitizer reserves terabytes of address space for its shadow memory, so
// there the helper runs without an address-space limit (its time limit stays).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif
#else
constexpr bool kLimitAddressSpace = true;
#endif

std::string LimitsReason() {
  static_assert(kHelperMemoryLimit % (int64_t{1} << 30) == 0, "the limit is told in GB");
  return "the decoder failed on it: the file is damaged, or decoding it needs more than " +
         std::to_string(kHelperMemoryLimit >> 30) + " GB of memory";
}

// Why the helper went away in the middle of a picture. The picture is blamed only where the
// helper failed on it (a crash, an abort where memory ran out); a helper that cannot run, was
// killed from outside or simply ended is no fault of the picture.
std::string WhyHelperEnded(const ProcessEnd& end) {
  const std::string helper = std::string("the picture decoder ") + kDecodeHelperProgram;
  if (end.signal != 0 && IsFaultSignal(end.signal)) {
    return LimitsReason() + " (" + SignalDescription(end.signal) + ")";
  }
  if (end.signal == SIGXFSZ) {
    return "decoding it needs temporary files larger than " +
           std::to_string(kHelperFileSizeLimit >> 20) + " MB, the most a picture may take";
  }
  if (end.signal != 0) {
    return helper + " was ended from outside (" + SignalDescription(end.signal) +
           "): by another program, or by the system short of memory";
  }
  if (end.exit_status == 126 || end.exit_status == 127) {
    return helper + " beside the program cannot be run";
  }
  return helper + " ended unexpectedly (exit status " + std::to_string(end.exit_status) + ")";
}

// The helper of this thread, started when first needed and ended with the thread.
class Helper {
 public:
  ~Helper() { End(); }

  // Starts the helper when it is not running; false with a reason when it cannot be.
  bool Ensure(std::string* error) {
    if (process_.pid >= 0) return true;
    const std::string program = ProgramFolder() + "/" + kDecodeHelperProgram;
    if (::access(program.c_str(), X_OK) != 0) {
      *error = std::string("the picture decoder ") + kDecodeHelperProgram +
               " is missing beside the program";
      return false;
    }
    SpawnRequest request;
    request.program = program;
    request.pipes = true;
    // An address-space limit counts reserved memory too: one thread and few malloc arenas.
    request.environment = {"MAGICK_THREAD_LIMIT=1", "OMP_NUM_THREADS=1", "MALLOC_ARENA_MAX=2"};
    request.memory_limit = kLimitAddressSpace ? kHelperMemoryLimit : 0;
    request.file_size_limit = kHelperFileSizeLimit;
    process_ = Spawn(request);
    if (process_.pid < 0) {
      *error = "the picture decoder cannot be started";
      return false;
    }
    return true;
  }

  bool Send(const std::string& request, std::string* error) {
    if (WriteAll(process_.input, request)) return true;
    Ended(error);
    return false;
  }

  // The helper has gone (its pipes closed): why, in *error.
  void Ended(std::string* error) {
    *error = WhyHelperEnded(EndedProcess(process_));
    busy = false;
  }

  // Reads exactly size bytes within the time a picture may take; on any failure the helper is
  // ended and the reason given.
  bool Read(void* data, size_t size, std::string* error) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
      switch (WaitFor(process_.output, POLLIN, kHelperSecondsPerPicture * 1000)) {
        case WaitResult::kReady:
          break;
        case WaitResult::kStopped:
          End();
          *error = "the conversion was stopped";
          return false;
        case WaitResult::kTimedOut:
          End();
          *error = "decoding it takes longer than " + std::to_string(kHelperSecondsPerPicture) +
                   " seconds, the most a picture may take";
          return false;
        case WaitResult::kError:
          Ended(error);
          return false;
      }
      const ssize_t n = ::read(process_.output, p, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        Ended(error);
        return false;
      }
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  bool ReadString(std::string* text, std::string* error) {
    uint32_t size = 0;
    if (!Read(&size, sizeof size, error)) return false;
    if (size > 4096) {
      End();
      *error = LimitsReason();
      return false;
    }
    text->resize(size);
    return Read(text->data(), size, error);
  }

  void End() {
    EndProcess(process_);
    busy = false;
  }

  bool busy = false;  // rows of a picture are still to be read

 private:
  SpawnedProcess process_;
};

Helper& ThreadHelper() {
  thread_local Helper helper;
  return helper;
}

// Asks the helper; true with the size (and channels for a decode) when it answers yes.
bool Ask(Helper& helper, char op, const std::string& path, ImageFormat format,
         const std::string& temp_folder, int32_t* fields, int count, std::string* error) {
  if (helper.busy) helper.End();  // a picture left half read: start afresh
  if (!helper.Ensure(error)) return false;
  std::string request(1, op);
  request += static_cast<char>(format);
  PutString(request, path);
  PutString(request, temp_folder);
  if (!helper.Send(request, error)) return false;
  char ok = 0;
  if (!helper.Read(&ok, 1, error)) return false;
  if (ok != 1) {
    std::string reason;
    if (helper.ReadString(&reason, error)) *error = reason;
    return false;
  }
  return helper.Read(fields, sizeof(int32_t) * static_cast<size_t>(count), error);
}

class HelperRows : public PixelRows {
 public:
  // header: the decode answer's fields (kDecodeFields).
  HelperRows(Helper& helper, const int32_t* header, std::string palette, std::string alpha)
      : helper_(helper) {
    width_ = header[0];
    height_ = header[1];
    if (!palette.empty()) {
      SetPalette(std::move(palette), std::move(alpha));
    } else {
      channels_ = header[2];
      alpha_ = header[3] != 0;
      bits_ = header[4];
    }
    helper_.busy = true;
  }
  ~HelperRows() override {
    // Rows the encoder did not want are never read: the helper goes, the next one is fresh.
    if (next_ < height_ && helper_.busy) helper_.End();
  }

  bool NextRow(uint8_t* row) override {
    if (next_ >= height_ || !helper_.busy) return false;
    char tag = 0;
    if (!helper_.Read(&tag, 1, &error_)) return false;
    if (tag != 1) {
      std::string reason;
      if (helper_.ReadString(&reason, &error_)) error_ = reason;
      helper_.End();
      return false;
    }
    if (!helper_.Read(row, RowBytes(), &error_)) return false;
    if (++next_ == height_) helper_.busy = false;
    return true;
  }

 private:
  Helper& helper_;
  int next_ = 0;
};

}  // namespace

std::optional<std::vector<ImageFormat>> HelperReadableFormats(std::string* error) {
  std::string why;
  int32_t mask = 0;
  if (!Ask(ThreadHelper(), kFormats, "", ImageFormat::kUnknown, "", &mask, 1, &why)) {
    if (error) *error = why;
    return std::nullopt;
  }
  std::vector<ImageFormat> formats;
  for (int n = 1; n <= kImageFormatCount; ++n) {
    if (mask & (1 << n)) formats.push_back(static_cast<ImageFormat>(n));
  }
  return formats;
}

std::optional<PixelSize> HelperReadSize(const std::string& path, ImageFormat format,
                                        std::string* error) {
  std::string why;
  int32_t size[2] = {0, 0};
  if (!Ask(ThreadHelper(), kSize, path, format, "", size, 2, &why)) {
    if (error) *error = why;
    return std::nullopt;
  }
  return PixelSize{size[0], size[1]};
}

std::unique_ptr<PixelRows> HelperDecode(const std::string& path, ImageFormat format,
                                        const std::string& temp_folder, std::string* error) {
  Helper& helper = ThreadHelper();
  std::string why;
  int32_t header[kDecodeFields] = {};
  if (!Ask(helper, kDecode, path, format, temp_folder, header, kDecodeFields, &why)) {
    if (error) *error = why;
    return nullptr;
  }
  const int32_t entries = header[5], alphas = header[6];
  const bool sane = header[0] > 0 && header[1] > 0 && header[0] <= ImageCodec::kMaxSide &&
                    header[1] <= ImageCodec::kMaxSide && (header[2] == 1 || header[2] == 3) &&
                    (header[3] == 0 || header[3] == 1) && (header[4] == 1 || header[4] == 8) &&
                    entries >= 0 && entries <= 256 && alphas >= 0 && alphas <= entries;
  if (!sane) {
    helper.End();
    if (error) *error = LimitsReason();
    return nullptr;
  }
  std::string palette(static_cast<size_t>(entries) * 3, '\0');
  std::string alpha(static_cast<size_t>(alphas), '\0');
  if (!helper.Read(palette.data(), palette.size(), &why) ||
      !helper.Read(alpha.data(), alpha.size(), &why)) {
    if (error) *error = why;
    return nullptr;
  }
  return std::make_unique<HelperRows>(helper, header, std::move(palette), std::move(alpha));
}

}  // namespace vellumox
