#include "tests/support/system_text.h"

#include <windows.h>

namespace quorvel::test {

namespace {

std::string Message(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    // Without the line end and full stop that close it.
    const std::string message(text, length);
    return message.substr(0, message.find_last_not_of(" \r\n.") + 1);
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

} // namespace quorvel::test
