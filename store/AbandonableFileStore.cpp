#include "store/AbandonableFileStore.h"

namespace {

const wchar_t* const kAbandoned = L"the saves were given up at exit";

} // namespace

bool AbandonableFileStore::Abandon()
{
    abandoned_ = true;
    // A replacement that took the lock before this saw no abandon; one that
    // takes it after refuses.
    if (!replacing_.try_lock())
        return false;
    replacing_.unlock();
    return true;
}

IFileStore::ReadResult AbandonableFileStore::ReadAll(const std::wstring& path, std::string& bytes)
{
    return abandoned_ ? ReadResult::Failed : files_->ReadAll(path, bytes);
}

bool AbandonableFileStore::WriteDurably(const std::wstring& path, const std::string& bytes)
{
    return !abandoned_ && files_->WriteDurably(path, bytes);
}

bool AbandonableFileStore::CopyOver(const std::wstring& from, const std::wstring& to)
{
    return !abandoned_ && files_->CopyOver(from, to);
}

bool AbandonableFileStore::ReplaceWith(const std::wstring& from, const std::wstring& to)
{
    const std::lock_guard<std::mutex> lock(replacing_);
    return !abandoned_ && files_->ReplaceWith(from, to);
}

bool AbandonableFileStore::MoveAside(const std::wstring& from, const std::wstring& to)
{
    return !abandoned_ && files_->MoveAside(from, to);
}

bool AbandonableFileStore::Remove(const std::wstring& path)
{
    return !abandoned_ && files_->Remove(path);
}

std::wstring AbandonableFileStore::LastError() const
{
    return abandoned_ ? kAbandoned : files_->LastError();
}
