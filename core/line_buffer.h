#pragma once

// The text last read from a configuration file, held as its lines.
//
// Empty at program start. Each successful read replaces the whole content;
// a failed read leaves it as it was, so that its lines can be used again.
// The lines are kept untrimmed, as they stand in the file.

#include "platform/line_list.h"

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

    std::size_t Count() const { return starts_->size(); }
    std::string_view operator[](std::size_t index) const { return LineOf(*text_, *starts_, index); }

    // The lines trimmed of spaces, as a list shows them, read where they are
    // when asked: the source shares the text and the line starts with the
    // buffer, and stays good after the buffer's next AssignText.
    std::shared_ptr<const LineSource> TrimmedLines() const;

    // Line `index` of `text`, whose lines start at `starts`.
    static std::string_view LineOf(const std::string& text, const std::vector<std::size_t>& starts,
                                   std::size_t index) {
        const std::size_t start = starts[index];
        // Each line but the last ends where the separator before the next
        // one starts.
        const std::size_t end = index + 1 < starts.size() ? starts[index + 1] - 2 : text.size();
        return std::string_view(text.data() + start, end - start);
    }

private:
    bool empty_ = true;
    // Shared, never changed: a new text replaces both whole.
    std::shared_ptr<const std::string> text_;
    // Where each line starts in the text.
    std::shared_ptr<const std::vector<std::size_t>> starts_ =
        std::make_shared<const std::vector<std::size_t>>();
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
