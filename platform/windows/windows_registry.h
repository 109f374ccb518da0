#pragma once

// The Windows registry as a settings store (Windows builds only). Names and
// text go through the registry's W calls and come out in UTF-8, as the
// program's paths are kept on Windows; everything else is as the A calls
// answer.

#include "platform/registry.h"

namespace quorvel {

class WindowsRegistryStore : public RegistryStore {
public:
    std::int32_t OpenKey(RegistryRoot root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, Handle& key) override;
    std::int32_t QueryValue(Handle key, const std::string& valueName, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) override;
    std::int32_t CloseKey(Handle key) override;
};

} // namespace quorvel
