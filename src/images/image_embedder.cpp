#include "images/image_embedder.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "images/image_header.h"
#include "images/jpeg_conversion.h"
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

ImageEmbedder::~ImageEmbedder() {
  StopWorkers();
}

void ImageEmbedder::ResetImages() {
  StopWorkers();
  references_.ResetImages();
  names_.clear();
  named_entries_.clear();
  refusals_.clear();
  finished_.clear();
  folder_.Remove();
}

std::string ImageEmbedder::PictureAt(const std::string& path) const {
  const std::optional<FileIdentity> file = IdentityOf(path);
  if (!file) return std::string();
  for (const ImageEntry& entry : references_.entries()) {
    if (IdentityOf(entry.path) == file) return entry.written;
  }
  return std::string();
}

PictureSource& ImageEmbedder::PrepareImages() {
  StopWorkers();
  std::vector<ImageEntry>& entries = references_.entries();
  names_.clear();
  named_entries_.clear();
  refusals_.assign(entries.size(), std::string());
  finished_.assign(entries.size(), 0);
  next_entry_ = told_ = holding_ = 0;
  cancelled_ = false;
  composed_told_ = false;
  if (entries.empty()) return *this;
  if (events_) events_->PicturesToConvert(static_cast<int>(entries.size()));
  if (folder_.Path().empty()) {
    writer_.ReportError("Cannot create a temporary folder for the pictures.");
    return *this;
  }
  // Only a picture that may give a JPEG gets a name (and an object): one that is missing or of
  // no readable type is known to give none before any decoding.
  for (size_t k = 0; k < entries.size(); ++k) {
    refusals_[k] = WhyNotConvertible(entries[k].path, codec_);
    if (!refusals_[k].empty()) continue;
    names_.push_back("im" + std::to_string(k + 1));
    named_entries_.push_back(k);
  }
  // Pictures are independent of each other, so they are converted on several threads.
  const size_t threads =
      std::min<size_t>(entries.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  ahead_ = 2 * threads;
  for (size_t t = 0; t < threads; ++t) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error& e) {
      // Fewer workers do the same work; with none, the document cannot have its pictures.
      if (!workers_.empty()) break;
      writer_.ReportError(std::string("Cannot start a thread to convert the pictures: ") +
                          e.what() + ".");
      CancelUnstarted();
      break;
    }
  }
  return *this;
}

void ImageEmbedder::Work() {
  std::vector<ImageEntry>& entries = references_.entries();
  const std::string& folder = folder_.Path();
  for (;;) {
    size_t k = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // A picture to convert waits while enough converted ones wait for the writer; one that
      // cannot be converted takes no room and is not held back.
      changed_.wait(lock, [&] {
        return cancelled_ || next_entry_ >= entries.size() || !refusals_[next_entry_].empty() ||
               holding_ < ahead_;
      });
      if (cancelled_ || next_entry_ >= entries.size()) return;
      k = next_entry_++;
      if (refusals_[k].empty()) ++holding_;
    }
    ImageEntry& entry = entries[k];
    // After a stop the pictures left are not begun; the workers end, and are joined, before
    // the folder they write into goes.
    if (!refusals_[k].empty()) {
      entry.jpeg.error = refusals_[k];
    } else if (StopRequested()) {
      entry.jpeg.error = "the conversion was stopped";
    } else {
      const std::string jpeg_path = folder + "/~temp" + std::to_string(k + 1) + ".jpg";
      // Nothing may escape a worker: what it did not expect fails the document (in Take), whose
      // partial output and temporary files then go as after any failure.
      try {
        entry.jpeg = ConvertToJpeg(entry.path, codec_, jpeg_options_, jpeg_path, folder);
      } catch (const std::bad_alloc&) {
        entry.jpeg = JpegFile();
        entry.jpeg.failure = "there is not enough memory to convert it";
      } catch (const std::exception& e) {
        entry.jpeg = JpegFile();
        entry.jpeg.failure = e.what();
      }
    }
    if (entry.jpeg.ok && entry.jpeg.width > 0 && entry.jpeg.height > 0) {
      entry.aspect = static_cast<float>(static_cast<double>(entry.jpeg.UprightHeight()) /
                                        entry.jpeg.UprightWidth());
    }
    std::lock_guard<std::mutex> lock(mutex_);
    // A picture that gave no JPEG holds no room.
    if (refusals_[k].empty() && !entry.jpeg.ok) --holding_;
    finished_[k] = 1;
    changed_.notify_all();
  }
}

void ImageEmbedder::TellUpTo(size_t end) {
  const std::vector<ImageEntry>& entries = references_.entries();
  for (; told_ < end && told_ < entries.size(); ++told_) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return finished_[told_] != 0; });
    }
    const ImageEntry& entry = entries[told_];
    // A picture that found no room for its JPEG, or no memory, fails the document instead
    // (Take).
    // Once the document has failed, what was not converted is no news: nothing is written.
    if (!events_ || StopRequested() || writer_.Failed() || entry.jpeg.write_error != 0 ||
        !entry.jpeg.failure.empty()) {
      continue;
    }
    if (entry.jpeg.ok) {
      events_->PictureConverted(entry.written);
      // Said once a document: the others are composed alike.
      if (entry.jpeg.composed && !composed_told_) {
        composed_told_ = true;
        events_->PictureComposed(entry.written);
      }
    } else {
      events_->PictureLeftOut(entry.written, entry.jpeg.error);
    }
  }
}

bool ImageEmbedder::Take(size_t k, ImageObject& image) {
  const size_t e = named_entries_[k];
  TellUpTo(e + 1);
  const ImageEntry& entry = references_.entries()[e];
  if (entry.jpeg.write_error != 0) {
    // A full disk is no fault of the picture: the document cannot be made as it is.
    const std::string where = FolderOfPath(folder_.Path());
    writer_.ReportError("There is no room left in '" + where.substr(0, where.size() - 1) +
                        "' for the converted picture '" + entry.written +
                        "': " + SystemErrorText(entry.jpeg.write_error) + ".");
    return false;
  }
  if (!entry.jpeg.failure.empty()) {
    writer_.ReportError("The picture '" + entry.written +
                        "' could not be converted: " + entry.jpeg.failure + ".");
    return false;
  }
  if (!entry.jpeg.ok) return false;
  image = ImageObject{};
  image.name = names_[k];
  image.source = entry.path;
  image.jpeg_path = entry.jpeg.path;
  image.lossless = entry.jpeg.lossless;
  image.width = entry.jpeg.width;
  image.height = entry.jpeg.height;
  image.components = entry.jpeg.components;
  image.inverted = entry.jpeg.inverted;
  image.icc_profile = entry.jpeg.icc_profile;
  image.form = entry.jpeg.form;
  return true;
}

void ImageEmbedder::Embedded(size_t k) {
  const size_t e = named_entries_[k];
  const ImageEntry& entry = references_.entries()[e];
  // The JPEG made for the document goes at once; a picture embedded as it is stays.
  RemoveConverted(entry);
  if (!entry.jpeg.ok) return;
  std::lock_guard<std::mutex> lock(mutex_);
  --holding_;
  changed_.notify_all();
}

void ImageEmbedder::FinishImages() {
  // A document that failed in its frame takes no more pictures: the workers stop at once.
  if (writer_.Failed()) StopWorkers();
  TellUpTo(references_.entries().size());
  StopWorkers();
  // What was converted and never embedded (the frame failed) goes now.
  for (const ImageEntry& entry : references_.entries()) RemoveConverted(entry);
}

void ImageEmbedder::RemoveConverted(const ImageEntry& entry) {
  if (!entry.jpeg.ok) return;
  if (entry.jpeg.path != entry.path) RemoveFile(entry.jpeg.path);
  if (!entry.jpeg.form.mask_path.empty()) RemoveFile(entry.jpeg.form.mask_path);
}

void ImageEmbedder::CancelUnstarted() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  // What the workers never took has not been converted.
  for (size_t k = next_entry_; k < finished_.size(); ++k) {
    references_.entries()[k].jpeg.error =
        refusals_[k].empty() ? "the conversion was stopped" : refusals_[k];
    finished_[k] = 1;
  }
  next_entry_ = finished_.size();
  changed_.notify_all();
}

void ImageEmbedder::StopWorkers() {
  if (workers_.empty()) return;
  CancelUnstarted();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
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
  auto has = [&](std::string_view name) {
    return FindIgnoreCase(tag, std::string(name) + "=") != std::string_view::npos;
  };
  auto given = [&](std::string_view name, const std::string& default_value, int32_t low,
                   int32_t high) {
    const std::string value = TagAttribute(tag, name, default_value);
    if (!has(name)) return AttributeToInt(value);
    std::optional<double> number = ParseNumberValue(value);
    return Bounded(number ? *number : 0, low, high, &bounded);
  };
  // A tag that gives one side only keeps the picture's proportions: the other side follows
  // from it.
  const double aspect = static_cast<double>(entry.aspect);
  int32_t w = given("width", std::to_string(text_width), 1, kMaxPictureSide);
  int32_t h =
      given("height", FormatNumber(aspect * (has("width") ? w : text_width)), 1, kMaxPictureSide);
  if (has("height") && !has("width") && aspect > 0) {
    w = static_cast<int32_t>(std::clamp(std::nearbyint(h / aspect), 1.0, 1.0 * kMaxPictureSide));
  }
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
  writer_.page().PlacePicture(
      PlacementRecord{"im" + std::to_string(k), x, y_pos, w, h, entry.jpeg.orientation});
}

}  // namespace vellumox
