#include "native.h"

#include "host_file_service.h"

#ifdef _WIN32
#include "windows_registry.h"
#else
#include "path_mapping.h"
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
    return std::make_unique<HostFileService>(
        [mapper = WinePathMapper(DefaultWinePrefix())](const std::string& path) {
            return mapper.ToHostPath(path);
        });
#endif
}

} // namespace quorvel
