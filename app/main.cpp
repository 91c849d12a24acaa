// Program entry: one copy per user, platform services, the catalogue and the
// main window, the message loop, and the shutdown in the reverse order.
#include "catalogue/QuorvallisCommands.h"
#include "plugins/QuorvallisPluginsManager.h"
#include "platform/GuardedCall.h"
#include "platform/WindowMessages.h"
#include "platform/win32/DetachedThread.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32FileStore.h"
#include "app/Win32LineWorkers.h"
#include "platform/ProgramFolder.h"
#include "platform/win32/Win32Options.h"
#include "platform/win32/Win32PluginHost.h"
#include "platform/win32/Win32PluginLibraries.h"
#include "platform/win32/Win32ProgramPath.h"
#include "ui/main/DlgPreferences.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include <boost/make_shared.hpp>

#include <memory>

namespace {

// Enough for listing the folder and talking to the helper.
constexpr unsigned kScanStackReservation = 0x10000;

// The scan runs plugin code, in the helper: never on the user interface
// thread. A scan that cannot start leaves the list empty, and no line waits
// for it.
void StartPluginScan(const boost::shared_ptr<QuorvallisPluginsManager>& plugins)
{
    if (!StartDetachedThread("the plugin scan's thread", kScanStackReservation,
                             [plugins] { plugins->ScanPluginsFolder(); }))
        plugins->ExpectScan(0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // A second copy finds the section already there and leaves without a word.
    UniqueKernelHandle instanceMarker(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 2048, L"QUORVALLIS_MUTEX"));
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    // What a window procedure or a thread caught goes where a debugger (or
    // Wine's debug channel) shows it.
    SetEscapeReportSink([](const char* line) { OutputDebugStringA(line); });

    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    const bool gdiplusStarted = Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) == Gdiplus::Ok;

    const std::wstring programPath = Win32ProgramPath();
    // Plugin code runs in the helper beside the program, started at the
    // first call; a call that does not return within the limit is ended.
    const unsigned pluginLimitMs = 1000u * Win32Options().Number(L"PluginTimeoutSeconds", 60);
    auto pluginHost =
        boost::make_shared<Win32PluginHost>(FolderOfProgram(programPath) + L"QuorvallisPluginHost.exe", pluginLimitMs);
    auto plugins =
        boost::make_shared<QuorvallisPluginsManager>(boost::make_shared<Win32PluginLibraries>(), pluginHost,
                                                     QuorvallisPluginsManager::PluginsFolderFor(programPath));
    // The scan starts once the program has first waited for input; a line
    // typed before it ends waits for it.
    plugins->ExpectScan(pluginLimitMs);
    auto catalogue = boost::make_shared<QuorvallisCommands>(plugins);

    // Shared with the save queue's writer, which may outlive this function.
    auto files = std::make_shared<Win32FileStore>();
    Win32LineWorkers workers(catalogue);
    auto window = std::make_unique<DlgPreferences>(catalogue, workers, files, programPath);

    if (window->CreateModeless(nullptr)) {
        const HWND mainWindow = window->hwnd();
        plugins->brokenPlugins().SetOnNew([mainWindow] { PostMessageW(mainWindow, WM_PLUGINBROKE, 0, 0); });
        ShowWindow(window->hwnd(), SW_HIDE);
        if (!catalogue->shownOnce) {
            ShowWindow(window->hwnd(), SW_SHOW);
            catalogue->shownOnce = true;
        }
        // What the window does not need before it can take keys waits until
        // the program has first waited for input with its queue empty, then
        // comes first in the queue.
        bool startFinished = false;
        MSG message;
        for (;;) {
            if (!startFinished && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
                // The wait itself, not the look, marks the program idle for
                // whoever waits for it to take input.
                MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                startFinished = true;
                PostMessageW(window->hwnd(), WM_FINISHSTART, 0, 0);
                // Under Wine a thread costs the launcher a megabyte for
                // good: none is started for a folder without plugins.
                if (plugins->HasPluginFiles())
                    StartPluginScan(plugins);
                else
                    plugins->ScanPluginsFolder();
            }
            if (GetMessageW(&message, nullptr, 0, 0) <= 0)
                break;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    } else {
        // Without its window the program could neither be reached nor ended.
        MessageBoxW(nullptr, L"Quorvallis could not create its main window and ends now.", L"Quorvallis",
                    MB_OK | MB_ICONERROR);
    }

    // A keystroke player stopped mid-text must not leave a key held down for
    // the whole desktop: running lines stop and let go of their keys first.
    workers.StopRunningLines(1000);
    // A plugin call that never returns is not waited for: its helper goes.
    pluginHost->Shutdown();

    if (gdiplusStarted)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    if (SUCCEEDED(com))
        CoUninitialize();
    instanceMarker.reset();
    window.reset();
    catalogue.reset();
    return 0;
}
