#pragma once

// The text last read from a configuration file, held as its lines.
//
// Empty at program start. Each successful read replaces the whole content;
// a failed read leaves it as it was, so that its lines can be used again.
// The lines are kept untrimmed, as they stand in the file.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class LineBuffer {
public:
    // True until the first read, successful or not, has turned the buffer
    // into a list of lines.
    bool IsEmpty() const { return empty_; }

    // Replaces the content by the pieces of `text` between CR LF separators.
    // Every separator counts: two in a row give an empty piece between them,
    // a text ending in CR LF gives a final empty piece, and the empty text
    // gives no pieces at all. A lone CR or LF is part of its line.
    void AssignText(std::string text);

    // Turns a still empty buffer into a list with no lines; a buffer that
    // already holds lines keeps them.
    void EnsureLines();

    // The text the lines were split from, exactly as it was read.
    const std::string& Text() const;
    // The same text, for keeping beyond the buffer's next AssignText, as a
    // LineList does with the lines it shows; null before the first read.
    const std::shared_ptr<const std::string>& SharedText() const { return text_; }

    std::size_t Count() const { return starts_.size(); }
    std::string_view operator[](std::size_t index) const {
        const std::size_t start = starts_[index];
        // Each line but the last ends where the separator before the next
        // one starts.
        const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] - 2 : text_->size();
        return std::string_view(text_->data() + start, end - start);
    }

private:
    bool empty_ = true;
    // Shared, never changed: a new text replaces it whole.
    std::shared_ptr<const std::string> text_;
    // Where each line starts in the text.
    std::vector<std::size_t> starts_;
};

// Removes leading and trailing space characters (code 32) only.
inline std::string_view TrimSpaces(std::string_view text) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && text[first] == ' ') {
        ++first;
    }
    while (end > first && text[end - 1] == ' ') {
        --end;
    }
    return text.substr(first, end - first);
}

} // namespace quorvel
