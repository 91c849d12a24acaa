#include "platform/win32/Win32PluginLibraries.h"

#include "platform/win32/UniqueHandle.h"

#include <shlwapi.h>
#include <windows.h>

#include <cstring>

namespace {

using GetTextProc = void(__stdcall*)(wchar_t* buffer, int capacity);
using GetNumArgumentsProc = int(__stdcall*)();
using PerformActionProc = int(__stdcall*)(int count, wchar_t** arguments);

// GetProcAddress hands back one generic type; going through void(*)() keeps
// the compiler from warning about the cast to the real signature.
template <typename Proc>
Proc ProcAs(FARPROC proc)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(proc));
}

class Win32PluginLibrary : public IPluginLibrary {
public:
    explicit Win32PluginLibrary(UniqueModule module) : module_(std::move(module)) {}

    bool LookUp(const char* exportName) override
    {
        const FARPROC proc = GetProcAddress(module_.get(), exportName);
        if (!proc)
            return false;
        if (std::strcmp(exportName, "GetActionName") == 0)
            getActionName_ = ProcAs<GetTextProc>(proc);
        else if (std::strcmp(exportName, "GetActionDescription") == 0)
            getActionDescription_ = ProcAs<GetTextProc>(proc);
        else if (std::strcmp(exportName, "GetNumArguments") == 0)
            getNumArguments_ = ProcAs<GetNumArgumentsProc>(proc);
        else if (std::strcmp(exportName, "PerformAction") == 0)
            performAction_ = ProcAs<PerformActionProc>(proc);
        return true;
    }

    void GetActionName(wchar_t* buffer, int capacity) override
    {
        if (getActionName_)
            getActionName_(buffer, capacity);
    }

    void GetActionDescription(wchar_t* buffer, int capacity) override
    {
        if (getActionDescription_)
            getActionDescription_(buffer, capacity);
    }

    int GetNumArguments() override { return getNumArguments_ ? getNumArguments_() : 0; }

    int PerformAction(int count, wchar_t** arguments) override
    {
        return performAction_ ? performAction_(count, arguments) : 0;
    }

private:
    UniqueModule module_;
    GetTextProc getActionName_ = nullptr;
    GetTextProc getActionDescription_ = nullptr;
    GetNumArgumentsProc getNumArguments_ = nullptr;
    PerformActionProc performAction_ = nullptr;
};

} // namespace

bool Win32PluginLibraries::FolderExists(const std::wstring& path)
{
    return PathFileExistsW(path.c_str()) != FALSE;
}

bool Win32PluginLibraries::ListFolder(const std::wstring& folder, std::vector<PluginFolderEntry>& entries)
{
    std::wstring pattern = folder;
    if (pattern.empty() || pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';

    WIN32_FIND_DATAW data{};
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &data));
    if (!search)
        return false;
    entries.clear();
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search.get(), &data));
    return true;
}

std::unique_ptr<IPluginLibrary> Win32PluginLibraries::Load(const std::wstring& fullPath)
{
    // A file that is no library, or one missing a dependency, must fail
    // quietly: running a command never shows a message.
    DWORD oldMode = 0;
    const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    UniqueModule module(LoadLibraryW(fullPath.c_str()));
    if (modeSet)
        SetThreadErrorMode(oldMode, nullptr);
    if (!module)
        return nullptr;
    return std::make_unique<Win32PluginLibrary>(std::move(module));
}
