#pragma once

// The current user's registry as the Windows tests set it up: values written
// with the registry's own calls, into a throwaway key of one test or, for the
// program started as a process of its own, into the real key for as long as
// the test runs. The program only ever reads the registry; its tests write.

#include <optional>
#include <string>
#include <utility>
#include <windows.h>

namespace quorvel::test {

// A string as programs store it: its characters (given in UTF-8, as the
// program's text) in UTF-16 and a terminating NUL.
std::string RegistryString(const std::string& text);
std::string RegistryDword(DWORD word);

// Writes the value `name` of `subKey` below `root` ("" for `root` itself),
// creating the key when needed; throws when it cannot.
void SetRegistryValue(HKEY root, const std::string& subKey, const std::string& name, DWORD type,
                      const std::string& bytes);

// A throwaway key below HKEY_CURRENT_USER\Software\quorvel-tests, removed
// with everything in it afterwards.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // The sandbox's path below HKEY_CURRENT_USER.
    const std::string& Path() const { return path_; }
    HKEY Key() const { return key_; }

    void Set(const std::string& subKey, const std::string& name, DWORD type,
             const std::string& bytes) const {
        SetRegistryValue(key_, subKey, name, type, bytes);
    }
    void SetString(const std::string& subKey, const std::string& name, const std::string& text,
                   DWORD type = REG_SZ) const {
        Set(subKey, name, type, RegistryString(text));
    }
    void SetDword(const std::string& subKey, const std::string& name, DWORD word) const {
        Set(subKey, name, REG_DWORD, RegistryDword(word));
    }

private:
    std::string path_;
    HKEY key_ = nullptr;
};

// The value `name` of HKEY_CURRENT_USER\`key` set for as long as the object
// lives; what was there before, the key included, is put back afterwards.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(std::string key, const std::string& name, DWORD type,
                        const std::string& bytes);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    std::string key_;
    std::string name_;
    bool createdKey_ = false;
    std::optional<std::pair<DWORD, std::string>> before_; // type and bytes
};

} // namespace quorvel::test
