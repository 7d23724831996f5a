// The rules that restore the converter's controls from its settings store (desktop/
// ini_settings.h) and save them to it.
#pragma once

#include <string>

#include "platform/ini_settings.h"
#include "run/controls_model.h"

namespace vellumox {

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
