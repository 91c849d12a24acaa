#include "store/FileReplacement.h"

#include "platform/IFileStore.h"

#include <ctime>
#include <cwchar>

namespace {

std::wstring TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    wchar_t text[32] = {};
    std::wcsftime(text, sizeof(text) / sizeof(text[0]), L"%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

namespace FileReplacement {

bool Replace(const std::wstring& path, const std::string& bytes, IFileStore& files, std::wstring* error, Backup backup)
{
    const auto fail = [&](const std::wstring& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    const std::wstring temporary = path + L".tmp";
    if (!files.WriteDurably(temporary, bytes)) {
        const std::wstring why = files.LastError();
        files.Remove(temporary);
        return fail(L"the new file could not be written: " + why);
    }
    // The backup is a copy, so that the file itself is never missing. A
    // failed copy does not stop the save: the user's changes come first.
    if (backup == Backup::Keep && files.Exists(path))
        files.CopyOver(path, path + L".bak");
    if (!files.ReplaceWith(temporary, path)) {
        const std::wstring why = files.LastError();
        files.Remove(temporary);
        return fail(L"the file could not be replaced: " + why);
    }
    return true;
}

std::wstring KeepAside(const std::wstring& path, IFileStore& files)
{
    const std::wstring base = path + L".damaged-" + TimeStamp();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::wstring aside = attempt == 1 ? base : base + L"-" + std::to_wstring(attempt);
        if (files.Exists(aside))
            continue;
        if (files.MoveAside(path, aside))
            return aside;
    }
    return {};
}

} // namespace FileReplacement
