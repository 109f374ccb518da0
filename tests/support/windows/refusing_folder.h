#pragma once

// A real folder that refuses new files with "access denied", as a folder
// below Program Files refuses a player who is not an administrator. Under
// Wine the host's own means do it, run on the Linux side: chattr +i, which
// holds for root too, else chmod a-w. Undone when the object goes.

#include <filesystem>
#include <string>

namespace quorvel::test {

class RefusingFolder {
public:
    explicit RefusingFolder(std::filesystem::path folder);
    ~RefusingFolder();
    RefusingFolder(const RefusingFolder&) = delete;
    RefusingFolder& operator=(const RefusingFolder&) = delete;

    // Empty when the folder now refuses; otherwise why it could not be made to.
    const std::string& Unavailable() const { return unavailable_; }

private:
    std::filesystem::path folder_;
    std::string unixPath_;
    std::string undo_; // the host command that undoes it
    std::string unavailable_;
};

} // namespace quorvel::test
