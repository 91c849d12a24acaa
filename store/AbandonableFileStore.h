#pragma once

#include "platform/IFileStore.h"

#include <atomic>
#include <memory>
#include <mutex>

// A file store that can be given up on: it passes every call to the store it
// shares until Abandon, and after it changes no file. A writer left running
// at exit (stuck on a slow disk) thus keeps the store alive for as long as it
// needs it, and never replaces the file once the user was told that the
// previous file was left as it was.
class AbandonableFileStore : public IFileStore {
public:
    explicit AbandonableFileStore(std::shared_ptr<IFileStore> files) : files_(std::move(files)) {}

    // From any thread. True when no file changes from now on; false when a
    // replacement was under way, which may still complete.
    bool Abandon();

    ReadResult ReadAll(const std::wstring& path, std::string& bytes) override;
    bool WriteDurably(const std::wstring& path, const std::string& bytes) override;
    bool CopyOver(const std::wstring& from, const std::wstring& to) override;
    bool ReplaceWith(const std::wstring& from, const std::wstring& to) override;
    bool MoveAside(const std::wstring& from, const std::wstring& to) override;
    bool Remove(const std::wstring& path) override;
    bool Exists(const std::wstring& path) override { return files_->Exists(path); }
    std::wstring LastError() const override;

private:
    std::shared_ptr<IFileStore> files_;
    std::atomic<bool> abandoned_{false};
    // Held through each replacement, so that Abandon sees one under way.
    std::mutex replacing_;
};
