#pragma once

// A Wine prefix's registry file (user.reg), read as a settings store.
//
// The file is only ever read. What cannot be parsed is treated as absent.
// user.reg holds the current user's keys, so key paths are relative to it.

#include "platform/registry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel {

class WineRegistryFile {
public:
    struct Value {
        std::uint32_t type = 0;
        // The data as RegQueryValueExA hands it over: strings in the host's
        // file-name encoding (UTF-8) with their terminating NUL; a double word
        // as four little-endian bytes; anything else as stored.
        std::vector<unsigned char> data;
    };

    // A longer file is no registry; a real user.reg is a few megabytes.
    static constexpr std::size_t kMaxFileSize = std::size_t{256} << 20;

    // Parses the text of a user.reg file. Never fails: a malformed section or
    // line is skipped. The work is linear in the length of the text.
    static WineRegistryFile Parse(std::string_view text);

    // Parses only what decides whether the text holds `keyPath` and what the
    // values of that key and the keys below it are: the sections whose
    // headers name the key's last name, found without parsing the rest. A
    // large user.reg is looked through in a fraction of the time; a name that
    // Wine writes escaped has the text parsed whole.
    static WineRegistryFile ParseForKey(std::string_view text, std::string_view keyPath);

    // Reads and parses the file at `path`; a missing or unreadable file, one
    // longer than kMaxFileSize (whatever its size claims), or anything but a
    // plain file (a pipe would never end), gives an empty registry, without
    // waiting.
    static WineRegistryFile Load(const std::string& path);

    // Key paths use single backslashes ("Software\2015\MOHAA") and, like value
    // names, match in any letter case. The default value is named "". A key
    // exists when the file has a section for it or for a key below it; the
    // empty path is the root, which always exists.
    bool HasKey(std::string_view keyPath) const;
    const Value* Find(std::string_view keyPath, std::string_view valueName) const;

private:
    // Keyed by the lower-cased key path, then by the lower-cased value name.
    std::map<std::string, std::map<std::string, Value>, std::less<>> keys_;
};

class WineRegistryStore : public RegistryStore {
public:
    explicit WineRegistryStore(WineRegistryFile file) : file_(std::move(file)) {}

    std::int32_t OpenKey(RegistryRoot root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, Handle& key) override;
    std::int32_t QueryValue(Handle key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override;
    std::int32_t CloseKey(Handle key) override;

    // How many keys are open, that is opened and not closed yet.
    std::size_t OpenHandleCount() const { return open_.size(); }

private:
    WineRegistryFile file_;
    std::map<Handle, std::string> open_; // handle -> lower-cased key path
    Handle next_ = 1;
};

} // namespace quorvel
