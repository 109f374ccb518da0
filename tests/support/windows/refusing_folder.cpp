#include "tests/support/windows/refusing_folder.h"

#include "tests/support/windows/test_roots.h"

#include <chrono>
#include <functional>
#include <thread>
#include <windows.h>

namespace quorvel::test {
namespace {

constexpr const char* kProbe = "quorvel-probe-";

// Whether a new file in `folder` is refused with access denied now. A file
// that could be made is removed again; each try has a name of its own, in
// case the folder began to refuse between making and removing.
bool Refuses(const std::filesystem::path& folder) {
    static int tries = 0;
    const std::filesystem::path probe = folder / (kProbe + std::to_string(++tries));
    const HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    CloseHandle(handle);
    DeleteFileW(probe.c_str());
    return false;
}

// Starts a program of the Linux host, such as Z:\usr\bin\chattr, through
// Wine, which gives no handle to wait on: `done` is polled instead, for a
// few seconds at most.
bool RunOnHost(const std::string& program, const std::string& arguments,
               const std::function<bool()>& done) {
    std::string commandLine = program + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::string windowsPath = "Z:" + program;
    if (!CreateProcessA(windowsPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace

RefusingFolder::RefusingFolder(std::filesystem::path folder)
    : folder_(std::move(folder)), unixPath_(UnixPathOf(folder_)) {
    if (unixPath_.empty()) {
        unavailable_ = "not run under Wine, so the host cannot make a folder refuse writes";
        return;
    }
    const auto refuses = [this] { return Refuses(folder_); };
    const std::string quoted = "\"" + unixPath_ + "\"";
    if (RunOnHost("/usr/bin/chattr", "+i " + quoted, refuses)) {
        undo_ = "/usr/bin/chattr -i " + quoted;
    } else if (RunOnHost("/bin/chmod", "a-w " + quoted, refuses)) {
        undo_ = "/bin/chmod u+w " + quoted;
    } else {
        unavailable_ =
            "neither chattr +i nor chmod a-w makes " + unixPath_ + " refuse new files on this host";
    }
}

RefusingFolder::~RefusingFolder() {
    if (!undo_.empty()) {
        const std::size_t space = undo_.find(' ');
        (void)RunOnHost(undo_.substr(0, space), undo_.substr(space + 1),
                        [this] { return !Refuses(folder_); });
    }
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ignored)) {
        if (entry.path().filename().string().rfind(kProbe, 0) == 0) {
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}

} // namespace quorvel::test
