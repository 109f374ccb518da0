#pragma once

// The settings store and the file service of the machine the program runs on:
// the registry and paths as they stand on Windows; elsewhere the Wine prefix
// the game runs in ($WINEPREFIX, else ~/.wine), its user.reg and its drives.

#include "platform/file_service.h"
#include "platform/registry.h"

#include <memory>
#include <string>

namespace quorvel {

std::unique_ptr<RegistryStore> MakeNativeRegistryStore();
std::unique_ptr<FileService> MakeNativeFileService();

} // namespace quorvel
