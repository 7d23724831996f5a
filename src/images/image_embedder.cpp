#include "images/image_embedder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "images/image_header.h"
#include "layout/markup_rules.h"
#include "writer/file_operations.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

ImageEmbedder::ImageEmbedder(DocumentWriter& writer, LineLayout& layout, ImageCodec& codec)
    : writer_(writer), layout_(layout), codec_(codec), references_(codec) {}

void ImageEmbedder::CollectImages(const std::string& filename) {
  references_.SetDocument(writer_.state().OutputFile, input_field_);
  references_.CollectImages(filename, writer_.state().UseTextFormating);
}

void ImageEmbedder::ResetImages() {
  references_.ResetImages();
  placements_.clear();
  folder_.Remove();
}

// Every picture is converted before the resource dictionary is written, so that the dictionary
// names exactly the pictures that have an object, each with its right number. Pictures are
// independent of each other, so they are converted on several threads; this thread meanwhile
// lets the user interface process its events.
void ImageEmbedder::ConvertAll() {
  std::vector<ImageEntry>& entries = references_.entries();
  if (entries.empty()) return;
  const std::string& folder = folder_.Path();
  if (folder.empty()) {
    writer_.ReportError("Cannot create a temporary folder for the pictures.");
    return;
  }
  std::atomic<size_t> next{0};
  size_t done = 0;
  std::mutex mutex;
  std::condition_variable finished;
  auto work = [&] {
    for (size_t k = next++; k < entries.size(); k = next++) {
      ImageEntry& entry = entries[k];
      std::string jpeg_path = folder + "/~temp" + std::to_string(k + 1) + ".jpg";
      entry.jpeg = ConvertToJpeg(entry.path, codec_, jpeg_options_, jpeg_path, folder);
      if (entry.jpeg.ok && entry.jpeg.width > 0) {
        entry.aspect =
            static_cast<float>(static_cast<double>(entry.jpeg.height) / entry.jpeg.width);
      }
      std::lock_guard<std::mutex> lock(mutex);
      ++done;
      finished.notify_one();
    }
  };
  const size_t threads =
      std::min<size_t>(entries.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  std::vector<std::thread> workers;
  for (size_t t = 0; t < threads; ++t) workers.emplace_back(work);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      if (finished.wait_for(lock, std::chrono::milliseconds(20),
                            [&] { return done == entries.size(); })) {
        break;
      }
    }
    writer_.ui().ProcessEvents();
  }
  for (std::thread& worker : workers) worker.join();
  writer_.ui().ProcessEvents();
}

void ImageEmbedder::WriteImageResources() {
  ConvertAll();
  std::vector<ImageEntry>& entries = references_.entries();
  int32_t next = writer_.state().ResourcesObject;
  bool any = false;
  for (ImageEntry& entry : entries) {
    if (entry.jpeg.ok) entry.object = ++next;
    any = any || entry.jpeg.ok;
  }
  if (!any) return;
  writer_.EmitLine("  /XObject << ");
  for (size_t k = 0; k < entries.size(); ++k) {
    if (!entries[k].jpeg.ok) continue;
    writer_.EmitLine("  /im" + std::to_string(k + 1) + " " + std::to_string(entries[k].object) +
                     " 0 R");
  }
  writer_.EmitLine("  >>");
}

void ImageEmbedder::WriteImageObjects() {
  std::vector<ImageEntry>& entries = references_.entries();
  for (size_t k = 0; k < entries.size(); ++k) {
    ImageEntry& entry = entries[k];
    if (!entry.jpeg.ok) continue;
    const int64_t size = FileLength(entry.jpeg.path);
    if (size < 1) {
      // The JPEG vanished after it was made; its number was promised, so the document fails.
      writer_.ReportError("Cannot read the picture '" + entry.path + "'.");
      return;
    }
    writer_.AllocateObject();
    writer_.EmitLine("<< /Type /XObject /Subtype /Image /Name /im" + std::to_string(k + 1) +
                     " /Filter [ /DCTDecode ]");
    int32_t w = 0, h = 0, kind = 0;
    uint8_t bits = 0;
    ReadImageHeader(entry.jpeg.path, w, h, bits, kind);
    writer_.EmitLine("   /Width " + std::to_string(entry.jpeg.width) + " /Height " +
                     std::to_string(entry.jpeg.height) + " /BitsPerComponent 8 /ColorSpace " +
                     (bits == 8 ? "/DeviceGray" : "/DeviceRGB") + " /Length " +
                     std::to_string(size));
    writer_.EmitLine(">>");
    writer_.EmitStreamKeyword();
    writer_.output().EmitFileContents(entry.jpeg.path, size);
    writer_.output().EmitBytes("\rendstream\r");
    writer_.EmitLine("");
    writer_.EmitLine("endobj");
  }
}

bool ImageEmbedder::UseOldTop() const {
  if (!settings_) return false;
  std::optional<std::string> value = settings_->Get("UseOldTop");
  if (!value) return false;
  return EqualsIgnoreCase(*value, "true") || ReadNumber(*value) != 0;
}

void ImageEmbedder::PlaceImage(std::string_view tag) {
  WriterState& st = writer_.state();
  const std::string src = references_.ResolveImagePath(tag, "src");
  if (!FileExists(src)) return;
  const int k = references_.FindImage(src);
  if (k == 0) return;
  const ImageEntry& entry = references_.entries()[static_cast<size_t>(k - 1)];
  // A picture that gave no JPEG has no object: its tag draws nothing.
  if (!entry.jpeg.ok) return;

  const int32_t W = st.PageWidth, H = st.PageHeight, M = st.LeftMarginPt, T = st.TopMarginPt;
  const Fixed4 L = st.Leading;
  const int32_t text_width = W - 2 * M;
  int32_t w = AttributeToInt(TagAttribute(tag, "width", std::to_string(text_width)));
  int32_t h = AttributeToInt(
      TagAttribute(tag, "height", FormatNumber(static_cast<double>(entry.aspect) * text_width)));
  const int32_t x = AttributeToInt(TagAttribute(tag, "left", std::to_string(M)));
  int32_t y = AttributeToInt(TagAttribute(tag, "top", std::to_string(-H)));
  int32_t y_pos = 0;

  if (h > H) {
    // Taller than the page: the page's height, proportions kept, on the bottom edge.
    st.VerticalCursor = 0;
    y_pos = 0;
    w = RoundToInt32(static_cast<double>(H) / h * w).value_or(0);
    h = H;
  } else if (y == -H) {
    // In the text flow, below the last line, on a new page when it does not fit. A page that
    // is still at its top is not broken: the next page would offer no more room, only a blank
    // page before the picture.
    if (static_cast<double>(st.VerticalCursor) + h > H &&
        st.VerticalCursor != static_cast<float>(T)) {
      writer_.PageBreak();
    }
    if (st.VerticalCursor == static_cast<float>(T)) {
      y = T;
    } else {
      y = RoundToInt32((Fixed4::FromDouble(st.VerticalCursor) + L).ToDouble()).value_or(0);
    }
    const int32_t line = RoundToInt32(L.ToDouble()).value_or(0);
    const int32_t n = line > 0 ? h / line : 0;
    for (int32_t i = 0; i < n; ++i) layout_.LayoutLine("");
    Fixed4 below = Fixed4::FromInt(y) + Fixed4::FromTicks(L.ticks() * n);
    st.VerticalCursor = static_cast<float>(below.ToDouble());
    y_pos = RoundToInt32(H - static_cast<double>(st.VerticalCursor)).value_or(0);
  } else {
    // Placed absolutely: top measures from the top edge down to the image's top, unless the
    // old reading (the bottom edge in page coordinates) is asked for.
    const int64_t bottom = static_cast<int64_t>(y) + h;
    if (!UseOldTop() && bottom < H) {
      y = static_cast<int32_t>(std::min<int64_t>(H - bottom, INT32_MAX));
    }
    st.VerticalCursor = static_cast<float>(y);
    y_pos = y;
  }
  st.PageImageCount += 1;
  placements_.push_back(PlacementRecord{"im" + std::to_string(k), x, y_pos, w, h});
}

void ImageEmbedder::WritePlacementStream(int i) {
  if (i < 1 || static_cast<size_t>(i) > placements_.size()) return;
  const PlacementRecord& r = placements_[static_cast<size_t>(i - 1)];
  writer_.BeginStream();
  writer_.EmitLine("q " + std::to_string(r.width) + " 0 0 " + std::to_string(r.height) + " " +
                   std::to_string(r.x) + " " + std::to_string(r.y) + " cm /" + r.name + " Do");
  writer_.EndStream();
}

}  // namespace vellumox
