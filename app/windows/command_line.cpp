#include "app/program.h"
#include "platform/windows/file_paths.h"

#include <vector>
#include <windows.h>

namespace quorvel {

// On Windows the game folder comes from the registry, and the program, a
// windowed one with no console to print to, takes no options. Where the
// registry holds none, OpenMoHAA's user folder, %APPDATA%\openmohaa, is
// offered when its mainta folder exists.
std::optional<int> ReadCommandLine(const std::vector<std::string>& /*args*/,
                                   ProgramOptions& options) {
    std::vector<wchar_t> appData(32768);
    const DWORD length =
        GetEnvironmentVariableW(L"APPDATA", appData.data(), static_cast<DWORD>(appData.size()));
    if (length > 0 && length < appData.size()) {
        const std::string folder =
            windows_paths::ProgramText(std::wstring_view(appData.data(), length)) + "\\openmohaa";
        const DWORD attributes =
            GetFileAttributesW(windows_paths::WidePath(folder + "\\mainta").c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            options.gameFolders.fallback = folder;
        }
    }
    return std::nullopt;
}

} // namespace quorvel
