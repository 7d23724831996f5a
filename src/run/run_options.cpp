#include "run/run_options.h"

#include <cmath>

#include "writer/number_text.h"

namespace vellumox {

namespace {

constexpr double kPointsPerInch = 72;

std::optional<Rgb> ColorAt(int index) {
  if (index < 0 || index >= static_cast<int>(ColorTable.size())) return std::nullopt;
  return RgbOf(ColorTable[static_cast<size_t>(index)]);
}

// Selects the entry of a list of numbers that stands for value.
void SelectValue(ListControl& list, double value) {
  for (size_t i = 0; i < list.values.size(); ++i) {
    if (list.values[i] == value) {
      list.Select(static_cast<int>(i));
      return;
    }
  }
}

// As the lists' numbers always became settings: rounded, 0 when out of range.
int16_t ToInt16(double value) {
  return RoundToInt16(value).value_or(0);
}

}  // namespace

RunOptions RunOptionsOf(const ConverterControls& c) {
  RunOptions o;
  o.author = c.txtAuthor;
  o.creator = c.txtCreator;
  o.keywords = c.txtKeywords;
  o.subject = c.txtSubject;
  o.title = c.txtTitle;
  o.font = c.cmbFont.selected >= 0 && c.cmbFont.selected < kFontCount ? c.cmbFont.selected : -1;
  o.font_style = FaceStyleOf(o.font);
  o.font_size = c.cmbFontSize.Value();
  o.rotation = static_cast<int>(std::nearbyint(c.cmbRotation.Value()));
  const int page = c.cmbPageSize.selected;
  if (page >= 0 && page < static_cast<int>(c.page_sizes.size())) {
    o.page_width = c.page_sizes[static_cast<size_t>(page)].width * kPointsPerInch;
    o.page_height = c.page_sizes[static_cast<size_t>(page)].height * kPointsPerInch;
  } else {
    o.page_width = o.page_height = 0;
  }
  o.left_margin = c.cmbMargin.Value() * kPointsPerInch;
  o.top_margin = c.cmbTopMargin.Value() * kPointsPerInch;
  o.foreground = ColorAt(c.cmbForeColor.selected);
  o.background = ColorAt(c.cmbBackColor.selected);
  o.transition = static_cast<Transition>(c.cmbTransition.selected);
  o.page_numbers = c.chkPageNum;
  o.markup = c.chkFormatHeaders;
  o.full_screen = c.chkFullScreen;
  o.jpeg_quality = c.hsJPEG;
  o.keep_jpeg = c.chkSkipJPG;
  return o;
}

void ShowRunOptions(const RunOptions& o, ConverterControls& c) {
  c.txtAuthor = o.author;
  c.txtCreator = o.creator;
  c.txtKeywords = o.keywords;
  c.txtSubject = o.subject;
  c.txtTitle = o.title;
  c.cmbFont.Select(o.font);
  SelectValue(c.cmbFontSize, o.font_size);
  SelectValue(c.cmbRotation, o.rotation);
  for (size_t i = 0; i < c.page_sizes.size(); ++i) {
    if (c.page_sizes[i].width * kPointsPerInch == o.page_width &&
        c.page_sizes[i].height * kPointsPerInch == o.page_height) {
      c.cmbPageSize.Select(static_cast<int>(i));
      break;
    }
  }
  SelectValue(c.cmbMargin, o.left_margin / kPointsPerInch);
  SelectValue(c.cmbTopMargin, o.top_margin / kPointsPerInch);
  if (o.foreground) c.cmbForeColor.Select(ColorIndexOf(*o.foreground));
  if (o.background) c.cmbBackColor.Select(ColorIndexOf(*o.background));
  c.cmbTransition.Select(static_cast<int>(o.transition));
  c.chkPageNum = o.page_numbers;
  c.chkFormatHeaders = o.markup;
  c.chkFullScreen = o.full_screen;
  c.hsJPEG = o.jpeg_quality;
  c.chkSkipJPG = o.keep_jpeg;
}

ConversionSettings SettingsOf(const RunOptions& o) {
  ConversionSettings s;
  s.TextAuthor = o.author;
  s.TextCreator = o.creator;
  s.TextKeywords = o.keywords;
  s.TextSubject = o.subject;
  s.TextTitle = o.title;
  s.FontName = o.font >= 0 ? std::string(FontTable[static_cast<size_t>(o.font)].name) : "";
  s.FontSize = ToInt16(o.font_size);
  s.Rotation = ToInt16(o.rotation);
  s.pwidth = static_cast<float>(o.page_width / kPointsPerInch);
  s.pheight = static_cast<float>(o.page_height / kPointsPerInch);
  s.Margin = static_cast<float>(o.left_margin / kPointsPerInch);
  s.TopMargin = static_cast<float>(o.top_margin / kPointsPerInch);
  s.ForeColorIndex = static_cast<int16_t>(o.foreground ? ColorIndexOf(*o.foreground) : -1);
  s.BackColorIndex = static_cast<int16_t>(o.background ? ColorIndexOf(*o.background) : -1);
  s.ShowPageNum = o.page_numbers;
  s.UseTextFormating = o.markup;
  s.TransitionMode = static_cast<int16_t>(o.transition);
  s.FullScreen = o.full_screen;
  return s;
}

}  // namespace vellumox
