
#include "platform/windows/windows_registry.h"

#include <windows.h>

namespace quorvel {
namespace {

HKEY ToHkey(RegistryStore::Handle handle) {
    return reinterpret_cast<HKEY>(handle);
}

HKEY RootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    }
    return HKEY_CURRENT_USER;
}

} // namespace

std::int32_t WindowsRegistryStore::OpenKey(RegistryRoot root, const std::string& subKey,
                                           std::uint32_t options, std::uint32_t access,
                                           Handle& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(RootKey(root), subKey.c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS) {
        key = reinterpret_cast<Handle>(opened);
    }
    return status;
}

std::int32_t WindowsRegistryStore::QueryValue(Handle key, const std::string& valueName,
                                              std::uint32_t* type, unsigned char* data,
                                              std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = size ? *size : 0;
    const LONG status = RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType, data,
                                         size ? &valueSize : nullptr);
    if (type) {
        *type = valueType;
    }
    if (size) {
        *size = valueSize;
    }
    return status;
}

std::int32_t WindowsRegistryStore::CloseKey(Handle key) {
    return RegCloseKey(ToHkey(key));
}

} // namespace quorvel
