// Any bytes as the text of a configuration file. Split into lines, the
// untrimmed pieces joined with CR LF give back the text exactly; trimming
// takes off spaces and nothing else. A buffer that is filled again behaves as
// a fresh one.

#include "core/line_buffer.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using quorvel::LineBuffer;
using quorvel::TrimSpaces;

bool OnlySpaces(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// `trimmed` is `text` less the spaces at both ends, and a part of it.
void CheckTrimmed(std::string_view text, std::string_view trimmed) {
    if (trimmed.empty()) {
        FUZZ_CHECK(OnlySpaces(text));
        return;
    }
    FUZZ_CHECK(trimmed.front() != ' ' && trimmed.back() != ' ');
    FUZZ_CHECK(trimmed.data() >= text.data() &&
               trimmed.data() + trimmed.size() <= text.data() + text.size());
    const auto before = static_cast<std::size_t>(trimmed.data() - text.data());
    FUZZ_CHECK(OnlySpaces(text.substr(0, before)));
    FUZZ_CHECK(OnlySpaces(text.substr(before + trimmed.size())));
}

void CheckSplit(LineBuffer& buffer, const std::string& text) {
    buffer.AssignText(text);
    FUZZ_CHECK(!buffer.IsEmpty());
    FUZZ_CHECK(buffer.Text() == text);
    FUZZ_CHECK((buffer.Count() == 0) == text.empty());
    std::string joined;
    for (std::size_t i = 0; i < buffer.Count(); ++i) {
        const std::string_view piece = buffer[i];
        FUZZ_CHECK(piece.find("\r\n") == std::string_view::npos);
        if (i > 0) {
            joined += "\r\n";
        }
        joined += piece;
        CheckTrimmed(piece, TrimSpaces(piece));
    }
    FUZZ_CHECK(joined == text);

    const std::size_t count = buffer.Count();
    buffer.EnsureLines();
    FUZZ_CHECK(buffer.Count() == count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    const std::string text(reinterpret_cast<const char*>(bytes), length);
    CheckTrimmed(text, TrimSpaces(text));

    LineBuffer buffer;
    CheckSplit(buffer, text);
    // Filled again with less, and then with more, than it held.
    CheckSplit(buffer, text.substr(length / 3));
    CheckSplit(buffer, text + "\r\n" + text);
    return 0;
}
