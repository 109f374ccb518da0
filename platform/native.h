#pragma once

// The settings store and the file service of the machine the program runs on:
// the registry and paths as they stand on Windows; elsewhere the Wine prefix
// the game runs in ($WINEPREFIX, else ~/.wine), its user.reg and its drives.

#include "file_service.h"
#include "registry.h"

#include <memory>
#include <string>

namespace quorvel {

std::unique_ptr<RegistryStore> MakeNativeRegistryStore();
std::unique_ptr<FileService> MakeNativeFileService();

// The file service for the drives of the Wine prefix `prefix`, as
// MakeNativeFileService makes it for the player's own prefix elsewhere than on Windows.
std::unique_ptr<FileService> MakeWineFileService(const std::string& prefix);

} // namespace quorvel
