#pragma once

// Reading one value from the per-user settings store.
//
// ReadRegistryValue and QueryRegistryValue are written once, over the small
// RegistryStore interface, which offers the three calls they need: open a key,
// query a value (type and size first, then the data) and close the key. The
// Windows registry and a Wine prefix's user.reg each implement it.

#include <cstdint>
#include <string>
#include <variant>

namespace quorvel {

// What the reader hands back: empty (nothing could be read), a string (a value
// of string type) or a 32-bit signed integer (a value of double-word type).
using RegistryValue = std::variant<std::monostate, std::string, std::int32_t>;

// The store's status codes and value types, with the numbers Windows uses.
namespace reg {
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kInvalidHandle = 6;
inline constexpr std::int32_t kMoreData = 234;
// The value exists but is of a type that the reader does not support.
inline constexpr std::int32_t kUnsupportedType = -1;

inline constexpr std::uint32_t kTypeString = 1;
inline constexpr std::uint32_t kTypeExpandString = 2;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeDword = 4;
inline constexpr std::uint32_t kTypeMultiString = 7;

// Query value, set value, create sub-key, enumerate sub-keys, notify, create link.
inline constexpr std::uint32_t kAccessMask = 0x3F;
} // namespace reg

// The store's predefined root keys; only the current user's is used.
enum class RegistryRoot : std::uint32_t { CurrentUser = 0x80000001u };

class RegistryStore {
public:
    // An open key; 0 stands for no key at all.
    using Handle = std::uintptr_t;

    virtual ~RegistryStore() = default;

    // Opens subKey below root. On failure `key` is left as it was.
    virtual std::int32_t OpenKey(RegistryRoot root, const std::string& subKey,
                                 std::uint32_t options, std::uint32_t access, Handle& key) = 0;

    // Behaves like RegQueryValueExA. `type` and `size` may be null. With `data`
    // null only the type and the size in bytes are reported. Otherwise `*size`
    // is the buffer's capacity on entry and the number of bytes stored on
    // return; a buffer that is too small gives kMoreData and the size needed.
    // String data is handed over with its terminating NUL, counted in the size.
    virtual std::int32_t QueryValue(Handle key, const std::string& valueName, std::uint32_t* type,
                                    unsigned char* data, std::uint32_t* size) = 0;

    virtual std::int32_t CloseKey(Handle key) = 0;
};

// Opens subKeyPath below root, queries valueName and closes the key again.
// Every failure gives the empty value; the store is never written.
RegistryValue ReadRegistryValue(RegistryStore& store, RegistryRoot root,
                                const std::string& subKeyPath, const std::string& valueName);

// Queries valueName in an open key and returns the store's status: 0 on
// success, the store's own code on its failures, kUnsupportedType for a value
// of any type but string and double word. `result` is written only when a
// string or a double word was read, and set empty when a string's second
// query fails; on every other path it keeps what the caller passed in.
std::int32_t QueryRegistryValue(RegistryStore& store, RegistryStore::Handle key,
                                const std::string& valueName, RegistryValue& result);

// The value's text form: the string itself, an integer's decimal text, or the
// empty text for the empty value.
std::string RegistryValueText(const RegistryValue& value);

} // namespace quorvel
