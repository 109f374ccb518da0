#include "core/line_buffer.h"

#include <cstring>
#include <utility>

namespace quorvel {

namespace {

// A buffer's lines, trimmed of spaces as they are read.
class TrimmedBufferLines final : public LineSource {
public:
    TrimmedBufferLines(std::shared_ptr<const std::string> text,
                       std::shared_ptr<const std::vector<std::size_t>> starts)
        : text_(std::move(text)), starts_(std::move(starts)) {}
    std::size_t Count() const override { return starts_->size(); }
    std::string_view Line(std::size_t index) const override {
        return TrimSpaces(LineBuffer::LineOf(*text_, *starts_, index));
    }

private:
    std::shared_ptr<const std::string> text_;
    std::shared_ptr<const std::vector<std::size_t>> starts_;
};

// Where each line of `text` starts.
std::vector<std::size_t> LineStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    if (text.empty()) {
        return starts;
    }
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    // Room for lines of 32 bytes on average, which is more than most
    // config files need; longer lines leave some of it unused.
    starts.reserve(text.size() / 32 + 1);
    starts.push_back(0);
    for (const char* at = begin;;) {
        const auto* cr =
            static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
        if (cr == nullptr) {
            break;
        }
        if (cr + 1 < end && cr[1] == '\n') {
            starts.push_back(static_cast<std::size_t>(cr + 2 - begin));
            at = cr + 2;
        } else {
            at = cr + 1;
        }
    }
    return starts;
}

} // namespace

void LineBuffer::AssignText(std::string text) {
    // Replaced rather than changed, since lists may share the old text.
    auto kept = std::make_shared<const std::string>(std::move(text));
    auto starts = std::make_shared<const std::vector<std::size_t>>(LineStarts(*kept));
    empty_ = false;
    text_ = std::move(kept);
    starts_ = std::move(starts);
}

std::shared_ptr<const LineSource> LineBuffer::TrimmedLines() const {
    return std::make_shared<const TrimmedBufferLines>(
        text_ ? text_ : std::make_shared<const std::string>(), starts_);
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
