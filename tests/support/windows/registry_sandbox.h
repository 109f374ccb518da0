#pragma once

// A throwaway key of the current user's registry for one test: created below
// HKEY_CURRENT_USER\Software\quorvel-tests and removed with everything in it
// afterwards. The program only ever reads the registry; its tests write here.

#include "platform/windows/file_paths.h"

#include <random>
#include <stdexcept>
#include <string>
#include <windows.h>

namespace quorvel::test {

class RegistrySandbox {
public:
    RegistrySandbox() {
        std::random_device random;
        path_ = std::string(kParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(random());
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create HKEY_CURRENT_USER\\" + path_);
        }
    }
    ~RegistrySandbox() {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        // Succeeds only once no other test has a key in it.
        RegDeleteKeyA(HKEY_CURRENT_USER, kParent);
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // The sandbox's path below HKEY_CURRENT_USER.
    const std::string& Path() const { return path_; }
    HKEY Key() const { return key_; }

    // Writes a value into `subKey` of the sandbox ("" for the sandbox itself),
    // creating the key when needed. Strings are UTF-16, as the W calls take them.
    void Set(const std::string& subKey, const std::string& name, DWORD type, const void* data,
             DWORD size) const {
        HKEY key = nullptr;
        if (RegCreateKeyExA(key_, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create " + subKey);
        }
        const LONG status = RegSetValueExW(key, windows_paths::WideText(name).c_str(), 0, type,
                                           static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            throw std::runtime_error("cannot set " + name);
        }
    }
    // A string as programs store it: its characters (given in UTF-8, as the
    // program's text) and a terminating NUL.
    void SetString(const std::string& subKey, const std::string& name, const std::string& text,
                   DWORD type = REG_SZ) const {
        const std::wstring wide = windows_paths::WideText(text);
        Set(subKey, name, type, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * 2));
    }
    void SetDword(const std::string& subKey, const std::string& name, DWORD word) const {
        Set(subKey, name, REG_DWORD, &word, sizeof word);
    }

private:
    static constexpr const char* kParent = "Software\\quorvel-tests";
    std::string path_;
    HKEY key_ = nullptr;
};

} // namespace quorvel::test
