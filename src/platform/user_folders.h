// The places of this user and this program: the running program's folder and the user's
// configuration folder for Vellumox.
#pragma once

#include <string>

namespace vellumox {

// The folder of the running executable, without a trailing "/"; empty when it cannot be told.
std::string ProgramFolder();

// The user's home folder: $HOME, or the password database's; empty when neither tells.
std::string HomeFolder();

// $XDG_CONFIG_HOME/Vellumox, or ~/.config/Vellumox.
std::string UserConfigFolder();

// Makes the folder and any missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace vellumox
