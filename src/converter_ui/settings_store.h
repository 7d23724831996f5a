// The per-user settings store: QSettings in INI format in the user's config folder,
// organisation and application "Vellumox", section "Settings". Key names are compared without
// regard to case, so "FullScreen" written and "Fullscreen" read address the same value.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "converter_ui/controls_model.h"
#include "writer/settings_source.h"

class QSettings;

namespace vellumox {

class SettingsStore : public SettingsSource {
 public:
  // The user's store.
  SettingsStore();
  // A store in the given INI file.
  explicit SettingsStore(const std::string& ini_path);
  ~SettingsStore() override;

  std::optional<std::string> Get(std::string_view key) const override;
  std::string Get(std::string_view key, std::string_view default_value) const;
  void Put(std::string_view key, std::string_view value);
  // Writes pending changes to disk.
  void Sync();
  std::string FilePath() const;

 private:
  std::string ExistingKey(std::string_view key) const;
  std::unique_ptr<QSettings> settings_;
};

// Reads the stored choices into the controls, with the defaults of a first start.
void RestoreSettings(const SettingsStore& store, ConverterControls& controls);
// Writes the controls' choices (not the file names, the creator, the file type or "open when
// done").
void SaveSettings(SettingsStore& store, const ConverterControls& controls);
// The Default button's factory values.
void ApplyDefaults(ConverterControls& controls);

// The user's config folder for Vellumox (~/.config/Vellumox, or under XDG_CONFIG_HOME).
std::string UserConfigFolder();

}  // namespace vellumox
