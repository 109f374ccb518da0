#include "platform/unicode_text.h"

namespace quorvel {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool DecodeUtf8(const char*& p, const char* end, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(*p);
    std::ptrdiff_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07u;
    } else {
        return false;
    }
    if (end - p < length) {
        return false;
    }
    for (std::ptrdiff_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(p[k]);
        if ((byte & 0xC0) != 0x80) {
            return false;
        }
        cp = (cp << 6) | (byte & 0x3Fu);
    }
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if ((length == 3 && (cp < 0x800 || surrogate)) ||
        (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return false;
    }
    p += length;
    return true;
}

bool IsUtf8(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    char32_t codePoint = 0;
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            ++p;
        } else if (!DecodeUtf8(p, end, codePoint)) {
            return false;
        }
    }
    return true;
}

char16_t Windows1252(unsigned char byte) {
    // 0x80 to 0x9F; the rest is Latin-1, byte for character.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t{byte};
}

char32_t FoldCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    // Latin Extended-A pairs each capital with the small letter after it; the
    // dotted and dotless i (0x130, 0x131) have no partner there.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return c | 1;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return (c & 1) ? c + 1 : c;
    }
    if (c == 0x178) {
        return 0xFF;
    }
    return c;
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        char32_t cp = 0;
        if (static_cast<unsigned char>(*p) < 0x80) {
            out += static_cast<char>(FoldCase(static_cast<unsigned char>(*p++)));
        } else if (DecodeUtf8(p, end, cp)) {
            AppendUtf8(out, FoldCase(cp));
        } else {
            out += *p++;
        }
    }
    return out;
}

std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](unsigned char byte) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            escape(byte);
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            escape(byte);
            escape(static_cast<unsigned char>(text[++i]));
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace quorvel
