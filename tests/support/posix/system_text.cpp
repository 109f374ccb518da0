#include "tests/support/system_text.h"

#include <cerrno>
#include <cstring>

namespace quorvel::test {

std::string NoSuchFileText() {
    return std::strerror(ENOENT);
}
std::string NoSuchFolderText() {
    return std::strerror(ENOENT);
}
std::string NotAFolderText() {
    return std::strerror(ENOTDIR);
}
std::string IsAFolderText() {
    return std::strerror(EISDIR);
}

} // namespace quorvel::test
