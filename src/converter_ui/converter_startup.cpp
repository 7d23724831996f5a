#include "converter_ui/converter_startup.h"

#include "converter_ui/page_size_file.h"
#include "platform/file_system.h"
#include "platform/product.h"

namespace vellumox {

namespace {

StartupFacts FindFacts(const ImageCodec& codec, const StartupPlaces& places) {
  StartupFacts facts;
  facts.image_component = codec.HasImageComponent();
  facts.album_present = FileExists(places.program_folder + "/" + std::string(kAlbumProgram));
  facts.custom_page_sizes =
      LoadCustomPageSizes(places.program_folder, places.user_config_folder, &facts.warnings);
  return facts;
}

}  // namespace

ConverterStartup::ConverterStartup(SettingsStore& store, const ImageCodec& codec,
                                   StartupPlaces places, const FrontEndOptions& options)
    : store_(store),
      places_(std::move(places)),
      options_(options),
      facts_(FindFacts(codec, places_)),
      controls_(MakeControls(facts_)),
      warnings_(facts_.warnings) {}

void ConverterStartup::Restore() {
  RestoreSettings(store_, controls_);
  if (options_.keep_jpeg) controls_.chkSkipJPG = true;
  if (options_.jpeg_quality) controls_.hsJPEG = *options_.jpeg_quality;
  if (options_.markup) controls_.chkFormatHeaders = true;
  if (options_.page_numbers) controls_.chkPageNum = true;
  if (options_.no_full_screen) controls_.chkFullScreen = false;
}

CommandLineOutcome ConverterStartup::ApplyCommandLine() {
  command_line_ =
      vellumox::ApplyCommandLine(options_.arguments, controls_, options_.literal_inputs);
  warnings_ = facts_.warnings;
  warnings_.insert(warnings_.end(), command_line_.warnings.begin(), command_line_.warnings.end());
  return command_line_.outcome;
}

bool ConverterStartup::Save() {
  if (options_.no_save) return true;
  return SaveSettings(store_, controls_);
}

std::string ConverterStartup::StorePath() const {
  return store_.Location();
}

JobRequest ConverterStartup::MakeJobRequest() const {
  JobRequest request = vellumox::MakeJobRequest(controls_, command_line_.text);
  // An album list is pictures whatever the stored markup setting; the setting stays as it is.
  if (options_.album_list) {
    request.settings.UseTextFormating = true;
    // The album builder's list is named by the album's PDF, never by the list file.
    request.shown_input = "the album " + request.output_text;
  }
  request.settings.Compress = options_.compress;
  return request;
}

PictureOptions ConverterStartup::MakePictureOptions() const {
  PictureOptions options;
  options.jpeg = JpegOptions{controls_.hsJPEG, controls_.chkSkipJPG};
  options.use_old_top = StoredUseOldTop(store_);
  return options;
}

std::string ConverterStartup::AlbumProgram() const {
  return controls_.btnAlbumVisible ? places_.program_folder + "/" + std::string(kAlbumProgram)
                                   : std::string();
}

}  // namespace vellumox
