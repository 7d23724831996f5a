// The per-user settings stores: INI files kept through QSettings, read and written only while
// they are regular files. Key names are compared without regard to case, so "FullScreen"
// written and "Fullscreen" read address the same value.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace vellumox {

// A store of settings: string values of one section by key.
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
  // Why the choices cannot be kept there, in a sentence, after a Sync that failed.
  virtual std::string WhyNotKept() const { return "'" + Location() + "' cannot be written."; }

  std::string Get(std::string_view key, std::string_view default_value) const;
};

// QSettings in INI format: the converter's in the user's config folder, organisation and
// application "Vellumox", section "Settings"; or a file and section of its own. The file is read
// and written only while it is a regular file (or not there yet), through a symbolic link too: one
// that is a device, a pipe or a folder (settings linked to /dev/null, a common way to keep none) is
// never opened, so reading never waits on a pipe, and never replaced; the store is then empty and
// keeps nothing.
class IniSettingsStore : public SettingsStore {
 public:
  // The user's store.
  IniSettingsStore();
  // A store in the given INI file and section.
  explicit IniSettingsStore(const std::string& ini_path, std::string group = "Settings");
  ~IniSettingsStore() override;

  using SettingsStore::Get;
  std::optional<std::string> Get(std::string_view key) const override;
  void Put(std::string_view key, std::string_view value) override;
  bool Sync() override;
  std::string Location() const override { return path_; }
  std::string WhyNotKept() const override;
  std::string FilePath() const { return path_; }

 private:
  // Opens the store on the file at path_ unless it is something other than a regular file.
  void OpenUnlessUnsafe(const std::function<std::unique_ptr<QSettings>()>& open);
  // True while path_ names a regular file or nothing.
  bool FileIsSafe() const;
  std::string ExistingKey(std::string_view key) const;
  std::string path_;
  std::string group_ = "Settings";
  std::unique_ptr<QSettings> settings_;  // none when the file is not one to touch
};

}  // namespace vellumox
