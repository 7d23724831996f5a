#include "run/settings_store.h"

#include "platform/file_system.h"
#include "platform/user_folders.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

struct ListKey {
  const char* key;
  ListControl ConverterControls::*list;
  int default_index;
};

constexpr ListKey kListKeys[] = {
    {"Font", &ConverterControls::cmbFont, 4},
    {"FontSize", &ConverterControls::cmbFontSize, 6},
    {"Rotation", &ConverterControls::cmbRotation, 0},
    {"PageSize", &ConverterControls::cmbPageSize, 0},
    {"Margin", &ConverterControls::cmbMargin, 1},
    {"TopMargin", &ConverterControls::cmbTopMargin, 2},
    {"ForeColor", &ConverterControls::cmbForeColor, 0},
    {"BackColor", &ConverterControls::cmbBackColor, 7},
    {"Transition", &ConverterControls::cmbTransition, 0},
};

struct TextKey {
  const char* key;
  std::string ConverterControls::*field;
};

constexpr TextKey kTextKeys[] = {
    {"Author", &ConverterControls::txtAuthor},
    {"Keywords", &ConverterControls::txtKeywords},
    {"Subject", &ConverterControls::txtSubject},
    {"Title", &ConverterControls::txtTitle},
};

// A stored whole number: the whole text must be a number (blanks around it allowed).
std::optional<int> StoredNumber(const std::string& text) {
  std::optional<double> number = ParseNumberValue(text);
  if (!number) return std::nullopt;
  return RoundToInt32(*number);
}

// A check box state 0, 1 or 2 (2, the greyed state, shows as checked).
void RestoreCheck(const SettingsStore& store, const char* key, const char* default_value,
                  bool& box) {
  std::optional<int> state = StoredNumber(store.Get(key, default_value));
  if (state && *state >= 0 && *state <= 2) box = *state != 0;
}

}  // namespace

void RestoreSettings(const SettingsStore& store, ConverterControls& c) {
  for (const ListKey& k : kListKeys) {
    ListControl& list = c.*(k.list);
    std::optional<int> index = StoredNumber(store.Get(k.key, std::to_string(k.default_index)));
    if (index && *index >= -32768 && *index <= 32767) list.Select(*index);
    if (list.selected < 0) list.Select(k.default_index);
  }
  for (const TextKey& k : kTextKeys) c.*(k.field) = store.Get(k.key, "");
  RestoreCheck(store, "Formatting", "1", c.chkFormatHeaders);
  RestoreCheck(store, "PageNum", "1", c.chkPageNum);
  RestoreCheck(store, "Fullscreen", "0", c.chkFullScreen);
  RestoreCheck(store, "SkipJPG", "0", c.chkSkipJPG);
  c.cmbFileType.Select(file_type::kSingleFile);
  std::optional<int> quality = StoredNumber(store.Get("JpegCompression", "100"));
  if (quality && *quality >= kJpegQualityMin && *quality <= kJpegQualityMax) c.hsJPEG = *quality;
}

bool SaveSettings(SettingsStore& store, const ConverterControls& c) {
  auto check = [](bool box) { return box ? "1" : "0"; };
  for (const ListKey& k : kListKeys) store.Put(k.key, std::to_string((c.*(k.list)).selected));
  for (const TextKey& k : kTextKeys) store.Put(k.key, c.*(k.field));
  store.Put("Formatting", check(c.chkFormatHeaders));
  store.Put("PageNum", check(c.chkPageNum));
  store.Put("SkipJPG", check(c.chkSkipJPG));
  store.Put("FullScreen", check(c.chkFullScreen));
  store.Put("JpegCompression", std::to_string(c.hsJPEG));
  return store.Sync();
}

void ApplyDefaults(ConverterControls& c) {
  c.cmbFont.Select(4);
  c.cmbFontSize.Select(6);
  c.cmbRotation.Select(0);
  c.cmbPageSize.Select(0);
  c.cmbMargin.Select(2);
  c.cmbTopMargin.Select(2);
  c.cmbTransition.Select(0);
  c.cmbForeColor.Select(0);
  c.cmbBackColor.Select(7);
  c.txtAuthor.clear();
  c.txtKeywords.clear();
  c.txtSubject.clear();
  c.txtTitle.clear();
  c.chkFormatHeaders = true;
  c.chkPageNum = true;
  c.chkFullScreen = false;
}

bool StoredUseOldTop(const SettingsStore& store) {
  std::optional<std::string> value = store.Get("UseOldTop");
  if (!value) return false;
  return EqualsIgnoreCase(*value, "true") || ReadNumber(*value) != 0;
}

}  // namespace vellumox
