#include "platform/win32/Win32FolderListing.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

bool Win32FolderListing::List(const std::wstring& folder, std::vector<Entry>& entries)
{
    entries.clear();
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return false;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A junction may lead back up the tree.
        if (isFolder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            continue;
        Entry entry;
        entry.name = name;
        entry.isFolder = isFolder;
        entry.writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.get(), &data));
    return true;
}
