// The per-user settings store and the rules that restore the controls from it and save them to
// it. Key names are compared without regard to case, so "FullScreen" written and "Fullscreen"
// read address the same value.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "converter_ui/controls_model.h"

class QSettings;

namespace vellumox {

// The store as the converter uses it: string values of the "Settings" section by key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text of a key, or nullopt when it is not stored.
  virtual std::optional<std::string> Get(std::string_view key) const = 0;
  virtual void Put(std::string_view key, std::string_view value) = 0;
  // Writes pending changes to disk; false when they could not be written.
  virtual bool Sync() = 0;
  // Where the store is kept, for messages.
  virtual std::string Location() const { return std::string(); }

  std::string Get(std::string_view key, std::string_view default_value) const;
};

// QSettings in INI format in the user's config folder, organisation and application "Vellumox",
// section "Settings".
class IniSettingsStore : public SettingsStore {
 public:
  // The user's store.
  IniSettingsStore();
  // A store in the given INI file.
  explicit IniSettingsStore(const std::string& ini_path);
  ~IniSettingsStore() override;

  using SettingsStore::Get;
  std::optional<std::string> Get(std::string_view key) const override;
  void Put(std::string_view key, std::string_view value) override;
  bool Sync() override;
  std::string Location() const override { return FilePath(); }
  std::string FilePath() const;

 private:
  std::string ExistingKey(std::string_view key) const;
  std::unique_ptr<QSettings> settings_;
};

// Reads the stored choices into the controls, with the defaults of a first start.
void RestoreSettings(const SettingsStore& store, ConverterControls& controls);
// Writes the controls' choices (not the file names, the creator, the file type or "open when
// done"); false when the store could not be written.
bool SaveSettings(SettingsStore& store, const ConverterControls& controls);
// The Default button's factory values.
void ApplyDefaults(ConverterControls& controls);
// "UseOldTop": an absolutely placed picture's top is its bottom edge; nothing writes it.
bool StoredUseOldTop(const SettingsStore& store);

}  // namespace vellumox
