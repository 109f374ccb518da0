#include "app/program.h"
#include "app/windows/virtual_store_file_service.h"
#include "platform/native.h"

namespace quorvel {

// The game's files as the game sees them, per-user copies included.
std::unique_ptr<FileService> MakeProgramFileService(const ProgramOptions& options) {
    return std::make_unique<VirtualStoreFileService>(MakeNativeFileService(options.winePrefix),
                                                     VirtualStoreEnvironmentFromProcess());
}

} // namespace quorvel
