#include "tests/support/hooked_file_service.h"

namespace quorvel::test {
namespace {

class HookedStream : public TextStream {
public:
    HookedStream(HookedFileService& service, std::unique_ptr<TextStream> inner)
        : service_(service), inner_(std::move(inner)) {}

    Result<std::string> ReadAll() override {
        service_.Before("read");
        return inner_->ReadAll();
    }
    FileStatus Close() override {
        service_.Before("close");
        return inner_->Close();
    }

private:
    HookedFileService& service_;
    std::unique_ptr<TextStream> inner_;
};

class HookedReplacement : public Replacement {
public:
    HookedReplacement(HookedFileService& service, std::unique_ptr<Replacement> inner,
                      std::string path)
        : service_(service), inner_(std::move(inner)), path_(std::move(path)) {}

    FileStatus Write(std::string_view text) override {
        service_.Before("write new " + path_);
        return inner_->Write(text);
    }
    FileStatus Finish() override {
        service_.Before("flush new " + path_);
        return inner_->Finish();
    }
    FileStatus PutInPlace() override {
        service_.Before("rename " + path_);
        return inner_->PutInPlace();
    }
    FileStatus FlushFolder() override {
        service_.Before("flush folder of " + path_);
        return inner_->FlushFolder();
    }
    FileStatus Discard() override {
        service_.Before("remove new " + path_);
        return inner_->Discard();
    }

private:
    HookedFileService& service_;
    std::unique_ptr<Replacement> inner_;
    std::string path_;
};

// A held folder whose every operation is counted and hooked by `service`.
class HookedFolder : public HeldFolder {
public:
    HookedFolder(HookedFileService& service, std::unique_ptr<HeldFolder> inner, std::string path)
        : service_(service), inner_(std::move(inner)), path_(std::move(path)) {}

    Result<std::unique_ptr<TextStream>> OpenTextFile(const std::string& path,
                                                     OpenMode mode) override {
        return service_.OpenTextFile(*inner_, path, mode);
    }
    EntryInfo Inspect(const std::string& path) override {
        service_.Before("inspect " + path);
        return inner_->Inspect(path);
    }
    FileStatus CheckWritable(const std::string& path) override {
        service_.Before("check-write " + path);
        return inner_->CheckWritable(path);
    }
    Result<std::optional<FileIdentity>> Identify(const std::string& path) override {
        service_.Before("identify " + path);
        return inner_->Identify(path);
    }
    Result<std::unique_ptr<Replacement>> Replace(const std::string& path,
                                                 const std::string& like) override {
        return service_.Replace(*inner_, path, like);
    }
    FileStatus RestoreLeftover(const std::string& path) override {
        service_.Before("restore " + path);
        return inner_->RestoreLeftover(path);
    }
    std::string HostPathForMessages(const std::string& path) const override {
        return inner_->HostPathForMessages(path);
    }
    FileIdentity Identity() const override { return inner_->Identity(); }
    Result<std::unique_ptr<FolderLock>> Lock() override {
        service_.Before("lock " + path_);
        return inner_->Lock();
    }

private:
    HookedFileService& service_;
    std::unique_ptr<HeldFolder> inner_;
    std::string path_;
};

} // namespace

Result<std::unique_ptr<TextStream>>
HookedFileService::OpenTextFile(FileOperations& files, const std::string& path, OpenMode mode) {
    Before("open " + path);
    auto stream = files.OpenTextFile(path, mode);
    if (!stream) {
        return stream;
    }
    return std::make_unique<HookedStream>(*this, std::move(*stream));
}

Result<std::unique_ptr<Replacement>> HookedFileService::Replace(FileOperations& files,
                                                                const std::string& path,
                                                                const std::string& like) {
    Before("create new " + path);
    auto replacement = files.Replace(path, like);
    if (!replacement) {
        return replacement;
    }
    return std::make_unique<HookedReplacement>(*this, std::move(*replacement), path);
}

Result<std::unique_ptr<HeldFolder>> HookedFileService::OpenFolder(const std::string& path) {
    Before("open folder " + path);
    auto folder = inner_.OpenFolder(path);
    if (!folder) {
        return folder;
    }
    return std::make_unique<HookedFolder>(*this, std::move(*folder), path);
}

Result<std::unique_ptr<TextStream>> HookedFileService::OpenTextFile(const std::string& path,
                                                                    OpenMode mode) {
    return OpenTextFile(inner_, path, mode);
}

EntryInfo HookedFileService::Inspect(const std::string& path) {
    Before("inspect " + path);
    return inner_.Inspect(path);
}

FileStatus HookedFileService::CheckWritable(const std::string& path) {
    Before("check-write " + path);
    return inner_.CheckWritable(path);
}

Result<std::optional<FileIdentity>> HookedFileService::Identify(const std::string& path) {
    Before("identify " + path);
    return inner_.Identify(path);
}

FileStatus HookedFileService::RestoreLeftover(const std::string& path) {
    Before("restore " + path);
    return inner_.RestoreLeftover(path);
}

Result<std::unique_ptr<Replacement>> HookedFileService::Replace(const std::string& path,
                                                                const std::string& like) {
    return Replace(inner_, path, like);
}

} // namespace quorvel::test
