// Read access to the user's stored settings, for the few choices that the core reads itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellumox {

class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  // The stored text of a key of the "Settings" section (key names compared without regard to
  // case), or nullopt when it is not stored.
  virtual std::optional<std::string> Get(std::string_view key) const = 0;
};

}  // namespace vellumox
