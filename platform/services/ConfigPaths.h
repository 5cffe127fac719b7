// Where per-user configuration lives.
#pragma once

#include <string>

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; no trailing "/".
std::string UserConfigFolder();

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share; no trailing "/".
std::string UserDataFolder();

// The file that holds HKEY_CURRENT_USER: $MW_REGISTRY_FILE when set, else
// <UserConfigFolder()>/belvor/registry.txt.
std::string RegistryFileName();
