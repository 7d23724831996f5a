// The pictures of one document: collected before it starts, converted and handed to the writer
// as image objects before the shared resources, and placed by image tags.
#pragma once

#include <string>
#include <string_view>
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

class ImageEmbedder : public ImagePlacer {
 public:
  ImageEmbedder(DocumentWriter& writer, LineLayout& layout, ImageCodec& codec);

  void SetJpegOptions(const JpegOptions& options) { jpeg_options_ = options; }
  // The input name as the user gave it (FindImage looks beside it).
  void SetInputField(const std::string& text) { input_field_ = text; }
  // Whether an absolutely placed picture's top is its bottom edge in page coordinates (the
  // stored setting "UseOldTop"); false by default.
  void SetUseOldTop(bool use_old_top) { use_old_top_ = use_old_top; }
  // Where the fate of each picture is told; nowhere when unset.
  void SetEvents(PictureEvents* events) { events_ = events; }

  // Before the document starts: find the pictures that the input names.
  void CollectImages(const std::string& filename);
  // Before the shared resources: convert the pictures and hand back those that are embedded,
  // in document order. The writer gives each its object and resource entry.
  std::vector<ImageObject> PrepareImages();
  // After the document: forget the pictures and their temporary files.
  void ResetImages();

  // ImagePlacer
  void PlaceImage(std::string_view tag) override;

  const ImageReferences& references() const { return references_; }

 private:
  void ConvertAll();

  DocumentWriter& writer_;
  LineLayout& layout_;
  ImageCodec& codec_;
  ImageReferences references_;
  JpegOptions jpeg_options_;
  std::string input_field_;
  bool use_old_top_ = false;
  PictureEvents* events_ = nullptr;
  PrivateFolder folder_;
};

}  // namespace vellumox
