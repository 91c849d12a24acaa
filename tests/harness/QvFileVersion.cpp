// Reads a file's version resource as Windows shows it in the file's
// properties, for the package test.
//
//   QvFileVersion.exe FILE
//
// Prints UTF-8 lines "name=value": fixed (the file version numbers), product
// (the product version numbers), type (app, dll or other), then the strings
// FileDescription, FileVersion, ProductName, ProductVersion and
// OriginalFilename of the resource's first language. Exit code 0 when the
// file has a version resource, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintLine(const std::wstring& name, const std::wstring& value)
{
    const std::wstring line = name + L"=" + value;
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
}

std::wstring Numbers(DWORD high, DWORD low)
{
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." + std::to_wstring(HIWORD(low)) +
           L"." + std::to_wstring(LOWORD(low));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: QvFileVersion.exe FILE\n", stderr);
        return 2;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    std::vector<BYTE> data(size);
    if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, data.data())) {
        std::puts("no version resource");
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof(*fixed)) {
        std::puts("no fixed version information");
        return 1;
    }
    PrintLine(L"fixed", Numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
    PrintLine(L"product", Numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    PrintLine(L"type", fixed->dwFileType == VFT_APP ? L"app" : fixed->dwFileType == VFT_DLL ? L"dll" : L"other");

    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(*translation)) {
        std::puts("no translation");
        return 1;
    }
    for (const wchar_t* name :
         {L"FileDescription", L"FileVersion", L"ProductName", L"ProductVersion", L"OriginalFilename"}) {
        wchar_t path[80];
        swprintf(path, 80, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
        wchar_t* value = nullptr;
        if (VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length) && value)
            PrintLine(name, value);
    }
    return 0;
}
