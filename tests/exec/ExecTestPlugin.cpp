// A plugin for the executor's tests: action "ExecAppend" takes a file path
// and a text, appends the text and a line feed to the file (UTF-16), and
// fails when the text is "fail".
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

void Write(wchar_t* buffer, int capacity, const wchar_t* text)
{
    if (buffer && capacity > 0) {
        std::wcsncpy(buffer, text, static_cast<size_t>(capacity - 1));
        buffer[capacity - 1] = L'\0';
    }
}

} // namespace

extern "C" {

__declspec(dllexport) void __stdcall GetActionName(wchar_t* buffer, int capacity)
{
    Write(buffer, capacity, L"ExecAppend");
}

__declspec(dllexport) void __stdcall GetActionDescription(wchar_t* buffer, int capacity)
{
    Write(buffer, capacity, L"Appends a line to a file");
}

__declspec(dllexport) int __stdcall GetNumArguments()
{
    return 2;
}

__declspec(dllexport) int __stdcall PerformAction(int count, wchar_t** arguments)
{
    if (count != 2 || !arguments || !arguments[0] || !arguments[1])
        return 0;
    if (std::wcscmp(arguments[1], L"fail") == 0)
        return 0;
    FILE* file = _wfopen(arguments[0], L"ab");
    if (!file)
        return 0;
    std::fwrite(arguments[1], sizeof(wchar_t), std::wcslen(arguments[1]), file);
    std::fwrite(L"\n", sizeof(wchar_t), 1, file);
    std::fclose(file);
    return 1;
}
}
