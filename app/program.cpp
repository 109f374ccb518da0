#include "app/program.h"

#include "platform/native.h"
#include "platform/wine_registry.h"

namespace quorvel {

Program::Program(WindowSystem& windows, const ProgramOptions& options)
    : registry_(options.readSettingsStore
                    ? MakeNativeRegistryStore(options.winePrefix)
                    : std::make_unique<WineRegistryStore>(WineRegistryFile::Parse(""))),
      files_(MakeProgramFileService(options)),
      installer_(windows, *registry_, *files_, options.gameFolder) {}

} // namespace quorvel
