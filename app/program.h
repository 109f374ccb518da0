#pragma once

// What every front end needs besides its windows: the settings store and the
// file service of the machine it runs on, and the installer over them. A
// front end makes one Program with its window system, and hands the
// installer to its main window.

#include "core/installer.h"
#include "platform/file_service.h"
#include "platform/registry.h"
#include "platform/window_system.h"

#include <memory>

namespace quorvel {

class Program {
public:
    explicit Program(WindowSystem& windows);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Installer& GetInstaller() { return installer_; }

private:
    std::unique_ptr<RegistryStore> registry_;
    std::unique_ptr<FileService> files_;
    Installer installer_;
};

} // namespace quorvel
