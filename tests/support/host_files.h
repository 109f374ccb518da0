#pragma once

// What the tests of the host file services bring about differently on each
// system.

#include <string>

namespace quorvel::test {

// Whether this process holds the file at `path` open.
bool HeldOpen(const std::string& path);

// The folder at `path` spelt another way that the system takes for it.
std::string OtherSpelling(const std::string& folder);

// Gives the file `existing` the second name `name`: a link on POSIX
// systems, a hard link on Windows.
void MakeSecondName(const std::string& name, const std::string& existing);

} // namespace quorvel::test
