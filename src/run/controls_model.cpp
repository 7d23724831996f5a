#include "run/controls_model.h"

#include "conversion/file_patterns.h"
#include "images/picture_formats.h"
#include "platform/file_system.h"
#include "platform/product.h"
#include "run/run_options.h"
#include "writer/color_table.h"
#include "writer/font_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"
#include "writer/transition_table.h"

namespace vellumox {

namespace {

// The lists of numbers: each entry with the number it stands for.
struct NumberEntry {
  const char* text;
  double value;
};
const NumberEntry kFontSizes[] = {{"4pt", 4},   {"5pt", 5},   {"6pt", 6},   {"7pt", 7},
                                  {"8pt", 8},   {"9pt", 9},   {"10pt", 10}, {"11pt", 11},
                                  {"12pt", 12}, {"14pt", 14}, {"16pt", 16}, {"18pt", 18},
                                  {"20pt", 20}, {"24pt", 24}, {"30pt", 30}, {"36pt", 36}};
// The rotation entries end in U+00BA, used as a degree sign.
const NumberEntry kRotations[] = {
    {"0\xC2\xBA", 0}, {"90\xC2\xBA", 90}, {"180\xC2\xBA", 180}, {"270\xC2\xBA", 270}};
const NumberEntry kMargins[] = {{"0.00\"", 0},    {"0.25\"", 0.25}, {"0.50\"", 0.5},
                                {"0.75\"", 0.75}, {"1.00\"", 1},    {"1.25\"", 1.25},
                                {"1.50\"", 1.5},  {"1.75\"", 1.75}, {"2.00\"", 2}};
struct PageSizeEntry {
  const char* text;
  PageSize size;
};
const PageSizeEntry kBuiltInPageSizes[] = {{"8.5\" x 11\"", {8.5f, 11}},
                                           {"8.5\" x 14\"", {8.5f, 14}},
                                           {"8.5\" x 5.5\"", {8.5f, 5.5f}},
                                           {"14\" x 11\"", {14, 11}},
                                           {"17\" x 11\"", {17, 11}}};

template <size_t N>
ListControl NumberList(const NumberEntry (&table)[N]) {
  ListControl list;
  for (const NumberEntry& entry : table) {
    list.entries.emplace_back(entry.text);
    list.values.push_back(entry.value);
  }
  return list;
}
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

double ListControl::Value() const {
  return selected >= 0 && selected < static_cast<int>(values.size())
             ? values[static_cast<size_t>(selected)]
             : 0;
}

ConverterControls MakeControls(const StartupFacts& facts) {
  ConverterControls c;
  c.caption = ProductTitle();
  for (const FontEntry& f : FontTable) c.cmbFont.entries.emplace_back(f.name);
  c.cmbFontSize = NumberList(kFontSizes);
  c.cmbRotation = NumberList(kRotations);
  for (const PageSizeEntry& entry : kBuiltInPageSizes) {
    c.cmbPageSize.entries.emplace_back(entry.text);
    c.page_sizes.push_back(entry.size);
  }
  // A line of pagesize.ini is text by nature: its numbers are read once, here.
  for (const std::string& size : facts.custom_page_sizes) {
    c.cmbPageSize.entries.push_back(size);
    c.page_sizes.push_back(PageSizeOf(size));
  }
  c.cmbMargin = NumberList(kMargins);
  c.cmbTopMargin = NumberList(kMargins);
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
  return SettingsOf(RunOptionsOf(c));
}

JobRequest MakeJobRequest(const ConverterControls& c, const std::string& command_line_text) {
  JobRequest request;
  request.input_text = c.txtFilename;
  request.output_text = c.txtOutputFile;
  request.output_named = c.output_named;
  request.settings = ReadSettings(c);
  request.image_patterns = ImagePatterns() + c.ExtraImagePatterns;
  request.alias_patterns = AliasPatterns(!c.ExtraImagePatterns.empty());
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
  c.output_named = false;
}

void ApplyChosenInputFile(ConverterControls& c, const std::string& file) {
  if (file.empty()) return;
  c.txtFilename = file;
  c.txtOutputFile = WithPdfExtension(file, ".pdf");
  c.output_named = false;
}

void ApplyChosenOutputFile(ConverterControls& c, const std::string& file) {
  if (file.empty()) return;
  c.txtOutputFile = file;
  c.output_named = true;
}

void PrepareNames(ConverterControls& c, const std::string& home) {
  for (std::string* name : {&c.txtFilename, &c.txtOutputFile}) {
    if (name->rfind("~/", 0) == 0 && !home.empty()) *name = home + name->substr(1);
  }
  if (c.txtOutputFile.empty() && !c.txtFilename.empty() &&
      c.txtFilename.find('*') == std::string::npos) {
    c.txtOutputFile = WithPdfExtension(c.txtFilename, ".pdf");
  }
}

std::string InputFilter(const ConverterControls& c) {
  const std::string pictures = PatternList(kConverterPatternOrder, ";").substr(1);
  // The other names of the types (*.jpeg, ...) are matched too, but not named in the caption.
  const std::string more = c.ExtraImagePatterns + AliasPatterns(!c.ExtraImagePatterns.empty());
  return "All supported files|*.txt;*.ini;*.bat;" + pictures + more +
         "|Text files (*.txt)|*.txt|Graphic files (" + pictures + ")|" + pictures + more +
         "|All files (*.*)|*.*";
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
