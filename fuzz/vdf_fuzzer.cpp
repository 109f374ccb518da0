// Any bytes as a Steam KeyValues file. Reading never crashes, never nests
// deeper than its limit, and what it reads, written out again, reads back the
// same; the library folders are the numbered entries' paths.

#include "fuzz/fuzz_check.h"
#include "platform/wine/vdf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using quorvel::vdf::Node;

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

// Writes the entries out again, without recursion, and checks the depth.
std::string Write(const std::vector<Node>& top) {
    std::string out;
    std::vector<std::pair<const std::vector<Node>*, std::size_t>> open{{&top, 0}};
    while (!open.empty()) {
        auto& [entries, next] = open.back();
        if (next == entries->size()) {
            open.pop_back();
            if (!open.empty()) {
                out += "}\n";
            }
            continue;
        }
        const Node& node = (*entries)[next++];
        out += Quoted(node.key);
        if (node.isBlock) {
            FUZZ_CHECK(node.value.empty());
            FUZZ_CHECK(open.size() <= quorvel::vdf::kMaxDepth);
            out += " {\n";
            open.emplace_back(&node.children, 0);
        } else {
            FUZZ_CHECK(node.children.empty());
            out += " " + Quoted(node.value) + "\n";
        }
    }
    return out;
}

bool Same(const std::vector<Node>& a, const std::vector<Node>& b) {
    std::vector<std::pair<const std::vector<Node>*, const std::vector<Node>*>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [left, right] = pending.back();
        pending.pop_back();
        if (left->size() != right->size()) {
            return false;
        }
        for (std::size_t i = 0; i < left->size(); ++i) {
            const Node& x = (*left)[i];
            const Node& y = (*right)[i];
            if (x.key != y.key || x.value != y.value || x.isBlock != y.isBlock) {
                return false;
            }
            pending.emplace_back(&x.children, &y.children);
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), length);
    const auto top = quorvel::vdf::Parse(text);
    const std::vector<std::string> folders = quorvel::vdf::LibraryFolders(text);
    if (!top) {
        FUZZ_CHECK(folders.empty());
        return 0;
    }
    const std::string written = Write(*top);
    const auto again = quorvel::vdf::Parse(written);
    FUZZ_CHECK(again.has_value() && Same(*top, *again));
    FUZZ_CHECK(quorvel::vdf::LibraryFolders(written) == folders);
    for (const std::string& folder : folders) {
        FUZZ_CHECK(!folder.empty());
    }
    return 0;
}
