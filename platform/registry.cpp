#include "platform/registry.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

namespace quorvel {

RegistryValue ReadRegistryValue(RegistryStore& store, RegistryRoot root,
                                const std::string& subKeyPath, const std::string& valueName) {
    RegistryStore::Handle key = 0;
    // A key that cannot be opened leaves the handle at 0; the query then fails
    // against it and the result stays empty.
    store.OpenKey(root, subKeyPath, 0, reg::kAccessMask, key);
    RegistryValue result;
    QueryRegistryValue(store, key, valueName, result);
    store.CloseKey(key);
    return result;
}

std::int32_t QueryRegistryValue(RegistryStore& store, RegistryStore::Handle key,
                                const std::string& valueName, RegistryValue& result) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::int32_t status = store.QueryValue(key, valueName, &type, nullptr, &size);
    if (status != reg::kSuccess) {
        return status;
    }
    try {
        if (type == reg::kTypeString) {
            std::vector<unsigned char> buffer(size, 0);
            status = store.QueryValue(key, valueName, &type, buffer.data(), &size);
            if (status == reg::kSuccess) {
                std::string text(buffer.begin(),
                                 buffer.begin() + static_cast<std::ptrdiff_t>(
                                                      std::min<std::size_t>(size, buffer.size())));
                // The size the store reports counts the string's terminator.
                if (!text.empty() && text.back() == '\0') {
                    text.pop_back();
                }
                result = std::move(text);
            } else {
                result = std::monostate{};
            }
            return status;
        }
        if (type == reg::kTypeDword) {
            unsigned char bytes[4] = {};
            std::uint32_t dataSize = sizeof bytes;
            status = store.QueryValue(key, valueName, &type, bytes, &dataSize);
            if (status == reg::kSuccess) {
                const std::uint32_t word = static_cast<std::uint32_t>(bytes[0]) |
                                           static_cast<std::uint32_t>(bytes[1]) << 8 |
                                           static_cast<std::uint32_t>(bytes[2]) << 16 |
                                           static_cast<std::uint32_t>(bytes[3]) << 24;
                result = static_cast<std::int32_t>(word);
            }
            return status;
        }
    } catch (const std::bad_alloc&) {
        // A size too large to hold: give up with the status as it stands.
        return status;
    } catch (const std::length_error&) {
        return status;
    }
    return reg::kUnsupportedType;
}

std::string RegistryValueText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*number);
    }
    return {};
}

} // namespace quorvel
