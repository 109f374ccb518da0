#pragma once

// A settings store held in memory, answering as the Windows registry does.

#include "platform/registry.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::test {

class FakeRegistryStore : public RegistryStore {
public:
    // A string value as the store hands it over: its bytes and a NUL.
    void SetString(const std::string& key, const std::string& name, const std::string& text) {
        std::vector<unsigned char> data(text.begin(), text.end());
        data.push_back(0);
        SetRaw(key, name, reg::kTypeString, std::move(data));
    }
    void SetRaw(const std::string& key, const std::string& name, std::uint32_t type,
                std::vector<unsigned char> data) {
        values_[{key, name}] = {type, std::move(data)};
    }

    std::int32_t OpenKey(RegistryRoot, const std::string& subKey, std::uint32_t,
                         std::uint32_t access, Handle& key) override {
        lastAccess = access;
        const auto it = values_.lower_bound({subKey, ""});
        if (it == values_.end() || it->first.first != subKey) {
            return reg::kFileNotFound;
        }
        key = next_;
        open_[next_++] = subKey;
        return reg::kSuccess;
    }

    std::int32_t QueryValue(Handle key, const std::string& name, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override {
        const auto handle = open_.find(key);
        const auto it =
            handle == open_.end() ? values_.end() : values_.find({handle->second, name});
        if (it == values_.end()) {
            return handle == open_.end() ? reg::kInvalidHandle : reg::kFileNotFound;
        }
        const auto& [valueType, bytes] = it->second;
        const auto needed = static_cast<std::uint32_t>(bytes.size());
        const bool fits = size && *size >= needed;
        if (type) {
            *type = valueType;
        }
        if (size) {
            *size = needed;
        }
        if (data && !fits) {
            return reg::kMoreData;
        }
        if (data) {
            std::memcpy(data, bytes.data(), bytes.size());
        }
        return reg::kSuccess;
    }

    std::int32_t CloseKey(Handle key) override {
        return open_.erase(key) ? reg::kSuccess : reg::kInvalidHandle;
    }

    std::size_t OpenKeys() const { return open_.size(); }
    std::uint32_t lastAccess = 0;

private:
    std::map<std::pair<std::string, std::string>,
             std::pair<std::uint32_t, std::vector<unsigned char>>>
        values_;
    std::map<Handle, std::string> open_;
    Handle next_ = 1;
};

} // namespace quorvel::test
