#include "converter_ui/controls_model.h"

#include "conversion/file_patterns.h"
#include "images/picture_formats.h"
#include "platform/file_system.h"
#include "platform/product.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"
#include "writer/transition_table.h"

namespace vellumox {

namespace {

const char* const kFontSizes[] = {"4pt",  "5pt",  "6pt",  "7pt",  "8pt",  "9pt",  "10pt", "11pt",
                                  "12pt", "14pt", "16pt", "18pt", "20pt", "24pt", "30pt", "36pt"};
// The rotation entries end in U+00BA, used as a degree sign.
const char* const kRotations[] = {"0\xC2\xBA", "90\xC2\xBA", "180\xC2\xBA", "270\xC2\xBA"};
const char* const kBuiltInPageSizes[] = {"8.5\" x 11\"", "8.5\" x 14\"", "8.5\" x 5.5\"",
                                         "14\" x 11\"", "17\" x 11\""};
const char* const kMargins[] = {"0.00\"", "0.25\"", "0.50\"", "0.75\"", "1.00\"",
                                "1.25\"", "1.50\"", "1.75\"", "2.00\""};
// The file types: a single file, a folder, then an album of each picture type.
std::string AlbumFileType(std::string_view extension) {
  return "Make Album with " + std::string(PictureTypeOf(extension).label);
}

// The picture type of the album file type at index (from file_type::kFirstAlbum on): the
// converter's own types, then the optional ones.
std::string_view AlbumTypeAt(int index) {
  const auto k = static_cast<size_t>(index - file_type::kFirstAlbum);
  if (k < kConverterFileTypeOrder.size()) return kConverterFileTypeOrder[k];
  return OptionalTypeOrder()[k - kConverterFileTypeOrder.size()];
}

template <class Range>
std::vector<std::string> Entries(const Range& range) {
  std::vector<std::string> out;
  for (const auto& e : range) out.emplace_back(e);
  return out;
}

float LeadingNumber(std::string_view text) {
  return static_cast<float>(ReadNumber(text));
}

int16_t ToInt16(double value) {
  return RoundToInt16(value).value_or(0);
}

}  // namespace

bool ListControl::Select(int index) {
  if (index < 0 || index >= Count()) return false;
  selected = index;
  return true;
}

bool ListControl::SelectText(std::string_view text) {
  for (int i = 0; i < Count(); ++i) {
    if (entries[static_cast<size_t>(i)] == text) {
      selected = i;
      return true;
    }
  }
  return false;
}

std::string ListControl::Text() const {
  return selected >= 0 && selected < Count() ? entries[static_cast<size_t>(selected)]
                                             : std::string();
}

ConverterControls MakeControls(const StartupFacts& facts) {
  ConverterControls c;
  c.caption = ProductTitle();
  for (const FontEntry& f : FontTable) c.cmbFont.entries.emplace_back(f.name);
  c.cmbFontSize.entries = Entries(kFontSizes);
  c.cmbRotation.entries = Entries(kRotations);
  c.cmbPageSize.entries = Entries(kBuiltInPageSizes);
  for (const std::string& size : facts.custom_page_sizes) c.cmbPageSize.entries.push_back(size);
  c.cmbMargin.entries = Entries(kMargins);
  c.cmbTopMargin.entries = Entries(kMargins);
  for (const ColorEntry& color : ColorTable) {
    c.cmbForeColor.entries.emplace_back(color.name);
    c.cmbBackColor.entries.emplace_back(color.name);
  }
  for (const TransitionEntry& t : TransitionTable) c.cmbTransition.entries.emplace_back(t.name);
  c.cmbFileType.entries = {"Single File", "Process Directory"};
  for (std::string_view type : kConverterFileTypeOrder) {
    c.cmbFileType.entries.push_back(AlbumFileType(type));
  }
  if (facts.image_component) {
    for (std::string_view type : OptionalTypeOrder()) {
      c.cmbFileType.entries.push_back(AlbumFileType(type));
    }
    c.ExtraImagePatterns = ExtraImagePatterns();
  }
  if (facts.album_present) {
    c.cmbFileType.entries.emplace_back(kInteractiveAlbum);
    c.btnAlbumVisible = true;
  }
  return c;
}

PageSize PageSizeOf(std::string_view entry) {
  PageSize size;
  size.width = LeadingNumber(entry);
  size_t x = entry.find_last_of("xX");
  if (x != std::string_view::npos) {
    size.height = LeadingNumber(entry.substr(x + 1));
  } else {
    size.height = LeadingNumber(entry.substr(entry.size() - std::min<size_t>(4, entry.size())));
  }
  return size;
}

ConversionSettings ReadSettings(const ConverterControls& c) {
  ConversionSettings s;
  s.TextAuthor = c.txtAuthor;
  s.TextCreator = c.txtCreator;
  s.TextKeywords = c.txtKeywords;
  s.TextSubject = c.txtSubject;
  s.TextTitle = c.txtTitle;
  s.FontName = c.cmbFont.Text();
  s.FontSize = ToInt16(ReadNumber(c.cmbFontSize.Text()));
  s.Rotation = ToInt16(ReadNumber(c.cmbRotation.Text()));
  PageSize page = PageSizeOf(c.cmbPageSize.Text());
  s.pwidth = page.width;
  s.pheight = page.height;
  s.Margin = LeadingNumber(c.cmbMargin.Text());
  s.ForeColorIndex = static_cast<int16_t>(c.cmbForeColor.selected);
  s.BackColorIndex = static_cast<int16_t>(c.cmbBackColor.selected);
  s.ShowPageNum = c.chkPageNum;
  s.UseTextFormating = c.chkFormatHeaders;
  s.TransitionMode = static_cast<int16_t>(c.cmbTransition.selected);
  s.FullScreen = c.chkFullScreen;
  s.TopMargin = LeadingNumber(c.cmbTopMargin.Text());
  return s;
}

JobRequest MakeJobRequest(const ConverterControls& c, const std::string& command_line_text) {
  JobRequest request;
  request.input_text = c.txtFilename;
  request.output_text = c.txtOutputFile;
  request.settings = ReadSettings(c);
  request.image_patterns = ImagePatterns() + c.ExtraImagePatterns;
  request.command_line_text = command_line_text;
  request.open_when_done = c.chkOpen;
  return request;
}

bool OutputFieldEnabled(const ConverterControls& c) {
  int type = c.cmbFileType.selected;
  if (type == file_type::kSingleFile && c.txtFilename.find('*') != std::string::npos) return false;
  return type != file_type::kProcessDirectory;
}

FileTypeAction ChangeFileType(ConverterControls& c) {
  if (c.cmbFileType.selected < 1) return FileTypeAction::kFocusInput;
  if (c.cmbFileType.Text() == kInteractiveAlbum) {
    c.cmbFileType.selected = file_type::kSingleFile;
    return FileTypeAction::kStartAlbumBuilder;
  }
  return FileTypeAction::kBrowseInput;
}

void ApplyBrowsedFolder(ConverterControls& c, std::string folder) {
  if (folder.empty()) return;
  if (folder.back() != '/') folder += '/';
  int type = c.cmbFileType.selected;
  if (type == file_type::kProcessDirectory) {
    c.txtFilename = folder + "*.txt";
    c.txtOutputFile.clear();
  } else if (type >= file_type::kFirstAlbum && type <= file_type::kLastAlbum &&
             c.cmbFileType.Text() != kInteractiveAlbum) {
    c.txtFilename = folder + PatternOf(AlbumTypeAt(type));
    c.txtOutputFile = folder + "images.pdf";
  }
}

void ApplyChosenInputFile(ConverterControls& c, const std::string& file) {
  if (file.empty()) return;
  c.txtFilename = file;
  c.txtOutputFile = WithPdfExtension(file, ".pdf");
}

void ApplyChosenOutputFile(ConverterControls& c, const std::string& file) {
  if (!file.empty()) c.txtOutputFile = file;
}

std::string InputFilter(const ConverterControls& c) {
  const std::string pictures = PatternList(kConverterPatternOrder, ";").substr(1);
  return "All supported files|*.txt;*.ini;*.bat;" + pictures + c.ExtraImagePatterns +
         "|Text files (*.txt)|*.txt|Graphic files (" + pictures + ")|" + pictures +
         c.ExtraImagePatterns + "|All files (*.*)|*.*";
}

std::string InputLabelTarget(const ConverterControls& c, bool left_button) {
  if (!left_button || c.txtFilename.find('*') != std::string::npos) {
    return FolderOfPath(c.txtFilename);
  }
  return c.txtFilename;
}

std::string OutputLabelTarget(const ConverterControls& c) {
  return FileExists(c.txtOutputFile) ? c.txtOutputFile : FolderOfPath(c.txtOutputFile);
}

}  // namespace vellumox
