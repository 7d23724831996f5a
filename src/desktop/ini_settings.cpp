#include "desktop/ini_settings.h"

#include <QSettings>
#include <QStringList>

#include "platform/file_system.h"
#include "platform/user_folders.h"

namespace vellumox {

namespace {

constexpr const char* kOrganisation = "Vellumox";
constexpr const char* kApplication = "Vellumox";

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::string SettingsStore::Get(std::string_view key, std::string_view default_value) const {
  std::optional<std::string> value = Get(key);
  return value ? *value : std::string(default_value);
}

IniSettingsStore::IniSettingsStore() : path_(UserConfigFolder() + "/" + kApplication + ".ini") {
  // The user's store is where QSettings puts it: the organisation's folder in the user's
  // config folder, the application's name.
  OpenUnlessUnsafe([] {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation,
                                       kApplication);
  });
}

IniSettingsStore::IniSettingsStore(const std::string& ini_path, std::string group)
    : path_(ini_path), group_(std::move(group)) {
  OpenUnlessUnsafe([&] { return std::make_unique<QSettings>(Q(ini_path), QSettings::IniFormat); });
}

IniSettingsStore::~IniSettingsStore() = default;

bool IniSettingsStore::FileIsSafe() const {
  const FileType type = TypeOf(path_);
  return type == FileType::kNone || type == FileType::kRegular;
}

void IniSettingsStore::OpenUnlessUnsafe(const std::function<std::unique_ptr<QSettings>()>& open) {
  // QSettings reads the file as it is made: a pipe would keep it waiting for ever.
  if (FileIsSafe()) settings_ = open();
}

std::string IniSettingsStore::WhyNotKept() const {
  if (!FileIsSafe()) {
    return "'" + path_ + "' is not a regular file (a device, a pipe or a folder); it is left " +
           "alone.";
  }
  return SettingsStore::WhyNotKept();
}

std::string IniSettingsStore::ExistingKey(std::string_view key) const {
  if (!settings_) return std::string();
  settings_->beginGroup(Q(group_));
  const QStringList keys = settings_->childKeys();
  settings_->endGroup();
  const QString wanted = Q(key);
  for (const QString& k : keys) {
    if (k.compare(wanted, Qt::CaseInsensitive) == 0) return k.toStdString();
  }
  return std::string();
}

std::optional<std::string> IniSettingsStore::Get(std::string_view key) const {
  std::string existing = ExistingKey(key);
  if (existing.empty()) return std::nullopt;
  return settings_->value(Q(group_) + "/" + Q(existing)).toString().toStdString();
}

void IniSettingsStore::Put(std::string_view key, std::string_view value) {
  if (!settings_) return;
  std::string existing = ExistingKey(key);
  settings_->setValue(Q(group_) + "/" + Q(existing.empty() ? key : existing), Q(value));
}

bool IniSettingsStore::Sync() {
  // Checked again: what the name links to may have changed since the store was read, and
  // QSettings would put a regular file in the place of a device.
  if (!settings_ || !FileIsSafe()) return false;
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

}  // namespace vellumox
