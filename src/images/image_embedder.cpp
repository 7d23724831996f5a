#include "images/image_embedder.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "images/image_header.h"
#include "layout/markup_interpreter.h"
#include "layout/markup_rules.h"
#include "platform/file_system.h"
#include "platform/stop.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

ImageEmbedder::ImageEmbedder(DocumentWriter& writer, LineLayout& layout, ImageCodec& codec)
    : writer_(writer), layout_(layout), codec_(codec), references_(codec) {}

void ImageEmbedder::CollectImages(const std::string& filename) {
  references_.SetDocument(writer_.OutputFile(), input_field_);
  references_.CollectImages(filename, writer_.geometry().UseTextFormating);
  if (events_) {
    for (const ImageReferences::LeftOutPicture& picture : references_.LeftOut()) {
      events_->PictureLeftOut(picture.written, picture.reason);
    }
  }
}

void ImageEmbedder::ResetImages() {
  references_.ResetImages();
  folder_.Remove();
}

// Pictures are independent of each other, so they are converted on several threads. This
// thread tells the fate of each in document order as soon as it is known.
void ImageEmbedder::ConvertAll() {
  std::vector<ImageEntry>& entries = references_.entries();
  if (entries.empty()) return;
  if (events_) events_->PicturesToConvert(static_cast<int>(entries.size()));
  const std::string& folder = folder_.Path();
  if (folder.empty()) {
    writer_.ReportError("Cannot create a temporary folder for the pictures.");
    return;
  }
  std::atomic<size_t> next{0};
  std::vector<char> finished(entries.size(), 0);
  std::mutex mutex;
  std::condition_variable progress;
  auto work = [&] {
    for (size_t k = next++; k < entries.size(); k = next++) {
      ImageEntry& entry = entries[k];
      std::string jpeg_path = folder + "/~temp" + std::to_string(k + 1) + ".jpg";
      // After a stop the pictures left are not begun; the workers end, and are joined, before
      // the folder they write into goes.
      if (StopRequested()) {
        entry.jpeg.error = "the conversion was stopped";
      } else {
        entry.jpeg = ConvertToJpeg(entry.path, codec_, jpeg_options_, jpeg_path, folder);
      }
      if (entry.jpeg.ok && entry.jpeg.width > 0) {
        entry.aspect =
            static_cast<float>(static_cast<double>(entry.jpeg.height) / entry.jpeg.width);
      }
      std::lock_guard<std::mutex> lock(mutex);
      finished[k] = 1;
      progress.notify_one();
    }
  };
  const size_t threads =
      std::min<size_t>(entries.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  std::vector<std::thread> workers;
  for (size_t t = 0; t < threads; ++t) workers.emplace_back(work);
  for (size_t k = 0; k < entries.size(); ++k) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      progress.wait(lock, [&] { return finished[k] != 0; });
    }
    if (!events_ || StopRequested()) continue;
    if (entries[k].jpeg.ok) {
      events_->PictureConverted(entries[k].written);
    } else {
      events_->PictureLeftOut(entries[k].written, entries[k].jpeg.error);
    }
  }
  for (std::thread& worker : workers) worker.join();
}

std::vector<ImageObject> ImageEmbedder::PrepareImages() {
  ConvertAll();
  std::vector<ImageObject> objects;
  const std::vector<ImageEntry>& entries = references_.entries();
  for (size_t k = 0; k < entries.size(); ++k) {
    const ImageEntry& entry = entries[k];
    if (!entry.jpeg.ok) continue;
    int32_t w = 0, h = 0, kind = 0;
    uint8_t bits = 0;
    ReadImageHeader(entry.jpeg.path, w, h, bits, kind);
    objects.push_back(ImageObject{"im" + std::to_string(k + 1), entry.path, entry.jpeg.path,
                                  entry.jpeg.width, entry.jpeg.height, bits == 8});
  }
  return objects;
}

void ImageEmbedder::PlaceImage(std::string_view tag) {
  const PageGeometry& g = writer_.geometry();
  PageCursor& cursor = layout_.cursor();
  const std::string src = references_.PlacedPath(tag);
  if (!references_.Exists(src)) return;
  const int k = references_.FindImage(src);
  if (k == 0) return;
  const ImageEntry& entry = references_.entries()[static_cast<size_t>(k - 1)];
  // A picture that gave no JPEG has no object: its tag draws nothing.
  if (!entry.jpeg.ok) return;

  const int32_t W = g.PageWidth, H = g.PageHeight, M = g.LeftMarginPt, T = g.TopMarginPt;
  const Fixed4 L = g.Leading;
  const int32_t text_width = W - 2 * M;
  // What the tag gives is kept within what a page can hold: a picture at least one unit and at
  // most kMaxPictureSide on a side, a position within kMaxPosition.
  bool bounded = false;
  auto given = [&](std::string_view name, const std::string& default_value, int32_t low,
                   int32_t high) {
    const std::string value = TagAttribute(tag, name, default_value);
    if (FindIgnoreCase(tag, std::string(name) + "=") == std::string_view::npos) {
      return AttributeToInt(value);
    }
    std::optional<double> number = ParseNumberValue(value);
    return Bounded(number ? *number : 0, low, high, &bounded);
  };
  int32_t w = given("width", std::to_string(text_width), 1, kMaxPictureSide);
  int32_t h = given("height", FormatNumber(static_cast<double>(entry.aspect) * text_width), 1,
                    kMaxPictureSide);
  const int32_t x = given("left", std::to_string(M), -kMaxPosition, kMaxPosition);
  int32_t y = given("top", std::to_string(-H), -kMaxPosition, kMaxPosition);
  if (bounded) WarnOutOfBounds(writer_, tag);
  int32_t y_pos = 0;

  if (h > H) {
    // Taller than the page: the page's height, proportions kept, on the bottom edge.
    cursor.SetVertical(0);
    y_pos = 0;
    w = RoundToInt32(static_cast<double>(H) / h * w).value_or(0);
    h = H;
  } else if (y == -H) {
    // In the text flow, below the last line, on a new page when it does not fit. A page that
    // is still at its top is not broken: the next page would offer no more room, only a blank
    // page before the picture.
    if (static_cast<double>(cursor.Vertical()) + h > H &&
        cursor.Vertical() != static_cast<float>(T)) {
      layout_.PageBreak();
    }
    if (cursor.Vertical() == static_cast<float>(T)) {
      y = T;
    } else {
      y = RoundToInt32((Fixed4::FromDouble(cursor.Vertical()) + L).ToDouble()).value_or(0);
    }
    const int32_t line = RoundToInt32(L.ToDouble()).value_or(0);
    const int32_t n = line > 0 ? h / line : 0;
    for (int32_t i = 0; i < n; ++i) layout_.LayoutLine("");
    Fixed4 below = Fixed4::FromInt(y) + Fixed4::FromTicks(L.ticks() * n);
    cursor.SetVertical(static_cast<float>(below.ToDouble()));
    y_pos = RoundToInt32(H - static_cast<double>(cursor.Vertical())).value_or(0);
  } else {
    // Placed absolutely: top measures from the top edge down to the image's top, unless the
    // old reading (the bottom edge in page coordinates) is asked for.
    const int64_t bottom = static_cast<int64_t>(y) + h;
    if (!use_old_top_ && bottom < H) {
      y = static_cast<int32_t>(std::min<int64_t>(H - bottom, INT32_MAX));
    }
    cursor.SetVertical(static_cast<float>(y));
    y_pos = y;
  }
  // A picture's own shape (a thin strip) or a page without room between its margins may give
  // a side that rounds to nothing: it keeps one unit, so that it can be drawn.
  w = std::clamp(w, 1, kMaxPictureSide);
  h = std::clamp(h, 1, kMaxPictureSide);
  // A top measured from the page's top edge can land past the bounds that the tag kept to.
  y_pos = std::clamp(y_pos, -kMaxPosition, kMaxPosition);
  writer_.page().PlacePicture(PlacementRecord{"im" + std::to_string(k), x, y_pos, w, h});
}

}  // namespace vellumox
