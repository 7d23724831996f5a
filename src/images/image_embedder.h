// The pictures of one document: collected before it starts, converted and handed to the writer
// as image objects before the shared resources, and placed by image tags.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "images/image_codec.h"
#include "images/image_references.h"
#include "images/jpeg_conversion.h"
#include "images/picture_events.h"
#include "layout/image_placer.h"
#include "layout/line_layout.h"
#include "platform/private_folder.h"
#include "writer/document_writer.h"
#include "writer/picture_objects.h"

namespace vellumox {

class ImageEmbedder : public ImagePlacer, public PictureSource {
 public:
  ImageEmbedder(DocumentWriter& writer, LineLayout& layout, ImageCodec& codec);
  ~ImageEmbedder();
  ImageEmbedder(const ImageEmbedder&) = delete;
  ImageEmbedder& operator=(const ImageEmbedder&) = delete;

  void SetJpegOptions(const JpegOptions& options) { jpeg_options_ = options; }
  // The document's background colour, onto which partial transparency is composed.
  void SetPageColor(Rgb8 color) { jpeg_options_.page_color = color; }
  // The input name as the user gave it (FindImage looks beside it).
  void SetInputField(const std::string& text) { input_field_ = text; }
  // Whether an absolutely placed picture's top is its bottom edge in page coordinates (the
  // stored setting "UseOldTop"); false by default.
  void SetUseOldTop(bool use_old_top) { use_old_top_ = use_old_top; }
  // Where the fate of each picture is told; nowhere when unset.
  void SetEvents(PictureEvents* events) { events_ = events; }

  // Before the document starts: find the pictures that the input names.
  void CollectImages(const std::string& filename);
  // Before the shared resources: the pictures that may be embedded are named, and converting
  // them begins on worker threads. The writer then takes each as its turn comes (PictureSource),
  // and the workers stay a few pictures ahead of it, so that the converted JPEGs waiting in the
  // temporary folder are those of a few pictures, however many the document shows.
  PictureSource& PrepareImages();
  // After the frame: the fate of every picture told, the workers ended.
  void FinishImages();
  // After the document: forget the pictures and their temporary files.
  void ResetImages();

  // PictureSource
  const std::vector<std::string>& Names() const override { return names_; }
  bool Take(size_t k, ImageObject& image) override;
  void Embedded(size_t k) override;

  // ImagePlacer
  void PlaceImage(std::string_view tag) override;

  const ImageReferences& references() const { return references_; }
  // The picture of the document that is the file at path (through links too), or empty.
  std::string PictureAt(const std::string& path) const;

 private:
  // Converts the pictures in order, holding at most ahead_ converted JPEGs at a time.
  void Work();
  // Tells the fate of the pictures before entry end, in order, waiting for each.
  void TellUpTo(size_t end);
  void StopWorkers();
  // Marks the pictures that no worker took as not converted, and lets the workers end.
  void CancelUnstarted();
  // Removes what was made for the entry's picture (not the picture itself).
  void RemoveConverted(const ImageEntry& entry);

  DocumentWriter& writer_;
  LineLayout& layout_;
  ImageCodec& codec_;
  ImageReferences references_;
  JpegOptions jpeg_options_;
  std::string input_field_;
  bool use_old_top_ = false;
  PictureEvents* events_ = nullptr;
  PrivateFolder folder_;

  // The conversion of the pictures, shared with the workers under mutex_.
  std::vector<std::string> names_;     // the resource names given out, in order
  std::vector<size_t> named_entries_;  // the entry of each name
  std::vector<std::string> refusals_;  // per entry: why it cannot be converted at all, or empty
  std::vector<char> finished_;         // per entry: its conversion has ended
  size_t next_entry_ = 0;              // the next entry a worker takes
  size_t told_ = 0;                    // the entries whose fate has been told
  size_t holding_ = 0;                 // pictures being converted or waiting to be embedded
  size_t ahead_ = 0;                   // the most of them at once
  bool cancelled_ = false;
  bool composed_told_ = false;  // the document's partial transparency has been told
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::thread> workers_;
};

}  // namespace vellumox
