#include "app/program.h"
#include "platform/native.h"

namespace quorvel {

std::unique_ptr<FileService> MakeProgramFileService(const ProgramOptions& options) {
    return MakeNativeFileService(options.winePrefix);
}

} // namespace quorvel
