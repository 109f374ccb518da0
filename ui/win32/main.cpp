// quorvel.exe: the installer's Win32 front end.

#include "app/program.h"
#include "core/identity.h"
#include "ui/win32/main_window.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_window_system.h"

#include <exception>
#include <string>
#include <windows.h>

namespace {

void ReportFailure(const std::string& text) {
    std::wstring wide;
    try {
        wide = quorvel::win32::Widen(text);
    } catch (...) {
        wide = L"quorvel stopped.";
    }
    MessageBoxW(nullptr, wide.c_str(), L"quorvel", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    try {
        // The program takes no options on Windows; this keeps the front ends
        // alike should it ever take some.
        quorvel::ProgramOptions options;
        if (const auto status = quorvel::ReadCommandLine({}, options)) {
            return *status;
        }
        quorvel::win32::Win32WindowSystem windows;
        quorvel::Program program(windows, options);
        quorvel::win32::MainWindow window(program.GetInstaller());
        windows.WhilePromptShows([&window] { window.Make(); });
        int code = 1;
        if (!quorvel::win32::HasWindowFailure()) {
            window.Load();
        }
        if (!quorvel::win32::HasWindowFailure()) {
            window.Show(showCommand);
            code = window.Run();
        }
        if (const auto failure = quorvel::win32::TakeWindowFailure()) {
            ReportFailure("quorvel stopped: " + *failure + ".");
            return 1;
        }
        return code;
    } catch (const std::exception& error) {
        ReportFailure(std::string("quorvel stopped: ") + error.what());
    } catch (...) {
        ReportFailure("quorvel stopped: an unknown failure");
    }
    return 1;
}
