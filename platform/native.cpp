#include "native.h"

#include "host_file_service.h"
#include "path_mapping.h"

#ifdef _WIN32
#include "windows_registry.h"
#else
#include "wine_registry.h"
#endif

namespace quorvel {

std::unique_ptr<RegistryStore> MakeNativeRegistryStore() {
#ifdef _WIN32
    return std::make_unique<WindowsRegistryStore>();
#else
    return std::make_unique<WineRegistryStore>(
        WineRegistryFile::Load(DefaultWinePrefix() + "/user.reg"));
#endif
}

std::unique_ptr<FileService> MakeNativeFileService() {
#ifdef _WIN32
    return std::make_unique<HostFileService>();
#else
    return MakeWineFileService(DefaultWinePrefix());
#endif
}

std::unique_ptr<FileService> MakeWineFileService(const std::string& prefix) {
    const auto mapper = std::make_shared<const WinePathMapper>(prefix);
    return std::make_unique<HostFileService>(
        [mapper](const std::string& path) { return mapper->ToHostPath(path); },
        [mapper](const std::string& path) { return mapper->AsWrittenHostPath(path); });
}

} // namespace quorvel
