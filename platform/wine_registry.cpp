#include "platform/wine_registry.h"

#include "platform/ascii.h"
#include "platform/host_file_service.h"
#include "platform/unicode_text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_set>

namespace quorvel {
namespace {

// RegQueryValueExA's answer to a data buffer that comes without its size.
constexpr std::int32_t kInvalidParameter = 87;

// Wine keeps key names and strings as UTF-16 code units.
using Units = std::u16string;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    return static_cast<unsigned>(c - 'A' + 10);
}

// White space within a line; a line feed ends the line instead.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

void AppendUtf16(Units& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (cp >> 10));
        out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    }
}

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// A surrogate without its partner becomes U+FFFD, as Windows converts it.
std::string ToUtf8(const Units& units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (IsHighSurrogate(cp) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t{units[i + 1]} - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

// A key path as it is stored and looked up: lower-cased, without separators
// at its end.
std::string KeyOf(std::string_view path) {
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return FoldCase(path);
}

// String data as RegQueryValueExA hands it over: UTF-8 and a NUL.
std::vector<unsigned char> StringData(const Units& units) {
    const std::string text = ToUtf8(units);
    std::vector<unsigned char> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

bool IsStringType(std::uint32_t type) {
    return type == reg::kTypeString || type == reg::kTypeExpandString ||
           type == reg::kTypeMultiString;
}

// A position in the text; it only ever moves forward, which keeps the whole
// parse linear.
struct Cursor {
    const char* p;
    const char* end;

    bool AtLineEnd() const { return p == end || *p == '\n'; }

    void SkipBlanks() {
        while (p != end && IsBlank(*p)) {
            ++p;
        }
    }

    bool Consume(std::string_view word) {
        if (static_cast<std::size_t>(end - p) < word.size() ||
            std::memcmp(p, word.data(), word.size()) != 0) {
            return false;
        }
        p += word.size();
        return true;
    }

    void SkipLine() {
        const void* feed = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        p = feed ? static_cast<const char*>(feed) + 1 : end;
    }
};

// What follows a backslash.
enum class Escape {
    Read,            // an escape sequence, now in the text
    StandsForItself, // any other character, left at c.p for the caller
    Refused,         // the end of the line
};

// Reads the escape sequence after a backslash, at c.p, into `out`.
Escape ParseEscape(Cursor& c, Units& out) {
    const char ch = *c.p;
    // \a \b \e \f \n \r \t \v
    constexpr std::string_view kLetters = "abefnrtv";
    constexpr char16_t kControls[] = {7, 8, 27, 12, 10, 13, 9, 11};
    if (const auto letter = kLetters.find(ch); letter != std::string_view::npos) {
        out += kControls[letter];
        ++c.p;
        return Escape::Read;
    }
    if (ch == 'x') {
        ++c.p;
        if (c.p == c.end || !IsHexDigit(*c.p)) {
            out += u'x';
            return Escape::Read;
        }
        unsigned unit = 0;
        for (int digits = 0; digits < 4 && c.p != c.end && IsHexDigit(*c.p); ++digits) {
            unit = unit * 16 + HexDigitValue(*c.p++);
        }
        out += static_cast<char16_t>(unit);
        return Escape::Read;
    }
    if (ch >= '0' && ch <= '7') {
        unsigned unit = 0;
        for (int digits = 0; digits < 3 && c.p != c.end && *c.p >= '0' && *c.p <= '7'; ++digits) {
            unit = unit * 8 + static_cast<unsigned>(*c.p++ - '0');
        }
        out += static_cast<char16_t>(unit);
        return Escape::Read;
    }
    return ch == '\n' || ch == '\0' ? Escape::Refused : Escape::StandsForItself;
}

// Takes the character at c.p into `out`: UTF-8 when it is, else the byte as
// Latin-1, as Wine itself does.
void TakeCharacter(Cursor& c, Units& out) {
    const char ch = *c.p;
    char32_t cp = 0;
    if (static_cast<unsigned char>(ch) < 0x80) {
        out += static_cast<char16_t>(ch);
        ++c.p;
    } else if (DecodeUtf8(c.p, c.end, cp)) {
        AppendUtf16(out, cp);
    } else {
        out += static_cast<char16_t>(static_cast<unsigned char>(ch));
        ++c.p;
    }
}

// Reads escaped text up to `terminator` and steps over the terminator. Text
// cannot run past the end of its line; such text is refused.
bool ParseEscaped(Cursor& c, char terminator, Units& out) {
    while (c.p != c.end) {
        const char ch = *c.p;
        if (ch == '\n' || ch == '\0') {
            return false;
        }
        if (ch == terminator) {
            ++c.p;
            return true;
        }
        if (ch == '\\') {
            if (++c.p == c.end) {
                return false;
            }
            const Escape escape = ParseEscape(c, out);
            if (escape == Escape::Refused) {
                return false;
            }
            if (escape == Escape::Read) {
                continue;
            }
        }
        TakeCharacter(c, out);
    }
    return false;
}

// Reads up to `maxDigits` hex digits (at least one) and refuses a number that
// goes on longer.
bool ParseHexNumber(Cursor& c, int maxDigits, std::uint32_t& number) {
    number = 0;
    int digits = 0;
    while (c.p != c.end && IsHexDigit(*c.p)) {
        if (++digits > maxDigits) {
            return false;
        }
        number = number * 16 + HexDigitValue(*c.p++);
    }
    return digits > 0;
}

// Comma-separated bytes in hex. A backslash at the end of a line carries the
// list on to the next line.
bool ParseHexList(Cursor& c, std::vector<unsigned char>& out) {
    for (;;) {
        c.SkipBlanks();
        if (c.AtLineEnd()) {
            return true;
        }
        if (*c.p == '\\') {
            ++c.p;
            c.SkipBlanks();
            if (c.p == c.end || *c.p != '\n') {
                return false;
            }
            ++c.p;
            continue;
        }
        std::uint32_t byte = 0;
        if (!ParseHexNumber(c, 2, byte)) {
            return false;
        }
        out.push_back(static_cast<unsigned char>(byte));
        c.SkipBlanks();
        if (c.p != c.end && *c.p == ',') {
            ++c.p;
        } else if (!c.AtLineEnd() && *c.p != '\\') {
            return false;
        }
    }
}

// Wine stores text it cannot write as a string in hex, as UTF-16LE; this
// turns it into the form the string notations give.
std::vector<unsigned char> TextFromUtf16Bytes(const std::vector<unsigned char>& bytes) {
    Units units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    }
    if (!units.empty() && units.back() == 0) {
        units.pop_back();
    }
    return StringData(units);
}

bool ParseData(Cursor& c, WineRegistryFile::Value& value) {
    std::uint32_t stringType = 0;
    if (c.Consume("\"") || c.Consume("str:\"")) {
        stringType = reg::kTypeString;
    } else if (c.Consume("str(2):\"")) {
        stringType = reg::kTypeExpandString;
    } else if (c.Consume("str(7):\"")) {
        stringType = reg::kTypeMultiString;
    }
    if (stringType != 0) {
        Units text;
        if (!ParseEscaped(c, '"', text)) {
            return false;
        }
        value.type = stringType;
        value.data = StringData(text);
        return true;
    }
    if (c.Consume("dword:")) {
        std::uint32_t word = 0;
        if (!ParseHexNumber(c, 8, word)) {
            return false;
        }
        value.type = reg::kTypeDword;
        value.data = {static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                      static_cast<unsigned char>(word >> 16),
                      static_cast<unsigned char>(word >> 24)};
        return true;
    }
    if (c.Consume("hex:")) {
        value.type = reg::kTypeBinary;
    } else if (c.Consume("hex(")) {
        if (!ParseHexNumber(c, 8, value.type) || !c.Consume("):")) {
            return false;
        }
    } else {
        return false;
    }
    if (!ParseHexList(c, value.data)) {
        return false;
    }
    if (IsStringType(value.type)) {
        value.data = TextFromUtf16Bytes(value.data);
    }
    return true;
}

// A value line: `"name"=data` or `@=data` for the default value.
bool ParseValue(Cursor& c, std::string& name, WineRegistryFile::Value& value) {
    if (*c.p == '@') {
        ++c.p;
    } else {
        ++c.p;
        Units units;
        if (!ParseEscaped(c, '"', units)) {
            return false;
        }
        name = ToUtf8(units);
    }
    c.SkipBlanks();
    if (!c.Consume("=")) {
        return false;
    }
    c.SkipBlanks();
    return ParseData(c, value) && value.data.size() <= std::numeric_limits<std::uint32_t>::max();
}

// Reads a section header's key path up to its `]` into `key`, as KeyOf
// gives it. Key paths are mostly plain ASCII with `\\` between names; those
// are lower-cased straight into `key`, anything else goes the long way.
bool ParseKeyPath(Cursor& c, std::string& key) {
    key.clear();
    for (const char* p = c.p; p != c.end; ++p) {
        const char ch = *p;
        if (ch == ']') {
            c.p = p + 1;
            while (!key.empty() && key.back() == '\\') {
                key.pop_back();
            }
            return true;
        }
        if (ch == '\\' && p + 1 != c.end && p[1] == '\\') {
            key += '\\';
            ++p;
        } else if (ch == '\\' || static_cast<unsigned char>(ch) < 0x20 ||
                   static_cast<unsigned char>(ch) >= 0x7F) {
            break;
        } else {
            key += AsciiLower(ch);
        }
    }
    Units path;
    if (!ParseEscaped(c, ']', path)) {
        return false;
    }
    key = KeyOf(ToUtf8(path));
    return true;
}

// Where `text` holds `word` (lower case, ASCII, not empty) in any letter
// case, one place after another. Linear in the text however many places
// there are: each letter case of the first character is looked for from
// where the last look stopped, never again from the start.
class AnyCaseFinder {
public:
    AnyCaseFinder(std::string_view text, std::string_view word)
        : text_(text), word_(word), lower_(word.front()), upper_(AsciiUpper(lower_)),
          nextLower_(text.find(lower_)), nextUpper_(text.find(upper_)) {}

    // The first place at or after `from`; npos when none is left. `from`
    // never goes back.
    std::size_t Next(std::size_t from) {
        for (;;) {
            if (nextLower_ < from) {
                nextLower_ = text_.find(lower_, from);
            }
            if (nextUpper_ < from) {
                nextUpper_ = text_.find(upper_, from);
            }
            const std::size_t at = std::min(nextLower_, nextUpper_);
            if (at == std::string_view::npos || text_.size() - at < word_.size()) {
                return std::string_view::npos;
            }
            std::size_t i = 1;
            while (i < word_.size() && AsciiLower(text_[at + i]) == word_[i]) {
                ++i;
            }
            if (i == word_.size()) {
                return at;
            }
            from = at + 1;
        }
    }

private:
    std::string_view text_;
    std::string_view word_;
    char lower_;
    char upper_;
    std::size_t nextLower_;
    std::size_t nextUpper_;
};

// The sections of a user.reg whose headers name `name` (lower case, ASCII,
// not empty), each header with the lines of its section: all that decides
// whether the file has a key ending in that name, and what its values are,
// in a fraction of the text. A header is a line whose first character after
// blanks is '['; a section ends where the next header starts.
std::string SectionsNaming(std::string_view text, std::string_view name) {
    std::string sections;
    // Each header once: a file of one header a million times over is
    // parsed as one section.
    std::unordered_set<std::string_view> seen;
    AnyCaseFinder finder(text, name);
    std::size_t at = 0;
    while ((at = finder.Next(at)) != std::string_view::npos) {
        const std::size_t lineStart = text.rfind('\n', at) + 1; // 0 on the first line
        const std::size_t first = text.find_first_not_of(" \t", lineStart);
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view header = text.substr(first, end - first);
        at = end;
        if (header.front() != '[' || !seen.insert(header).second) {
            continue;
        }
        // The section's lines, up to the next header.
        std::size_t next = end;
        while (next < text.size()) {
            const std::size_t lineFirst = text.find_first_not_of(" \t", next + 1);
            if (lineFirst == std::string_view::npos || text[lineFirst] == '[') {
                break;
            }
            next = std::min(text.find('\n', lineFirst), text.size());
        }
        sections.append(text.substr(first, next - first)).push_back('\n');
        at = next;
    }
    return sections;
}

// The last part of a key path, lower-cased: every section of the key or of a
// key below it names it, so a user.reg without it cannot hold the key.
std::string LastKeyName(std::string_view key) {
    const std::size_t slash = key.find_last_of('\\');
    std::string name(slash == std::string_view::npos ? key : key.substr(slash + 1));
    for (char& c : name) {
        c = AsciiLower(c);
    }
    // A name with characters that Wine writes escaped is left to the parser.
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f ||
            c == '"' || c == '[' || c == ']') {
            return {};
        }
    }
    return name;
}

} // namespace

WineRegistryFile WineRegistryFile::Parse(std::string_view text) {
    WineRegistryFile file;
    try {
        Cursor c{text.data(), text.data() + text.size()};
        c.Consume("\xEF\xBB\xBF");
        // The section the lines belong to; none after a header that could not
        // be read, so that its values are not taken for the previous key's.
        std::map<std::string, Value>* section = nullptr;
        std::string key;
        while (c.p != c.end) {
            c.SkipBlanks();
            if (c.p == c.end) {
                break;
            }
            if (*c.p == '[') {
                ++c.p;
                section = nullptr;
                if (ParseKeyPath(c, key)) {
                    auto found = file.keys_.find(key);
                    section = found != file.keys_.end() ? &found->second : &file.keys_[key];
                }
            } else if (*c.p == '@' || *c.p == '"') {
                // A value is read even without a section, so that its
                // continuation lines are not taken for lines of their own.
                std::string name;
                Value value;
                if (ParseValue(c, name, value) && section) {
                    (*section)[FoldCase(name)] = std::move(value);
                }
            }
            // Anything else is a comment, an option (#time=, #class=, #link,
            // #arch=) or the version line, none of which matter here.
            c.SkipLine();
        }
    } catch (const std::bad_alloc&) {
        return {};
    }
    return file;
}

WineRegistryFile WineRegistryFile::ParseForKey(std::string_view text, std::string_view keyPath) {
    const std::string name = LastKeyName(keyPath);
    return name.empty() ? Parse(text) : Parse(SectionsNaming(text, name));
}

WineRegistryFile WineRegistryFile::Load(const std::string& path) {
    // Opened as any file the program reads: without waiting, and only when it
    // is a plain file. A pipe, a device or a folder reads as no registry.
    HostFileService files;
    auto stream = files.OpenTextFile(path, OpenMode::Reading);
    if (!stream) {
        return {};
    }
    try {
        // Reading stops at the service's limit, whatever the file's size
        // claims; a file that goes on past it is no registry.
        Result<std::string> text = (*stream)->ReadAll();
        if (!text || text->size() > kMaxFileSize) {
            return {};
        }
        return Parse(*text);
    } catch (const std::exception&) {
        return {};
    }
}

bool WineRegistryFile::HasKey(std::string_view keyPath) const {
    const std::string key = KeyOf(keyPath);
    if (key.empty() || keys_.find(key) != keys_.end()) {
        return true;
    }
    // A key without a section of its own exists when one below it has one.
    const std::string below = key + '\\';
    const auto next = keys_.lower_bound(below);
    return next != keys_.end() && next->first.compare(0, below.size(), below) == 0;
}

const WineRegistryFile::Value* WineRegistryFile::Find(std::string_view keyPath,
                                                      std::string_view valueName) const {
    const auto key = keys_.find(KeyOf(keyPath));
    if (key == keys_.end()) {
        return nullptr;
    }
    const auto value = key->second.find(FoldCase(valueName));
    return value == key->second.end() ? nullptr : &value->second;
}

std::int32_t WineRegistryStore::OpenKey(RegistryRoot root, const std::string& subKey,
                                        std::uint32_t /*options*/, std::uint32_t /*access*/,
                                        Handle& key) {
    if (root != RegistryRoot::CurrentUser) {
        return reg::kInvalidHandle;
    }
    if (!file_.HasKey(subKey)) {
        return reg::kFileNotFound;
    }
    while (next_ == 0 || open_.count(next_) != 0) {
        ++next_;
    }
    open_.emplace(next_, KeyOf(subKey));
    key = next_++;
    return reg::kSuccess;
}

std::int32_t WineRegistryStore::QueryValue(Handle key, const std::string& valueName,
                                           std::uint32_t* type, unsigned char* data,
                                           std::uint32_t* size) {
    const auto open = key == 0 ? open_.end() : open_.find(key);
    if (open == open_.end()) {
        return reg::kInvalidHandle;
    }
    if (data && !size) {
        return kInvalidParameter;
    }
    const WineRegistryFile::Value* value = file_.Find(open->second, valueName);
    if (!value) {
        return reg::kFileNotFound;
    }
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (type) {
        *type = value->type;
    }
    if (data && *size < needed) {
        *size = needed;
        return reg::kMoreData;
    }
    if (data && needed > 0) {
        std::memcpy(data, value->data.data(), needed);
    }
    if (size) {
        *size = needed;
    }
    return reg::kSuccess;
}

std::int32_t WineRegistryStore::CloseKey(Handle key) {
    return key != 0 && open_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle;
}

} // namespace quorvel
