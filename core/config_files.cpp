#include "core/config_files.h"

#include <vector>

namespace quorvel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Lines are gathered into blocks of about this size before they are written.
constexpr std::size_t kBlockSize = 64 * 1024;

// Removes the new file of a replacement that failed; `failure` says why, and
// also when the new file stays behind (the next replacement of the same file
// removes it then).
FileStatus Abandon(Replacement& file, FileStatus failure) {
    if (const FileStatus removed = file.Discard(); !removed) {
        failure.reason += " (the unfinished new file could not be removed: " + removed.reason + ")";
    }
    return failure;
}

} // namespace

FileStatus ReadConfigText(FileOperations& files, LineBuffer& buffer, const std::string& path) {
    Result<std::string> text = ReadWholeFile(files, path);
    if (text) {
        buffer.AssignText(std::move(*text));
    }
    // A failed read keeps what the buffer held; before any read that is the
    // empty buffer, which becomes a list with no lines.
    buffer.EnsureLines();
    return text.Status();
}

FileStatus ReadConfigLines(FileOperations& files, LineBuffer& buffer, const std::string& path,
                           LineList& list) {
    const FileStatus status = ReadConfigText(files, buffer, path);
    // The list shares the buffer's text and line starts: nothing is copied
    // per line, and each line is trimmed when it is read.
    list.AppendSource(buffer.TrimmedLines());
    return status;
}

Result<std::string> ReadWholeFile(FileOperations& files, const std::string& path) {
    auto stream = files.OpenTextFile(path, OpenMode::Reading);
    if (!stream) {
        return stream.Status();
    }
    Result<std::string> bytes = (*stream)->ReadAll();
    // The text is complete once read; closing a stream that only read
    // cannot lose any of it.
    (void)(*stream)->Close();
    return bytes;
}

Result<std::unique_ptr<Replacement>>
WriteReplacement(FileOperations& files, const std::string& path, const std::string& like,
                 std::string_view firstLine, std::span<const std::string_view> lines) {
    auto replacement = files.Replace(path, like);
    if (!replacement) {
        return replacement;
    }
    Replacement& file = **replacement;
    std::string block;
    block.reserve(kBlockSize + 256);
    block.append(firstLine).append(kLineEnd);
    FileStatus status;
    for (auto line = lines.begin(); status && line != lines.end(); ++line) {
        block.append(*line).append(kLineEnd);
        if (block.size() >= kBlockSize) {
            status = file.Write(block);
            block.clear();
        }
    }
    if (status && !block.empty()) {
        status = file.Write(block);
    }
    if (status) {
        status = file.Finish();
    }
    if (!status) {
        return Abandon(file, std::move(status));
    }
    return replacement;
}

FileStatus ReplaceWholeFile(FileOperations& files, const std::string& path, const std::string& like,
                            std::string_view bytes) {
    auto replacement = files.Replace(path, like);
    if (!replacement) {
        return replacement.Status();
    }
    Replacement& file = **replacement;
    FileStatus status = bytes.empty() ? FileStatus::Success() : file.Write(bytes);
    if (status) {
        status = file.Finish();
    }
    if (status) {
        status = file.PutInPlace();
    }
    if (!status) {
        return Abandon(file, std::move(status));
    }
    return file.FlushFolder();
}

} // namespace quorvel
