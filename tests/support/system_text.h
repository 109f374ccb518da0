#pragma once

// The system's own words for the file failures that the tests bring about,
// worded as the host file service reports them: strerror's text on POSIX
// systems, the system message without its closing full stop on Windows.

#include <string>

namespace quorvel::test {

// A file that is not there, in a folder that is.
std::string NoSuchFileText();
// A path that goes through a folder that is not there.
std::string NoSuchFolderText();
// A path that goes through a file as if it were a folder.
std::string NotAFolderText();
// A folder where a file was expected.
std::string IsAFolderText();

} // namespace quorvel::test
