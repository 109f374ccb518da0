#include "tests/support/hooked_file_service.h"

namespace quorvel::test {
namespace {

class HookedStream : public TextStream {
public:
    HookedStream(HookedFileService& service, std::unique_ptr<TextStream> inner)
        : service_(service), inner_(std::move(inner)) {}

    Result<std::string> ReadAll() override {
        return service_.Then("read", [&] { return inner_->ReadAll(); });
    }
    FileStatus Close() override {
        return service_.Then("close", [&] { return inner_->Close(); });
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
        return service_.Then("write new " + path_, [&] { return inner_->Write(text); });
    }
    FileStatus Finish() override {
        return service_.Then("flush new " + path_, [&] { return inner_->Finish(); });
    }
    FileStatus PutInPlace() override {
        return service_.Then("rename " + path_, [&] { return inner_->PutInPlace(); });
    }
    FileStatus FlushFolder() override {
        return service_.Then("flush folder of " + path_, [&] { return inner_->FlushFolder(); });
    }
    FileStatus Discard() override {
        return service_.Then("remove new " + path_, [&] { return inner_->Discard(); });
    }

private:
    HookedFileService& service_;
    std::unique_ptr<Replacement> inner_;
    std::string path_;
};

// A held folder whose every operation is counted and hooked.
class HookedFolder : public HookedOperations<HeldFolder> {
public:
    HookedFolder(HookedFileService& hooks, std::unique_ptr<HeldFolder> inner, std::string path)
        : HookedOperations(hooks, *inner), held_(std::move(inner)), path_(std::move(path)) {}

    FileIdentity Identity() const override { return held_->Identity(); }
    Result<std::unique_ptr<FolderLock>> Lock() override {
        return hooks_.Then("lock " + path_, [&] { return held_->Lock(); });
    }

private:
    std::unique_ptr<HeldFolder> held_;
    std::string path_;
};

} // namespace

template <typename Base>
Result<std::unique_ptr<TextStream>> HookedOperations<Base>::OpenTextFile(const std::string& path,
                                                                         OpenMode mode) {
    hooks_.Before("open " + path);
    auto stream = inner_.OpenTextFile(path, mode);
    if (!stream) {
        return stream;
    }
    return std::make_unique<HookedStream>(hooks_, std::move(*stream));
}

template <typename Base> EntryInfo HookedOperations<Base>::Inspect(const std::string& path) {
    return hooks_.Then("inspect " + path, [&] { return inner_.Inspect(path); });
}

template <typename Base> FileStatus HookedOperations<Base>::CheckWritable(const std::string& path) {
    return hooks_.Then("check-write " + path, [&] { return inner_.CheckWritable(path); });
}

template <typename Base>
Result<std::optional<FileIdentity>> HookedOperations<Base>::Identify(const std::string& path) {
    return hooks_.Then("identify " + path, [&] { return inner_.Identify(path); });
}

template <typename Base>
Result<std::unique_ptr<Replacement>> HookedOperations<Base>::Replace(const std::string& path,
                                                                     const std::string& like) {
    hooks_.Before("create new " + path);
    auto replacement = inner_.Replace(path, like);
    if (!replacement) {
        return replacement;
    }
    return std::make_unique<HookedReplacement>(hooks_, std::move(*replacement), path);
}

template <typename Base>
FileStatus HookedOperations<Base>::RestoreLeftover(const std::string& path) {
    return hooks_.Then("restore " + path, [&] { return inner_.RestoreLeftover(path); });
}

template class HookedOperations<FileService>;
template class HookedOperations<HeldFolder>;

Result<std::unique_ptr<HeldFolder>> HookedFileService::OpenFolder(const std::string& path) {
    Before("open folder " + path);
    auto folder = service_.OpenFolder(path);
    if (!folder) {
        return folder;
    }
    return std::make_unique<HookedFolder>(*this, std::move(*folder), path);
}

} // namespace quorvel::test
