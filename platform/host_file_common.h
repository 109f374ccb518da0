#pragma once

// What the file services of both systems do alike: the order a stream's and
// a replacement's calls must come in, and the folder a path lies in. Each
// system's service supplies only the calls that touch its files.

#include "platform/file_service.h"

#include <string>
#include <string_view>

namespace quorvel::host_common {

// The folder in which a file at `path` would be created, where any of
// `separators` ends a folder's name: "." for a bare name, the root for a
// file directly in it.
std::string ParentFolder(const std::string& path, std::string_view separators);

// A stream read once and closed once. A closed stream refuses both, and
// reading a file that holds nothing fails as FileStatus::Empty.
class HostStream : public TextStream {
public:
    Result<std::string> ReadAll() final;
    FileStatus Close() final;

protected:
    // The rest of the open file, empty where nothing is left.
    virtual Result<std::string> ReadRest() = 0;
    virtual FileStatus CloseOpen() = 0;

private:
    bool open_ = true;
};

// A replacement's state: written while open, put in place only once
// finished, removed unless in place. A call out of that order fails as the
// file already closed. Every system's replacement calls
// DiscardUnlessInPlace from its destructor.
class HostReplacement : public Replacement {
public:
    FileStatus Write(std::string_view text) final;
    FileStatus Finish() final;
    FileStatus PutInPlace() final;
    FileStatus Discard() final;

protected:
    void DiscardUnlessInPlace();

    virtual FileStatus WriteOpen(std::string_view text) = 0;
    // Flushes the new file to the disk and closes it.
    virtual FileStatus FlushAndClose() = 0;
    // Closes the new file, as it is, before it is removed.
    virtual void CloseUnflushed() = 0;
    virtual FileStatus MoveInPlace() = 0;
    // Removes the new file; one already gone is no failure.
    virtual FileStatus RemoveNew() = 0;

private:
    bool open_ = true;
    bool finished_ = false;
    bool inPlace_ = false;
    bool removed_ = false;
};

} // namespace quorvel::host_common
