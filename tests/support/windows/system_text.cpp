#include "tests/support/system_text.h"

#include <windows.h>

namespace quorvel::test {

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

} // namespace quorvel::test
