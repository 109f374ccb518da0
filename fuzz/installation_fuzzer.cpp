// Any custom.cfg and newconfig.cfg, any pair of detail answers: an
// installation writes exactly the installer's block into custom.cfg and
// keeps in newconfig.cfg every line of the player's that it does not install,
// inventing none.

#include "core/base_settings.h"
#include "core/detail_choices.h"
#include "core/installer.h"
#include "core/line_buffer.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/fake_registry_store.h"
#include "tests/support/memory_file_service.h"
#include "tests/support/scripted_window_system.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace quorvel;

const std::string kFolder = "C:\\Games\\MOHAA\\mainta";
const std::string kCustom = kFolder + "\\custom.cfg";
const std::string kOther = kFolder + "\\newconfig.cfg";

std::vector<std::string> TrimmedLines(const std::string& text) {
    LineBuffer buffer;
    buffer.AssignText(text);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        lines.emplace_back(TrimSpaces(buffer[i]));
    }
    return lines;
}

// Every line that this program writes into custom.cfg itself.
const std::set<std::string>& OwnLines() {
    static const std::set<std::string> own = [] {
        std::set<std::string> lines(BaseSettings.begin(), BaseSettings.end());
        lines.insert(kHeaderLine);
        lines.insert(kEndMarkerLine);
        for (const auto kind : {DetailDialogKind::Texture, DetailDialogKind::Model}) {
            for (const DetailAnswer& answer : DetailAnswers(kind)) {
                lines.insert(answer.lines.begin(), answer.lines.end());
            }
        }
        return lines;
    }();
    return own;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    FuzzedDataProvider input(bytes, length);
    const auto& textures = DetailAnswers(DetailDialogKind::Texture);
    const auto& models = DetailAnswers(DetailDialogKind::Model);
    const DetailAnswer& texture = textures[input.ConsumeIntegralInRange<std::size_t>(0, 2)];
    const DetailAnswer& model = models[input.ConsumeIntegralInRange<std::size_t>(0, 5)];
    const bool hasCustom = input.ConsumeBool();
    const bool hasOther = input.ConsumeBool();
    const std::string custom = input.ConsumeRandomLengthString();
    const std::string other = input.ConsumeRemainingBytesAsString();

    test::MemoryFileService files;
    files.AddFolder(kFolder);
    if (hasCustom) {
        files.SetFile(kCustom, custom);
    }
    if (hasOther) {
        files.SetFile(kOther, other);
    }
    test::FakeRegistryStore registry;
    registry.SetString(kGameRegistryKey, kGameRegistryValue, "C:\\Games\\MOHAA");
    test::ScriptedWindowSystem windows;
    test::ScriptedMainWindow window;
    Installer installer(windows, registry, files);
    installer.RunStartup(window);
    windows.Then(test::DialogStep::Answer(std::string(texture.button)));
    windows.Then(test::DialogStep::Answer(std::string(model.button)));
    FUZZ_CHECK(installer.RunInstallation(window) == InstallationResult::Installed);

    // custom.cfg holds the installer's block and nothing else.
    std::vector<std::string> installed(BaseSettings.begin(), BaseSettings.end());
    installed.insert(installed.end(), texture.lines.begin(), texture.lines.end());
    installed.insert(installed.end(), model.lines.begin(), model.lines.end());
    installed.emplace_back(kEndMarkerLine);
    std::string expected = std::string(kHeaderLine) + "\r\n";
    for (const std::string& line : installed) {
        expected += line + "\r\n";
    }
    FUZZ_CHECK(files.File(kCustom) == expected);

    // newconfig.cfg: an empty line, then the player's lines.
    const std::optional<std::string> written = files.File(kOther);
    FUZZ_CHECK(written && written->compare(0, 2, "\r\n") == 0);
    const std::vector<std::string> after = TrimmedLines(*written);
    const std::set<std::string> kept(after.begin(), after.end());
    const std::set<std::string> installing(installed.begin(), installed.end());
    const bool later = hasOther && !other.empty();
    std::set<std::string> player;
    for (const std::string& line : TrimmedLines(later ? other : hasCustom ? custom : "")) {
        player.insert(line);
    }
    if (later) {
        // custom.cfg then holds the installer's lines of last time, and any
        // others the player added to it by hand.
        for (const std::string& line : TrimmedLines(hasCustom ? custom : "")) {
            if (OwnLines().count(line) == 0) {
                player.insert(line);
            }
        }
    }
    for (const std::string& line : player) {
        FUZZ_CHECK(line.empty() || installing.count(line) == 1 || kept.count(line) == 1);
    }
    for (const std::string& line : kept) {
        FUZZ_CHECK(line.empty() || player.count(line) == 1);
    }
    return 0;
}
