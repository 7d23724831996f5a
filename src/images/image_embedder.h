// The pictures of one document: collected before it starts, converted and written as image
// objects after the shared resources, placed by image tags, and drawn by one small stream per
// placement at the end of each page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "images/image_codec.h"
#include "images/image_references.h"
#include "images/jpeg_conversion.h"
#include "layout/image_placer.h"
#include "layout/line_layout.h"
#include "writer/document_hooks.h"
#include "writer/document_writer.h"
#include "writer/private_folder.h"
#include "writer/settings_source.h"

namespace vellumox {

struct PlacementRecord {
  std::string name;  // "im" + list position
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

class ImageEmbedder : public ImageHooks, public ImagePlacer {
 public:
  ImageEmbedder(DocumentWriter& writer, LineLayout& layout, ImageCodec& codec);

  void SetJpegOptions(const JpegOptions& options) { jpeg_options_ = options; }
  // The input name as the user gave it (FindImage looks beside it).
  void SetInputField(const std::string& text) { input_field_ = text; }
  // Where "UseOldTop" is read; without it, it is false.
  void SetSettings(const SettingsSource* settings) { settings_ = settings; }

  // ImageHooks
  void CollectImages(const std::string& filename) override;
  void ResetImages() override;
  void WriteImageResources() override;
  void WriteImageObjects() override;
  void StartPagePlacements() override { placements_.clear(); }
  void WritePlacementStream(int i) override;

  // ImagePlacer
  void PlaceImage(std::string_view tag) override;

  const ImageReferences& references() const { return references_; }
  const std::vector<PlacementRecord>& placements() const { return placements_; }

 private:
  void ConvertAll();
  bool UseOldTop() const;

  DocumentWriter& writer_;
  LineLayout& layout_;
  ImageCodec& codec_;
  ImageReferences references_;
  JpegOptions jpeg_options_;
  std::string input_field_;
  const SettingsSource* settings_ = nullptr;
  PrivateFolder folder_;
  std::vector<PlacementRecord> placements_;
};

}  // namespace vellumox
