#include "platform/native.h"

#include "platform/host_file_service.h"
#include "platform/windows/windows_registry.h"

namespace quorvel {

std::unique_ptr<RegistryStore> MakeNativeRegistryStore(const std::string& /*winePrefix*/) {
    return std::make_unique<WindowsRegistryStore>();
}

std::unique_ptr<FileService> MakeNativeFileService(const std::string& /*winePrefix*/) {
    return std::make_unique<HostFileService>();
}

} // namespace quorvel
