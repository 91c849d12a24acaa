// Loads the hook library in a process of its own and calls its hook procedure
// once, as the system would in another application:
//   QvHookPeer.exe VK FLAGS   -> exit code 1 when the key was swallowed, 0 when it passed
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    HMODULE library = LoadLibraryW(L"QuorvallisHOOK.dll");
    if (!library)
        return 3;
    using HookProc = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);
    auto proc = reinterpret_cast<HookProc>(reinterpret_cast<void*>(GetProcAddress(library, "KeyboardProc")));
    if (!proc)
        return 4;
    const LRESULT result = proc(0, wcstoul(argv[1], nullptr, 0), static_cast<LPARAM>(wcstoul(argv[2], nullptr, 0)));
    FreeLibrary(library);
    return result == 1 ? 1 : 0;
}
