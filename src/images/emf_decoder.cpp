// EMF pictures: the emf2svg-conv helper turns them into SVG in a separate process (its EMF
// library and ImageMagick's WMF library export clashing symbols, so they never share a
// process), and librsvg draws the SVG at the picture's size at 96 dots per inch.
#include <fcntl.h>
#include <librsvg/rsvg.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "images/decoders.h"

extern char** environ;

namespace vellumox {

namespace {

constexpr const char* kConverter = "emf2svg-conv";
constexpr auto kConverterTimeout = std::chrono::seconds(60);
// Drawn metafiles are held whole; they may not be larger than this.
constexpr int64_t kMaxMetafilePixels = int64_t{64} << 20;

std::string FindConverter() {
  const char* path = std::getenv("PATH");
  std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + kConverter;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::string();
}

// Runs the helper with its output thrown away; false when it fails or takes too long.
bool RunConverter(const std::string& program, const std::string& in, const std::string& out) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string input_arg = in, output_arg = out;
  char* argv[] = {const_cast<char*>(program.c_str()),
                  const_cast<char*>("-p"),
                  const_cast<char*>("-i"),
                  input_arg.data(),
                  const_cast<char*>("-o"),
                  output_arg.data(),
                  nullptr};
  pid_t pid;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  auto deadline = std::chrono::steady_clock::now() + kConverterTimeout;
  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int32_t LittleEndian32(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool EmfConverterAvailable() {
  return !FindConverter().empty();
}

std::optional<PixelSize> ReadEmfSize(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  unsigned char h[88];
  size_t n = std::fread(h, 1, sizeof h, file);
  std::fclose(file);
  if (n < sizeof h || LittleEndian32(h) != 1 || std::memcmp(h + 40, " EMF", 4) != 0) {
    return std::nullopt;
  }
  // The frame, in hundredths of a millimetre, gives the natural size.
  int64_t frame_width = static_cast<int64_t>(LittleEndian32(h + 32)) - LittleEndian32(h + 24);
  int64_t frame_height = static_cast<int64_t>(LittleEndian32(h + 36)) - LittleEndian32(h + 28);
  double width = std::nearbyint(static_cast<double>(frame_width) / 2540.0 * 96.0);
  double height = std::nearbyint(static_cast<double>(frame_height) / 2540.0 * 96.0);
  if (width < 1 || height < 1 || width * height > static_cast<double>(kMaxMetafilePixels) ||
      width > ImageCodec::kMaxSide || height > ImageCodec::kMaxSide) {
    return std::nullopt;
  }
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

std::unique_ptr<PixelRows> OpenEmfRows(const std::string& path, const std::string& temp_folder,
                                       std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<PixelRows> {
    if (error) *error = why;
    return nullptr;
  };
  std::optional<PixelSize> size = ReadEmfSize(path);
  if (!size) return fail("not a usable EMF file");
  std::string program = FindConverter();
  if (program.empty()) return fail("emf2svg-conv is not installed");
  // A name of its own: pictures may be converted side by side in one folder.
  std::string pattern = temp_folder + "/~emfXXXXXX.svg";
  int fd = ::mkstemps(pattern.data(), 4);
  if (fd < 0) return fail("cannot create a temporary file");
  ::close(fd);
  const std::string svg = pattern;
  bool converted = RunConverter(program, path, svg);
  if (!converted) {
    ::unlink(svg.c_str());
    return fail("emf2svg-conv could not convert the file");
  }

  GError* gerror = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_file(svg.c_str(), &gerror);
  ::unlink(svg.c_str());
  if (!handle) {
    std::string why = gerror ? gerror->message : "unreadable SVG";
    if (gerror) g_error_free(gerror);
    return fail(why);
  }
  double svg_width = 0, svg_height = 0;
  if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &svg_width, &svg_height) ||
      svg_width <= 0 || svg_height <= 0) {
    svg_width = size->width;
    svg_height = size->height;
  }
  auto rows = std::make_unique<BufferedRows>(size->width, size->height, 3);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, size->width, size->height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_scale(cr, size->width / svg_width, size->height / svg_height);
  RsvgRectangle viewport{0, 0, svg_width, svg_height};
  bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &gerror);
  if (gerror) g_error_free(gerror);
  cairo_destroy(cr);
  g_object_unref(handle);
  cairo_surface_flush(surface);
  if (drawn && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < size->height; ++y) {
      const uint32_t* src =
          reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
      uint8_t* dst = rows->Row(y);
      for (int x = 0; x < size->width; ++x) {
        dst[3 * x] = static_cast<uint8_t>(src[x] >> 16);
        dst[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
        dst[3 * x + 2] = static_cast<uint8_t>(src[x]);
      }
    }
  }
  cairo_surface_destroy(surface);
  if (!drawn) return fail("the SVG could not be drawn");
  return rows;
}

}  // namespace vellumox
