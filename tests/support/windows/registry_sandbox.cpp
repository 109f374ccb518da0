#include "tests/support/windows/registry_sandbox.h"

#include "platform/windows/file_paths.h"

#include <random>
#include <stdexcept>

namespace quorvel::test {
namespace {

constexpr const char* kSandboxParent = "Software\\quorvel-tests";

} // namespace

std::string RegistryString(const std::string& text) {
    const std::wstring wide = windows_paths::WideText(text);
    return std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * 2);
}

std::string RegistryDword(DWORD word) {
    return std::string(reinterpret_cast<const char*>(&word), sizeof word);
}

void SetRegistryValue(HKEY root, const std::string& subKey, const std::string& name, DWORD type,
                      const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the key " + subKey);
    }
    const LONG status = RegSetValueExW(key, windows_paths::WideText(name).c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set " + subKey + "\\" + name);
    }
}

RegistrySandbox::RegistrySandbox() {
    std::random_device random;
    path_ = std::string(kSandboxParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(random());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create HKEY_CURRENT_USER\\" + path_);
    }
}

RegistrySandbox::~RegistrySandbox() {
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    // Succeeds only once no other test has a key in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, kSandboxParent);
}

ScopedRegistryValue::ScopedRegistryValue(std::string key, const std::string& name, DWORD type,
                                         const std::string& bytes)
    : key_(std::move(key)), name_(name) {
    HKEY opened = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE, nullptr,
                        &opened, &disposition) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create HKEY_CURRENT_USER\\" + key_);
    }
    createdKey_ = disposition == REG_CREATED_NEW_KEY;
    const std::wstring wide = windows_paths::WideText(name_);
    DWORD oldType = 0;
    DWORD size = 0;
    if (RegQueryValueExW(opened, wide.c_str(), nullptr, &oldType, nullptr, &size) ==
        ERROR_SUCCESS) {
        std::string old(size, '\0');
        RegQueryValueExW(opened, wide.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(old.data()), &size);
        before_.emplace(oldType, old.substr(0, size));
    }
    RegCloseKey(opened);
    SetRegistryValue(HKEY_CURRENT_USER, key_, name_, type, bytes);
}

ScopedRegistryValue::~ScopedRegistryValue() {
    try {
        if (before_) {
            SetRegistryValue(HKEY_CURRENT_USER, key_, name_, before_->first, before_->second);
        } else if (createdKey_) {
            RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
            RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
        } else {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, key_.c_str(), name_.c_str());
        }
    } catch (const std::runtime_error&) {
        // Nothing to be done about it here.
    }
}

} // namespace quorvel::test
