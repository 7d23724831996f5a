// EMF pictures: the emf2svg-conv helper turns them into SVG in a separate process (its EMF
// library and ImageMagick's WMF library export clashing symbols, so they never share a
// process), and librsvg draws the SVG at the picture's size at 96 dots per inch.
#include <librsvg/rsvg.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "images/decoders.h"
#include "images/image_header.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace vellumox {

namespace {

constexpr const char* kConverter = "emf2svg-conv";
constexpr auto kConverterTimeout = std::chrono::seconds(60);

}  // namespace

bool EmfConverterAvailable() {
  return !FindProgram(kConverter).empty();
}

std::unique_ptr<PixelRows> OpenEmfRows(const std::string& path, const std::string& temp_folder,
                                       std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<PixelRows> {
    if (error) *error = why;
    return nullptr;
  };
  std::optional<PixelSize> size = ReadEmfSize(path);
  if (!size) return fail("not a usable EMF file");
  std::string program = FindProgram(kConverter);
  if (program.empty()) return fail("emf2svg-conv is not installed");
  // A name of its own: pictures may be converted side by side in one folder.
  const std::string svg = CreateUniqueFile(temp_folder, "~emf", ".svg");
  if (svg.empty()) return fail("cannot create a temporary file");
  ProgramResult run = RunProgram(program, {"-p", "-i", path, "-o", svg}, kConverterTimeout);
  if (run.exit_status != 0) {
    RemoveFile(svg);
    return fail("the EMF file is damaged or cannot be converted");
  }

  GError* gerror = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_file(svg.c_str(), &gerror);
  RemoveFile(svg);
  if (!handle) {
    if (gerror) g_error_free(gerror);
    return fail("the EMF file is damaged or cannot be drawn");
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
  if (!drawn) return fail("the EMF file is damaged or cannot be drawn");
  return rows;
}

}  // namespace vellumox
