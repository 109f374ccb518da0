#include "platform/utf16_text.h"

#include "platform/unicode_text.h"

namespace quorvel {
namespace {

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out += static_cast<char16_t>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

// A surrogate written as a character, ED A0 80 to ED BF BF, at p.
bool DecodeSurrogate(const char*& p, const char* end, char16_t& unit) {
    if (end - p < 3 || static_cast<unsigned char>(p[0]) != 0xED) {
        return false;
    }
    const auto second = static_cast<unsigned char>(p[1]);
    const auto third = static_cast<unsigned char>(p[2]);
    if (second < 0xA0 || second > 0xBF || (third & 0xC0) != 0x80) {
        return false;
    }
    unit = static_cast<char16_t>(0xD000 | (second & 0x3Fu) << 6 | (third & 0x3Fu));
    p += 3;
    return true;
}

// Decodes one character or surrogate at p and steps over it.
bool DecodeOne(const char*& p, const char* end, std::u16string& out) {
    if (static_cast<unsigned char>(*p) < 0x80) {
        out += static_cast<char16_t>(*p++);
        return true;
    }
    char32_t codePoint = 0;
    if (DecodeUtf8(p, end, codePoint)) {
        AppendUtf16(out, codePoint);
        return true;
    }
    char16_t unit = 0;
    if (DecodeSurrogate(p, end, unit)) {
        out += unit;
        return true;
    }
    return false;
}

} // namespace

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string Utf16FromUtf8(std::string_view text, const OtherBytes& other) {
    std::u16string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        if (DecodeOne(p, end, out)) {
            continue;
        }
        // The run of bytes up to the next one that starts a character.
        const char* const start = p;
        std::u16string next;
        const char* after = ++p;
        while (p < end && !DecodeOne(after, end, next)) {
            after = ++p;
        }
        if (other) {
            other(std::string_view(start, static_cast<std::size_t>(p - start)), out);
        } else {
            out.append(static_cast<std::size_t>(p - start), u'\uFFFD');
        }
        out += next;
        p = after;
    }
    return out;
}

} // namespace quorvel
