#pragma once

// The settings store and the file service of the machine the program runs on:
// the registry and paths as they stand on Windows; elsewhere the Wine prefix
// `winePrefix` that the game runs in, its user.reg and its drives.

#include "platform/file_service.h"
#include "platform/registry.h"

#include <memory>
#include <string>

namespace quorvel {

// `winePrefix` is where the game runs under Wine; Windows has no use for it.
std::unique_ptr<RegistryStore> MakeNativeRegistryStore(const std::string& winePrefix);
std::unique_ptr<FileService> MakeNativeFileService(const std::string& winePrefix);

} // namespace quorvel
