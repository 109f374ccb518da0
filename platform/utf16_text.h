#pragma once

// Text between UTF-16, in which Windows names files and registry values and
// its windows hold text, and the UTF-8 in which the program keeps paths.
//
// Windows takes any sequence of 16-bit units as a name, surrogates without
// their other half included. Such a unit is kept as the three bytes UTF-8
// would give it if it were a character (as WTF-8 does), so that every name
// Windows can hold comes back unchanged.

#include <functional>
#include <string>
#include <string_view>

namespace quorvel {

std::string Utf8FromUtf16(std::u16string_view text);

// Appends to `out` what a run of bytes that are not UTF-8 stands for.
using OtherBytes = std::function<void(std::string_view bytes, std::u16string& out)>;

// UTF-8 (and surrogates kept as above) in UTF-16. Each run of bytes that is
// neither goes to `other`; without one, each such byte becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text, const OtherBytes& other = {});

} // namespace quorvel
