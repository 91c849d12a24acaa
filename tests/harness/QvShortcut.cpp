// Makes or removes a shortcut in the current user's Start menu "Programs"
// folder, as an installer does:
//   QvShortcut make <name> <target> [arguments]   writes <Programs>\<name>.lnk
//   QvShortcut remove <name>
// Prints the shortcut's path; exits with 0 when it worked.
#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    const std::wstring verb = argv[1];
    PWSTR folder = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Programs, KF_FLAG_CREATE, nullptr, &folder)))
        return 3;
    const std::wstring path = std::wstring(folder) + L"\\" + argv[2] + L".lnk";
    CoTaskMemFree(folder);
    std::wprintf(L"%ls\n", path.c_str());
    if (verb == L"remove")
        return DeleteFileW(path.c_str()) ? 0 : 4;
    if (verb != L"make" || argc < 4)
        return 2;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) {
        link->SetPath(argv[3]);
        if (argc > 4)
            link->SetArguments(argv[4]);
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    }
    if (SUCCEEDED(result))
        result = file->Save(path.c_str(), TRUE);
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return SUCCEEDED(result) ? 0 : 5;
}
