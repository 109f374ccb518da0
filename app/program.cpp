#include "app/program.h"

#include "platform/native.h"

namespace quorvel {

Program::Program(WindowSystem& windows, const ProgramOptions& options)
    : registry_(MakeNativeRegistryStore(options.winePrefix)),
      files_(MakeProgramFileService(options)),
      installer_(windows, *registry_, *files_, options.gameFolders) {}

} // namespace quorvel
