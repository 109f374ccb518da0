#include "platform/windows/windows_registry.h"

#include "platform/utf16_text.h"
#include "platform/windows/file_paths.h"

#include <algorithm>
#include <cstring>
#include <vector>
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

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A value's type and data as stored, read whole. Its text, stored in UTF-16,
// comes in UTF-8, unit for unit, its NUL characters included, so that it is
// counted and cut as the A call would count and cut it.
LONG ReadValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<unsigned char>& data) {
    LONG status = ERROR_MORE_DATA;
    // The value may grow between the calls; a few tries are enough.
    for (int tries = 0; tries < 4 && status == ERROR_MORE_DATA; ++tries) {
        DWORD size = 0;
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) {
            return status;
        }
        data.assign(size, 0);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        data.resize(std::min<std::size_t>(size, data.size()));
    }
    if (status == ERROR_SUCCESS && IsText(type)) {
        std::u16string units(data.size() / 2, u'\0');
        std::memcpy(units.data(), data.data(), units.size() * 2);
        const std::string text = Utf8FromUtf16(units);
        data.assign(text.begin(), text.end());
    }
    return status;
}

} // namespace

std::int32_t WindowsRegistryStore::OpenKey(RegistryRoot root, const std::string& subKey,
                                           std::uint32_t options, std::uint32_t access,
                                           Handle& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(RootKey(root), windows_paths::WideText(subKey).c_str(),
                                      options, access, &opened);
    if (status == ERROR_SUCCESS) {
        key = reinterpret_cast<Handle>(opened);
    }
    return status;
}

// Answers as RegQueryValueExA does, with text in UTF-8 instead of the code
// page, so that a folder named in any letters comes through unchanged.
std::int32_t WindowsRegistryStore::QueryValue(Handle key, const std::string& valueName,
                                              std::uint32_t* type, unsigned char* data,
                                              std::uint32_t* size) {
    DWORD valueType = 0;
    std::vector<unsigned char> value;
    LONG status = ReadValue(ToHkey(key), windows_paths::WideText(valueName), valueType, value);
    if (type) {
        *type = valueType;
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (data && !size) {
        return ERROR_INVALID_PARAMETER;
    }
    if (data && *size < value.size()) {
        status = ERROR_MORE_DATA;
    } else if (data && !value.empty()) {
        std::memcpy(data, value.data(), value.size());
    }
    if (size) {
        *size = static_cast<std::uint32_t>(value.size());
    }
    return status;
}

std::int32_t WindowsRegistryStore::CloseKey(Handle key) {
    return RegCloseKey(ToHkey(key));
}

} // namespace quorvel
