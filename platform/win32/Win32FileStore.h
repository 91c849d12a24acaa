#pragma once

#include "platform/IFileStore.h"

// Files by wide path through the Win32 API: no ANSI code page on the way.
class Win32FileStore : public IFileStore {
public:
    ReadResult ReadAll(const std::wstring& path, std::string& bytes) override;
    bool WriteDurably(const std::wstring& path, const std::string& bytes) override;
    bool CopyOver(const std::wstring& from, const std::wstring& to) override;
    bool ReplaceWith(const std::wstring& from, const std::wstring& to) override;
    bool MoveAside(const std::wstring& from, const std::wstring& to) override;
    bool Remove(const std::wstring& path) override;
    bool Exists(const std::wstring& path) override;
    std::wstring LastError() const override { return lastError_; }

private:
    bool Failed(const wchar_t* what);

    std::wstring lastError_;
};
