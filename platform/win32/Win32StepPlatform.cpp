#include "platform/win32/Win32StepPlatform.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

bool Win32StepPlatform::OpenWithShell(const std::wstring& target)
{
    // Values up to 32 are the shell's error codes.
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32StepPlatform::StartProcess(const std::wstring& commandLine)
{
    // CreateProcessW may write into the command line, so it gets a copy.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // Nobody waits for the program.
    UniqueKernelHandle(process.hProcess).reset();
    UniqueKernelHandle(process.hThread).reset();
    return true;
}

void Win32StepPlatform::Pause(int milliseconds)
{
    if (milliseconds > 0)
        Sleep(static_cast<DWORD>(milliseconds));
}
