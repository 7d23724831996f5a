// The choices of one run, typed: what the controls model holds as list positions and texts, in
// the units of what they mean. The window's controls model maps to and from it; the conversion
// settings of the writer are made from it.
#pragma once

#include <optional>
#include <string>

#include "run/controls_model.h"
#include "writer/color_table.h"
#include "writer/conversion_settings.h"
#include "writer/font_table.h"
#include "writer/transition_table.h"

namespace vellumox {

struct RunOptions {
  // Document information, UTF-8.
  std::string author, creator, keywords, subject, title;
  int font = 4;             // the font table's position (Times-Roman); -1 for none
  FaceStyle font_style;     // its family's class, bold and italic
  double font_size = 10;    // points
  int rotation = 0;         // degrees
  double page_width = 612;  // points
  double page_height = 792;
  double left_margin = 18;  // points
  double top_margin = 36;
  std::optional<Rgb> foreground = Rgb{0, 0, 0};  // none: no colour of the table is chosen
  std::optional<Rgb> background = Rgb{1, 1, 1};
  Transition transition = Transition::kReplace;
  bool page_numbers = true;
  bool markup = true;
  bool full_screen = false;
  int jpeg_quality = 100;
  bool keep_jpeg = false;  // "Do not recompress JPG files"
};

// The controls' choices as run options.
RunOptions RunOptionsOf(const ConverterControls& controls);
// Run options shown in the controls: each list selects the entry that stands for the value (a
// value that no entry stands for leaves its list as it is).
void ShowRunOptions(const RunOptions& options, ConverterControls& controls);
// The writer's settings of one document (its output file is set per file).
ConversionSettings SettingsOf(const RunOptions& options);

}  // namespace vellumox
