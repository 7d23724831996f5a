#include "run/converter_startup.h"

#include "conversion/file_patterns.h"
#include "images/picture_formats.h"
#include "platform/file_system.h"
#include "platform/product.h"
#include "run/page_size_file.h"
#include "run/run_options.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

StartupFacts FindFacts(const ImageCodec& codec, const StartupPlaces& places,
                       bool ask_image_component) {
  StartupFacts facts;
  facts.image_component = ask_image_component && codec.HasImageComponent();
  facts.album_present = FileExists(places.program_folder + "/" + std::string(kAlbumProgram));
  facts.custom_page_sizes =
      LoadCustomPageSizes(places.program_folder, places.user_config_folder, &facts.warnings);
  return facts;
}

// Why a command line names nothing to convert.
std::string NothingMessage(const std::string& rest) {
  if (rest.empty())
    return "Nothing to convert: name a file, a folder pattern or pictures (see --help).";
  if (FileLength(rest) == 0) return "Nothing to convert: '" + rest + "' is empty.";
  return "Nothing to convert: '" + rest + "' names no file.";
}

RunPlan Refused(std::string message, int status, bool error = false) {
  RunPlan plan;
  plan.kind = RunPlan::Kind::kRefused;
  plan.message = std::move(message);
  plan.status = status;
  plan.message_is_error = error;
  return plan;
}

}  // namespace

int StatusOf(const JobReport& report) {
  if (report.names_missing) return kExitNothing;
  if (report.failures > 0) return kExitFailed;
  if (report.pictures_left_out > 0 || report.characters_missing > 0 || report.invalid_text > 0) {
    return kExitPicturesLeftOut;
  }
  return kExitDone;
}

int WorseStatus(int a, int b) {
  auto rank = [](int status) {
    return status == kExitFailed            ? 3
           : status == kExitNothing         ? 2
           : status == kExitPicturesLeftOut ? 1
                                            : 0;
  };
  return rank(a) >= rank(b) ? a : b;
}

RunPlan ConverterStartup::PlanRun(const std::string& stdin_file,
                                  const std::string& stdout_file) const {
  const CommandLineOutcome outcome = command_line_.outcome;
  RunPlan plan;
  if (outcome == CommandLineOutcome::kHelp) {
    plan.kind = RunPlan::Kind::kHelp;
    return plan;
  }
  // Opened from the desktop: the window shows the input and its PDF, and waits for the user.
  if (options_.open && !options_.stdin_input && !options_.stdout_output) return plan;
  if (options_.stdin_input) {
    if (outcome == CommandLineOutcome::kConvert || !command_line_.text.empty()) {
      return Refused("'-' reads the input from standard input: name no other input.", kExitNothing);
    }
    if (!options_.stdout_output && controls_.txtOutputFile.empty()) {
      return Refused("Standard input needs an output: -o FILE or -o -.", kExitNothing);
    }
    if (!options_.stdout_output && StandardInputIdentity() &&
        StandardInputIdentity() == IdentityOf(controls_.txtOutputFile)) {
      // As a named input is never written over by its own PDF.
      return Refused("Standard input is the file '" + controls_.txtOutputFile +
                         "' itself: its PDF would be written over it.",
                     kExitFailed, true);
    }
    JobRequest request = MakeJobRequest();
    request.input_text = stdin_file;
    request.output_text = options_.stdout_output ? stdout_file : controls_.txtOutputFile;
    request.command_line_text = stdin_file;
    plan.kind = RunPlan::Kind::kConvert;
    plan.jobs.push_back(request);
    plan.standard_input_file = stdin_file;
    if (options_.stdout_output) plan.standard_output_file = stdout_file;
    return plan;
  }
  if (outcome == CommandLineOutcome::kConvert) {
    JobRequest request = MakeJobRequest();
    const std::string& input = request.input_text;
    const bool pattern = input.find('*') != std::string::npos;
    const bool album = IsAlbumInput(input, request.image_patterns, request.alias_patterns);
    // A text pattern makes one PDF per file, which one name cannot stand for: refused before
    // anything is written.
    if (options_.stdout_output && pattern && !album) {
      return Refused("-o - writes the PDF of a single input to standard output; '" + input +
                         "' makes one PDF per file: leave out -o -.",
                     kExitNothing);
    }
    if (command_line_.output_named && pattern && !album) {
      return Refused("-o names the PDF of a single input; '" + input +
                         "' makes one PDF per file: leave out -o.",
                     kExitNothing);
    }
    if (options_.stdout_output) {
      // The album of a picture pattern goes to standard output too, and nowhere else.
      request.output_text = stdout_file;
      request.output_named = true;
    } else if (command_line_.output_named && pattern) {
      // The album goes where -o says: NAME, or NAME.pdf.
      request.output_text = command_line_.output;
      request.output_named = true;
    }
    plan.kind = RunPlan::Kind::kConvert;
    plan.jobs.push_back(request);
    if (options_.stdout_output) plan.standard_output_file = stdout_file;
    return plan;
  }
  // Several inputs, as the shell expands them: each must name a file.
  const std::vector<std::string>& inputs = command_line_.inputs;
  bool all_files = inputs.size() >= 2;
  for (const std::string& input : inputs) all_files = all_files && FileExists(input);
  if (!all_files) {
    // With a window, nothing to convert opens it; without, it is said.
    plan.message = NothingMessage(command_line_.text);
    return plan;
  }
  if (!controls_.txtOutputFile.empty() || options_.stdout_output) {
    return Refused("-o names the PDF of a single input; these are " +
                       std::to_string(inputs.size()) + ": each goes to its own PDF without -o.",
                   kExitNothing);
  }
  plan.kind = RunPlan::Kind::kConvert;
  for (const std::string& input : inputs) {
    JobRequest request = MakeJobRequest();
    request.input_text = input;
    request.output_text = WithPdfExtension(input, ".pdf");
    request.command_line_text = input;  // the job ends the run, as for one input
    request.run_inputs = inputs;        // none of which any PDF of the run replaces
    plan.jobs.push_back(request);
  }
  return plan;
}

bool NamesComponentPicture(const FrontEndOptions& options) {
  for (const std::vector<std::string>* list : {&options.arguments, &options.literal_inputs}) {
    for (const std::string& argument : *list) {
      const PictureType* type = PictureTypeOfName(argument);
      if (type && type->optional) return true;
    }
  }
  return false;
}

ConverterStartup::ConverterStartup(SettingsStore& store, const ImageCodec& codec,
                                   StartupPlaces places, const FrontEndOptions& options,
                                   bool ask_image_component)
    : store_(store),
      places_(std::move(places)),
      options_(options),
      facts_(FindFacts(codec, places_, ask_image_component)),
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

std::string CommandLineCaption(const std::vector<std::string>& switches) {
  std::string typed;
  for (const std::string& s : switches) typed += (typed.empty() ? "" : " ") + s;
  constexpr size_t kMost = 60;
  if (typed.size() > kMost) {
    size_t cut = kMost;
    while (cut > 0 && (static_cast<unsigned char>(typed[cut]) & 0xC0) == 0x80) --cut;
    typed = typed.substr(0, cut) + "\xE2\x80\xA6";  // "…"
  }
  return ProductTitle() + " \xE2\x80\x94 from the command line: " + typed;
}

CommandLineOutcome ConverterStartup::ApplyCommandLine() {
  command_line_ =
      vellumox::ApplyCommandLine(options_.arguments, controls_, options_.literal_inputs);
  // A window opened by switches alone says which are in force (they change what the window
  // keeps when it closes), until the user changes a control.
  if (command_line_.outcome == CommandLineOutcome::kNothing && !command_line_.switches.empty()) {
    controls_.caption = CommandLineCaption(command_line_.switches);
  }
  warnings_ = facts_.warnings;
  warnings_.insert(warnings_.end(), command_line_.warnings.begin(), command_line_.warnings.end());
  return command_line_.outcome;
}

bool ConverterStartup::Save(bool from_command_line) {
  if (options_.no_save || (from_command_line && !options_.save)) return true;
  return SaveSettings(store_, controls_);
}

std::string ConverterStartup::WhyNotKept() const {
  return store_.WhyNotKept();
}

JobRequest ConverterStartup::MakeJobRequest() const {
  // A file opened from the desktop is the user's to convert, as one typed in the window.
  JobRequest request =
      vellumox::MakeJobRequest(controls_, options_.open ? std::string() : command_line_.text);
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
  const RunOptions run = RunOptionsOf(controls_);
  options.jpeg = JpegOptions{run.jpeg_quality, run.keep_jpeg};
  options.use_old_top = StoredUseOldTop(store_);
  return options;
}

std::string ConverterStartup::AlbumProgram() const {
  return controls_.btnAlbumVisible ? places_.program_folder + "/" + std::string(kAlbumProgram)
                                   : std::string();
}

}  // namespace vellumox
