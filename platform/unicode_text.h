#pragma once

// UTF-8 and letter case, as the Wine prefix's names need them: key and value
// names in user.reg, and the folder and file names below the prefix's drives.

#include <string>
#include <string_view>

namespace quorvel {

void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes the well-formed UTF-8 sequence of two to four bytes at p and steps
// over it. Anything else (ASCII, a stray continuation byte, an overlong form,
// a surrogate, a cut-off sequence) is refused and p stays where it was.
bool DecodeUtf8(const char*& p, const char* end, char32_t& codePoint);

// Whether `text` is well-formed UTF-8 throughout (ASCII is).
bool IsUtf8(std::string_view text);

// The character `byte` stands for in Windows-1252, the code page of a
// Western Windows and of Wine's usual set-up, in which the game writes its
// files. The five bytes that code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for the C1 controls of the same number, as Windows maps
// them; so every byte stands for one character.
char16_t Windows1252(unsigned char byte);

// Lower case for the letters of the European alphabets names are written
// in: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic. Wine folds all of
// Unicode; the game's folders and settings need no more than this.
char32_t FoldCase(char32_t c);

// Lower-cases UTF-8 text; bytes that are not UTF-8 are kept as they are, so
// that they only ever equal themselves.
std::string FoldCase(std::string_view text);

// The text with every control character written as \xHH: C0 controls, DEL,
// and the C1 controls U+0080 to U+009F (as UTF-8), so that a name with
// escape codes in it cannot steer the terminal it is printed on. Everything
// else, other UTF-8 included, stays as it is.
std::string EscapeControls(std::string_view text);

} // namespace quorvel
