// QuorvallisExamplePlugin: copies a text to the clipboard.
//
// Put the built QuorvallisExamplePlugin.dll into the "Plugins" folder beside
// Quorvallis.exe and restart the launcher. The script-step editor then offers
// the action "Copy to clipboard"; a script with that step and the shortcut
// "clip", run by typing
//     clip hello
// leaves "hello" on the clipboard, ready to paste anywhere. A quoted
// argument keeps its quotes: clip "some text" copies the quotes too.
//
// Copy this file as the start of your own plugin. The launcher needs only
// the four functions below, exported under exactly these names (the .def file
// keeps the compiler from decorating them) with the __stdcall convention.

#include <windows.h>

#include <cwchar>
#include <cstring>

namespace {

// Texts for the launcher. Keep them well below 1200 characters.
const wchar_t kActionName[] = L"Copy to clipboard";
const wchar_t kActionDescription[] = L"Copies its one argument to the clipboard as text.";

// Copies text into a buffer of `capacity` characters, always terminated.
void CopyText(const wchar_t* text, wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return;
    std::size_t length = std::wcslen(text);
    if (length > static_cast<std::size_t>(capacity - 1))
        length = capacity - 1;
    std::wmemcpy(buffer, text, length);
    buffer[length] = L'\0';
}

// The clipboard may be held by another program for a moment; try a few times.
bool OpenClipboardPatiently()
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

bool PutTextOnClipboard(const wchar_t* text)
{
    // The clipboard takes ownership of a movable global memory block.
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, text, bytes);
    GlobalUnlock(memory);

    if (!OpenClipboardPatiently()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory); // still ours when the clipboard refused it
    return placed;
}

} // namespace

extern "C" {

// Called once when the launcher starts: the name users pick in the step
// editor and that a step stores. Names are compared with case.
void __stdcall GetActionName(wchar_t* buffer, int capacity)
{
    CopyText(kActionName, buffer, capacity);
}

// Called once when the launcher starts, right after GetActionName.
void __stdcall GetActionDescription(wchar_t* buffer, int capacity)
{
    CopyText(kActionDescription, buffer, capacity);
}

// Called once when the launcher starts: how many of the typed arguments the
// action takes. The launcher hands over exactly this many, from the front of
// what is left of the typed line; a line with fewer fails before the plugin
// is even loaded.
int __stdcall GetNumArguments()
{
    return 1;
}

// Called on the worker thread of the typed line each time a step runs the
// action. `arguments` holds `count` strings; they and the array belong to
// the launcher and are gone once this returns. The library itself is
// unloaded after every call, so keep nothing in global variables between
// calls. Return nonzero for success; zero stops the script.
int __stdcall PerformAction(int count, wchar_t** arguments)
{
    if (count < 1 || !arguments || !arguments[0])
        return FALSE;
    return PutTextOnClipboard(arguments[0]) ? TRUE : FALSE;
}

} // extern "C"
