#include "line_buffer.h"

#include <utility>

namespace quorvel {

void LineBuffer::AssignText(std::string text) {
    text_ = std::move(text);
    pieces_.clear();
    empty_ = false;
    if (text_.empty()) {
        return;
    }
    const std::string_view all(text_);
    std::size_t start = 0;
    for (;;) {
        const std::size_t separator = all.find("\r\n", start);
        if (separator == std::string_view::npos) {
            pieces_.push_back({start, all.size() - start});
            break;
        }
        pieces_.push_back({start, separator - start});
        start = separator + 2;
    }
}

void LineBuffer::EnsureLines() {
    if (empty_) {
        AssignText({});
    }
}

std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace quorvel
