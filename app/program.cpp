#include "app/program.h"

#include "platform/native.h"

namespace quorvel {

Program::Program(WindowSystem& windows)
    : registry_(MakeNativeRegistryStore()), files_(MakeNativeFileService()),
      installer_(windows, *registry_, *files_) {}

} // namespace quorvel
