// The registry itself as the settings store: values written into a throwaway
// key with the registry's own calls, read back through WindowsRegistryStore.

#include "platform/ascii.h"
#include "platform/registry.h"
#include "platform/windows/windows_registry.h"
#include "tests/support/windows/registry_sandbox.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace quorvel {
namespace {

using test::RegistrySandbox;

const RegistryValue kEmpty{};
const std::string kPolish = "C:\\Gry\\\xC5\x81\xC3\xB3"
                            "d\xC5\xBA"; // C:\Gry\Łódź

class WindowsRegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox_.SetString("MOHAA", "basepath", "C:\\Games\\MOHAA");
        sandbox_.SetString("MOHAA", "Empty", "");
        sandbox_.SetDword("MOHAA", "Detail", 5);
        sandbox_.SetDword("MOHAA", "Minus", 0xFFFFFFFF);
        sandbox_.SetString("MOHAA", "Expanded", "%ProgramFiles%\\MOHAA", REG_EXPAND_SZ);
        sandbox_.SetString("MOHAA", "Multi", "C:\\Games\\MOHAA", REG_MULTI_SZ);
        sandbox_.Set("MOHAA", "Raw", REG_BINARY, "\1\2\3\4");
        sandbox_.Set("MOHAA", "Quad", REG_QWORD, test::RegistryDword(5) + std::string(4, '\0'));
        // Stored without its terminating NUL, as some programs do.
        sandbox_.Set("MOHAA", "Unterminated", REG_SZ,
                     test::RegistryString("C:\\MOHAA").substr(0, 16));
        sandbox_.SetString("MOHAA", "", "default");
        // Letters outside any code page, and a surrogate without its pair.
        sandbox_.SetString("MOHAA", "Polish", kPolish);
        sandbox_.Set("MOHAA", "Unpaired", REG_SZ,
                     std::string(reinterpret_cast<const char*>(L"C:\\x\xD800"), 12));
    }

    // Reads one value of the sandbox's MOHAA key through the real registry.
    RegistryValue Read(const std::string& name, const std::string& key = "MOHAA") {
        return ReadRegistryValue(store_, RegistryRoot::CurrentUser,
                                 sandbox_.Path() + (key.empty() ? "" : "\\" + key), name);
    }

    RegistrySandbox sandbox_;
    WindowsRegistryStore store_;
};

// Strings and double words come as stored, in UTF-8, their keys and names
// matched in any letter case; other types and missing entries give nothing.
TEST_F(WindowsRegistryStoreTest, ReadsStringsAndDoubleWordsOnly) {
    const RegistryValue base{std::string("C:\\Games\\MOHAA")};
    const std::tuple<const char*, const char*, RegistryValue> reads[] = {
        {"MOHAA", "basepath", base},
        {"mohaa", "BASEPATH", base},
        {"MOHAA", "Empty", std::string()},
        {"MOHAA", "Detail", std::int32_t{5}},
        {"MOHAA", "Minus", std::int32_t{-1}},
        {"MOHAA", "Unterminated", std::string("C:\\MOHAA")},
        {"MOHAA", "", std::string("default")},
        {"MOHAA", "Polish", kPolish},
        {"MOHAA", "Unpaired", std::string("C:\\x\xED\xA0\x80")},
        {"MOHAA", "Expanded", kEmpty},
        {"MOHAA", "Multi", kEmpty},
        {"MOHAA", "Raw", kEmpty},
        {"MOHAA", "Quad", kEmpty},
        {"MOHAA", "NoSuchValue", kEmpty},
        {"MOHAA Spearhead", "basepath", kEmpty},
        {"", "basepath", kEmpty}};
    for (const auto& [key, name, value] : reads) {
        EXPECT_EQ(Read(name, key), value) << key << "\\" << name;
    }
    std::string upper = sandbox_.Path() + "\\MoHaA";
    for (char& c : upper) {
        c = AsciiUpper(c);
    }
    EXPECT_EQ(ReadRegistryValue(store_, RegistryRoot::CurrentUser, upper, "BasePath"), base);
}

// The store's three calls answer as the interface promises: the reader's
// handling of sizes, types and failures rests on it.
TEST_F(WindowsRegistryStoreTest, AnswersAsTheStoreInterfaceSays) {
    RegistryStore::Handle key = 12345;
    EXPECT_EQ(store_.OpenKey(RegistryRoot::CurrentUser, sandbox_.Path() + "\\Missing", 0,
                             reg::kAccessMask, key),
              reg::kFileNotFound);
    EXPECT_EQ(key, 12345u);
    ASSERT_EQ(store_.OpenKey(RegistryRoot::CurrentUser, sandbox_.Path() + "\\MOHAA", 0,
                             reg::kAccessMask, key),
              reg::kSuccess);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(store_.QueryValue(key, "basepath", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(type, reg::kTypeString);
    EXPECT_GE(size, 15u);

    unsigned char tooSmall[4] = {};
    std::uint32_t smallSize = sizeof tooSmall;
    EXPECT_EQ(store_.QueryValue(key, "basepath", nullptr, tooSmall, &smallSize), reg::kMoreData);
    EXPECT_GE(smallSize, 15u);

    unsigned char data[64] = {};
    std::uint32_t dataSize = sizeof data;
    ASSERT_EQ(store_.QueryValue(key, "basepath", &type, data, &dataSize), reg::kSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), dataSize),
              std::string("C:\\Games\\MOHAA", 15));

    // Text is measured in UTF-8, as it is handed over.
    ASSERT_EQ(store_.QueryValue(key, "Polish", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(size, kPolish.size() + 1);
    smallSize = static_cast<std::uint32_t>(kPolish.size());
    EXPECT_EQ(store_.QueryValue(key, "Polish", nullptr, data, &smallSize), reg::kMoreData);
    EXPECT_EQ(smallSize, kPolish.size() + 1);

    EXPECT_EQ(store_.QueryValue(key, "NoSuchValue", &type, nullptr, &size), reg::kFileNotFound);
    EXPECT_EQ(store_.CloseKey(key), reg::kSuccess);
    EXPECT_EQ(store_.QueryValue(0, "basepath", &type, nullptr, &size), reg::kInvalidHandle);
    EXPECT_EQ(store_.CloseKey(0), reg::kInvalidHandle);
}

} // namespace
} // namespace quorvel
