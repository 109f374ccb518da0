#include "core/line_buffer.h"

#include <cstring>
#include <utility>

namespace quorvel {

void LineBuffer::AssignText(std::string text) {
    // Replaced rather than changed, since lists may share the old text.
    auto kept = std::make_shared<const std::string>(std::move(text));
    starts_.clear();
    empty_ = false;
    text_ = std::move(kept);
    if (text_->empty()) {
        return;
    }
    const char* const begin = text_->data();
    const char* const end = begin + text_->size();
    // Room for lines of 32 bytes on average, which is more than most
    // config files need; longer lines leave some of it unused.
    starts_.reserve(text_->size() / 32 + 1);
    starts_.push_back(0);
    for (const char* at = begin;;) {
        const auto* cr =
            static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
        if (cr == nullptr) {
            break;
        }
        if (cr + 1 < end && cr[1] == '\n') {
            starts_.push_back(static_cast<std::size_t>(cr + 2 - begin));
            at = cr + 2;
        } else {
            at = cr + 1;
        }
    }
}

const std::string& LineBuffer::Text() const {
    static const std::string kNothing;
    return text_ ? *text_ : kNothing;
}

void LineBuffer::EnsureLines() {
    if (empty_) {
        AssignText({});
    }
}

} // namespace quorvel
