// The keyboard hook library. Its exports arrive with the keyboard capture work.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
