#include "core/config_files.h"

#include <cstring>
#include <vector>

namespace quorvel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A service that gives no stream must say why; this is the reason when not.
FileStatus OpenFailure(const FileStatus& status) {
    return status.ok ? FileStatus::Failure("the file could not be opened") : status;
}

// Opens `path` in `mode`, writes `line` and the line end, and closes it. A
// stream that was opened is closed also when the write fails; the first
// failure is the one reported.
FileStatus WriteLine(FileService& files, const std::string& path, OpenMode mode,
                     std::string_view line) {
    FileStatus status;
    auto stream = files.OpenTextFile(path, mode, status);
    if (!stream) {
        return OpenFailure(status);
    }
    // The line and its end go out in one write; most lines fit on the stack.
    char small[256];
    std::string large;
    std::string_view text;
    if (line.size() + kLineEnd.size() <= sizeof small) {
        // An empty line may have no characters to point at at all.
        if (!line.empty()) {
            std::memcpy(small, line.data(), line.size());
        }
        std::memcpy(small + line.size(), kLineEnd.data(), kLineEnd.size());
        text = std::string_view(small, line.size() + kLineEnd.size());
    } else {
        large.reserve(line.size() + kLineEnd.size());
        large.append(line).append(kLineEnd);
        text = large;
    }
    FileStatus written = stream->Write(text);
    FileStatus closed = stream->Close();
    return written ? closed : written;
}

} // namespace

FileStatus ReadConfigText(FileService& files, LineBuffer& buffer, const std::string& path) {
    FileStatus status;
    if (auto stream = files.OpenTextFile(path, OpenMode::Reading, status)) {
        std::string text;
        status = stream->ReadAll(text);
        // The text is complete once read; closing a stream that only read
        // cannot lose any of it.
        stream->Close();
        if (status) {
            buffer.AssignText(std::move(text));
        }
    } else {
        status = OpenFailure(status);
    }
    // A failed read keeps what the buffer held; before any read that is the
    // empty buffer, which becomes a list with no lines.
    buffer.EnsureLines();
    return status;
}

FileStatus ReadConfigLines(FileService& files, LineBuffer& buffer, const std::string& path,
                           LineList& list) {
    const FileStatus status = ReadConfigText(files, buffer, path);
    // The list shares the buffer's text and line starts: nothing is copied
    // per line, and each line is trimmed when it is read.
    list.AppendSource(buffer.TrimmedLines());
    return status;
}

FileStatus RewriteConfigFile(FileService& files, const std::string& path,
                             std::string_view firstLine) {
    return WriteLine(files, path, OpenMode::Writing, firstLine);
}

FileStatus AppendConfigLine(FileService& files, const std::string& path, std::string_view line) {
    return WriteLine(files, path, OpenMode::Appending, line);
}

FileStatus ReadWholeFile(FileService& files, const std::string& path, std::string& bytes) {
    FileStatus status;
    auto stream = files.OpenTextFile(path, OpenMode::Reading, status);
    if (!stream) {
        return OpenFailure(status);
    }
    status = stream->ReadAll(bytes);
    stream->Close();
    return status;
}

FileStatus WriteWholeFile(FileService& files, const std::string& path, std::string_view bytes) {
    FileStatus status;
    auto stream = files.OpenTextFile(path, OpenMode::Writing, status);
    if (!stream) {
        return OpenFailure(status);
    }
    FileStatus written = bytes.empty() ? FileStatus::Success() : stream->Write(bytes);
    FileStatus closed = stream->Close();
    return written ? closed : written;
}

} // namespace quorvel
