#include "platform/native.h"

#include "platform/host_file_service.h"
#include "platform/posix/path_mapping.h"
#include "platform/wine_registry.h"

namespace quorvel {

std::unique_ptr<RegistryStore> MakeNativeRegistryStore(const std::string& winePrefix) {
    return std::make_unique<WineRegistryStore>(WineRegistryFile::Load(winePrefix + "/user.reg"));
}

std::unique_ptr<FileService> MakeNativeFileService(const std::string& winePrefix) {
    return MakeWineFileService(winePrefix);
}

std::unique_ptr<FileService> MakeWineFileService(const std::string& prefix) {
    const auto mapper = std::make_shared<const WinePathMapper>(prefix);
    return std::make_unique<HostFileService>(
        [mapper](const std::string& path) { return mapper->ToHostPath(path); },
        [mapper](const std::string& path) { return mapper->AsWrittenHostPath(path); });
}

} // namespace quorvel
