#pragma once

// The text last read from a configuration file, held as its lines.
//
// Empty at program start. Each successful read replaces the whole content;
// a failed read leaves it as it was, so that its lines can be used again.
// The lines are kept untrimmed, as they stand in the file.

#include <cstddef>
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
    const std::string& Text() const { return text_; }

    std::size_t Count() const { return pieces_.size(); }
    std::string_view operator[](std::size_t index) const {
        const Piece& piece = pieces_[index];
        return std::string_view(text_).substr(piece.offset, piece.length);
    }

private:
    struct Piece {
        std::size_t offset;
        std::size_t length;
    };
    bool empty_ = true;
    std::string text_;
    std::vector<Piece> pieces_;
};

// Removes leading and trailing space characters (code 32) only.
std::string_view TrimSpaces(std::string_view text);

} // namespace quorvel
