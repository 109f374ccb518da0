#include "core/installer.h"
#include "core/line_buffer.h"
#include "platform/ascii.h"

namespace quorvel {
namespace {

bool EndsInAa(const std::string& text) {
    if (text.size() < 2) {
        return false;
    }
    return AsciiLower(text[text.size() - 2]) == 'a' && AsciiLower(text[text.size() - 1]) == 'a';
}

std::string PathInFolder(const std::string& gameFolder, std::string_view file) {
    std::string path(TrimSpaces(gameFolder));
    path.append("\\mainta\\").append(file);
    return path;
}

} // namespace

std::string BuildGameFolder(const std::string& registryText) {
    std::string folder;
    folder.reserve(registryText.size());
    // The stop test runs before each character is taken, so the "aa" that
    // ends the folder is kept and nothing after it is.
    for (const char c : registryText) {
        if (EndsInAa(folder)) {
            break;
        }
        folder.push_back(c);
    }
    return folder;
}

std::string CustomCfgPathFor(const std::string& gameFolder) {
    return PathInFolder(gameFolder, "custom.cfg");
}

std::string MaintaFolderFor(const std::string& gameFolder) {
    std::string folder = PathInFolder(gameFolder, "");
    folder.pop_back();
    return folder;
}

std::string NewConfigPathFor(const std::string& gameFolder) {
    return PathInFolder(gameFolder, "newconfig.cfg");
}

} // namespace quorvel
