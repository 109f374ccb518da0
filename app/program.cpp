#include "app/program.h"

#include "platform/native.h"

namespace quorvel {

Program::Program(WindowSystem& windows, const ProgramOptions& options)
    : registry_(MakeNativeRegistryStore(options.winePrefix)),
      files_(MakeNativeFileService(options.winePrefix)), installer_(windows, *registry_, *files_) {}

} // namespace quorvel
