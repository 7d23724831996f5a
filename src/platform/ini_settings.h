// The per-user settings stores: INI files in the format that QSettings reads and writes (its
// quoting, escapes and key encoding), read and written by this small store of our own so that
// the command line needs no toolkit. Files are read and written only while they are regular
// files. Key names are compared without regard to case, so "FullScreen" written and
// "Fullscreen" read address the same value.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// One section of an INI file: the converter's in the user's config folder ("Vellumox.ini",
// section "Settings"), or a file and section of its own. The file is read and written only
// while it is a regular file (or not there yet), through a symbolic link too: one that is a
// device, a pipe or a folder (settings linked to /dev/null, a common way to keep none) is never
// opened, so reading never waits on a pipe, and never replaced; the store is then empty and
// keeps nothing. Sync reads the file again and writes it whole under a temporary name, renamed
// over it when complete: the other sections, and what another program changed meanwhile in
// keys that this store did not change, are kept.
class IniSettingsStore : public SettingsStore {
 public:
  // The user's store.
  IniSettingsStore();
  // A store in the given INI file and section.
  explicit IniSettingsStore(const std::string& ini_path, std::string group = "Settings");

  using SettingsStore::Get;
  std::optional<std::string> Get(std::string_view key) const override;
  void Put(std::string_view key, std::string_view value) override;
  bool Sync() override;
  std::string Location() const override { return path_; }
  std::string WhyNotKept() const override;
  std::string FilePath() const { return path_; }

 private:
  using Entries = std::vector<std::pair<std::string, std::string>>;  // key, value
  // True while path_ names a regular file or nothing.
  bool FileIsSafe() const;
  std::string path_;
  std::string group_ = "Settings";
  Entries entries_;  // the section as read, with this store's changes
  Entries changes_;  // the changes not yet written
  int write_error_ = 0;
};

// The INI file format of QSettings, for the store and its tests.
namespace ini {
// A key or section name as it stands in the file: letters, digits, "_", "-" and "." as they
// are, "/" as "\", other characters as %XX (up to U+00FF) or %UXXXX (UTF-16 units).
std::string EscapedKey(std::string_view key);
std::string UnescapedKey(std::string_view text);
// A value as it stands after "=": quoted when it holds ";", "," or "=" or starts or ends with a
// blank; backslash escapes for quotes, backslashes and control characters; a leading "@"
// doubled (QSettings reads "@..." as a typed value).
std::string EscapedValue(std::string_view value);
// The text of a value as QSettings reads it: quotes, escapes (\n, \x41, \101, ...), "@@" and
// "@String(...)"; other typed values ("@Variant(...)") read as empty.
std::string UnescapedValue(std::string_view text);
}  // namespace ini

}  // namespace vellumox
