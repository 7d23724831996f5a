#include "run/settings_store.h"

#include "platform/file_system.h"
#include "platform/user_folders.h"
#include "run/switch_table.h"
#include "writer/number_text.h"
#include "writer/path_names.h"

namespace vellumox {

namespace {

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
  for (const IndexSwitch& k : kIndexSwitches) {
    ListControl& list = c.*(k.list);
    std::optional<int> index = StoredNumber(store.Get(k.key, std::to_string(k.first_start)));
    if (index && *index >= -32768 && *index <= 32767) list.Select(*index);
    if (list.selected < 0) list.Select(k.first_start);
  }
  for (const TextSwitch& k : kTextSwitches) {
    if (*k.key) c.*(k.field) = store.Get(k.key, "");
  }
  for (const FlagSwitch& k : kFlagSwitches) RestoreCheck(store, k.key, k.first_start, c.*(k.box));
  RestoreCheck(store, "SkipJPG", "0", c.chkSkipJPG);
  c.cmbFileType.Select(file_type::kSingleFile);
  std::optional<int> quality = StoredNumber(store.Get("JpegCompression", "100"));
  if (quality && *quality >= kJpegQualityMin && *quality <= kJpegQualityMax) c.hsJPEG = *quality;
}

bool SaveSettings(SettingsStore& store, const ConverterControls& c) {
  auto check = [](bool box) { return box ? "1" : "0"; };
  for (const IndexSwitch& k : kIndexSwitches) {
    store.Put(k.key, std::to_string((c.*(k.list)).selected));
  }
  for (const TextSwitch& k : kTextSwitches) {
    if (*k.key) store.Put(k.key, c.*(k.field));
  }
  for (const FlagSwitch& k : kFlagSwitches) store.Put(k.key, check(c.*(k.box)));
  store.Put("SkipJPG", check(c.chkSkipJPG));
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
