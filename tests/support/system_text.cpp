#include "tests/support/system_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace quorvel::test {

#ifdef _WIN32

namespace {

std::string Message(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() &&
           (message.back() == '\r' || message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    if (!message.empty() && message.back() == '.') {
        message.pop_back();
    }
    return message;
}

} // namespace

std::string NoSuchFileText() {
    return Message(ERROR_FILE_NOT_FOUND);
}
std::string NoSuchFolderText() {
    return Message(ERROR_PATH_NOT_FOUND);
}
std::string NotAFolderText() {
    return Message(ERROR_PATH_NOT_FOUND);
}
std::string IsAFolderText() {
    return "the path is a folder";
}

#else

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

#endif

} // namespace quorvel::test
