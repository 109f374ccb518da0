#pragma once

// A file service that hands every operation to another one, and first calls
// a hook with the operation's number (1 for the first) and name: for tests
// that stop a real process, or hold it still, at a chosen file operation.

#include "platform/file_service.h"

#include <cstddef>
#include <functional>
#include <string>

namespace quorvel::test {

class HookedFileService;

// The file operations of `inner`, each counted and hooked by `hooks` first:
// those of the service, and those of a folder it holds.
template <typename Base> class HookedOperations : public Base {
public:
    HookedOperations(HookedFileService& hooks, FileOperations& inner)
        : hooks_(hooks), inner_(inner) {}

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override;
    EntryInfo Inspect(const std::string& path) override;
    FileStatus CheckWritable(const std::string& path) override;
    Result<std::optional<FileIdentity>> Identify(const std::string& path) override;
    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override;
    FileStatus RestoreLeftover(const std::string& path) override;
    std::string HostPathForMessages(const std::string& path) const override {
        return inner_.HostPathForMessages(path);
    }

protected:
    HookedFileService& hooks_;
    FileOperations& inner_;
};

class HookedFileService : public HookedOperations<FileService> {
public:
    using Hook = std::function<void(std::size_t operation, const std::string& what)>;

    HookedFileService(FileService& inner, Hook hook)
        : HookedOperations(*this, inner), service_(inner), hook_(std::move(hook)) {}

    // The folder's operations are hooked too; opening and locking it count.
    Result<std::unique_ptr<HeldFolder>> OpenFolder(const std::string& path) override;

    // Counts an operation and calls the hook.
    void Before(const std::string& what) { hook_(++operations_, what); }
    // Counts an operation, calls the hook, then does the operation.
    template <typename Operation> auto Then(const std::string& what, Operation operation) {
        Before(what);
        return operation();
    }

private:
    FileService& service_;
    Hook hook_;
    std::size_t operations_ = 0;
};

} // namespace quorvel::test
