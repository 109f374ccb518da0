// Any bytes as a user.reg file. Parsing never crashes and stays linear, and
// the store made from it answers every query as RegQueryValueExA would: the
// size first, a buffer one byte short refused with the size needed, then the
// data, nothing written past it, every key closed again.

#include "fuzz/fuzz_check.h"
#include "platform/registry.h"
#include "platform/wine_registry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorvel::RegistryRoot;
using quorvel::RegistryStore;
using quorvel::WineRegistryFile;
using quorvel::WineRegistryStore;
namespace reg = quorvel::reg;

constexpr std::size_t kMaxNames = 8;

// The text between `open` and `close` at the start of each line, as written
// (a key's doubled backslashes made single): the keys and value names the
// input itself mentions, to query them.
std::vector<std::string> Mentioned(std::string_view text, char open, char close) {
    std::vector<std::string> found;
    std::size_t at = 0;
    while (at < text.size() && found.size() < kMaxNames) {
        const std::size_t end = text.find('\n', at);
        const std::string_view line =
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!line.empty() && line[0] == open) {
            const std::size_t stop = line.find(close, 1);
            std::string name;
            for (std::size_t i = 1; i < line.size() && i < stop; ++i) {
                if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '\\') {
                    ++i;
                }
                name += line[i];
            }
            found.push_back(std::move(name));
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return found;
}

bool IsString(std::uint32_t type) {
    return type == reg::kTypeString || type == reg::kTypeExpandString ||
           type == reg::kTypeMultiString;
}

void CheckQueries(RegistryStore& store, RegistryStore::Handle key, const std::string& name) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (store.QueryValue(key, name, &type, nullptr, &size) != reg::kSuccess) {
        return;
    }
    // A double word may hold any number of bytes: Wine's `hex(4):` notation
    // and RegSetValueEx both allow it, so its size is not checked here.
    FUZZ_CHECK(!IsString(type) || size >= 1);

    std::vector<unsigned char> data(std::size_t{size} + 1, 0xA5);
    if (size > 0) {
        std::uint32_t shortSize = size - 1;
        FUZZ_CHECK(store.QueryValue(key, name, nullptr, data.data(), &shortSize) == reg::kMoreData);
        FUZZ_CHECK(shortSize == size);
    }
    std::uint32_t given = size + 1;
    std::uint32_t typeAgain = 0;
    FUZZ_CHECK(store.QueryValue(key, name, &typeAgain, data.data(), &given) == reg::kSuccess);
    FUZZ_CHECK(given == size && typeAgain == type);
    FUZZ_CHECK(data[size] == 0xA5);
    // Strings come with their NUL, whatever the notation they were stored in.
    FUZZ_CHECK(!IsString(type) || data[size - 1] == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), length);
    const WineRegistryFile file = WineRegistryFile::Parse(text);

    std::vector<std::string> keys = Mentioned(text, '[', ']');
    keys.push_back("Software\\2015\\MOHAA");
    keys.push_back("");
    std::vector<std::string> names = Mentioned(text, '"', '"');
    names.push_back("basepath");
    names.push_back("");

    WineRegistryStore store(file);
    for (const std::string& key : keys) {
        // A key exists with every key above it.
        if (file.HasKey(key)) {
            const std::size_t parent = key.find_last_of('\\');
            FUZZ_CHECK(parent == std::string::npos || file.HasKey(key.substr(0, parent)));
        }
        RegistryStore::Handle handle = 0;
        const std::int32_t opened =
            store.OpenKey(RegistryRoot::CurrentUser, key, 0, reg::kAccessMask, handle);
        FUZZ_CHECK((opened == reg::kSuccess) == file.HasKey(key));
        for (const std::string& name : names) {
            if (opened == reg::kSuccess) {
                CheckQueries(store, handle, name);
            }
            const quorvel::RegistryValue value =
                quorvel::ReadRegistryValue(store, RegistryRoot::CurrentUser, key, name);
            const WineRegistryFile::Value* stored = file.Find(key, name);
            if (const auto* textValue = std::get_if<std::string>(&value)) {
                // The text is the stored data less its final NUL.
                FUZZ_CHECK(stored != nullptr && stored->type == reg::kTypeString);
                FUZZ_CHECK(textValue->size() + 1 == stored->data.size());
                FUZZ_CHECK(std::string_view(*textValue) ==
                           std::string_view(reinterpret_cast<const char*>(stored->data.data()),
                                            textValue->size()));
            }
            if (const auto* number = std::get_if<std::int32_t>(&value)) {
                // A double word of up to four bytes, read little-endian with
                // the missing high bytes zero; a longer one gives nothing.
                FUZZ_CHECK(stored != nullptr && stored->type == reg::kTypeDword);
                FUZZ_CHECK(stored->data.size() <= 4);
                std::uint32_t word = 0;
                for (std::size_t i = 0; i < stored->data.size(); ++i) {
                    word |= static_cast<std::uint32_t>(stored->data[i]) << (8 * i);
                }
                FUZZ_CHECK(static_cast<std::uint32_t>(*number) == word);
            } else if (stored != nullptr && stored->type == reg::kTypeDword) {
                FUZZ_CHECK(stored->data.size() > 4);
            }
        }
        if (opened == reg::kSuccess) {
            FUZZ_CHECK(store.CloseKey(handle) == reg::kSuccess);
        }
    }
    FUZZ_CHECK(store.OpenHandleCount() == 0);
    return 0;
}
