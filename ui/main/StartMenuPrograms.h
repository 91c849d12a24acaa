#pragma once

#include "platform/win32/Win32FileStore.h"
#include "platform/win32/Win32FolderListing.h"
#include "platform/win32/Win32ShortcutReader.h"
#include "programs/ProgramList.h"
#include "programs/ProgramUsage.h"

#include <windows.h>

#include <memory>
#include <string>

class IOptions;
class ProgramFinder;
class Win32FolderWatch;

// The programs of the Start menu as a second source of matches, kept apart
// from the catalogue: found on a thread of their own when first wanted
// after the start (the popup opened, the window shown), counted in their own
// file beside the program, switched on and off by the option "ShowPrograms"
// (1 on, the default; 0 off). Not at the start itself: under Wine a thread
// keeps about a megabyte of the idle program's memory even after it ended.
class StartMenuPrograms {
public:
    static constexpr const wchar_t* kOption = L"ShowPrograms";

    StartMenuPrograms(IOptions& options, const std::wstring& programFolder);
    ~StartMenuPrograms();
    StartMenuPrograms(const StartMenuPrograms&) = delete;
    StartMenuPrograms& operator=(const StartMenuPrograms&) = delete;

    // The timer of `window` (WM_TIMER with this id) that asks Poll.
    static constexpr UINT_PTR kPollTimer = 2424;

    // After the start (never before the program first waits for input):
    // reads the run counts and, when shown, watches the folders, with a
    // timer of `window` that looks for changes.
    void Start(HWND window);
    // The programs are about to be needed: the first call scans. Cheap.
    void Wanted();
    // On the timer: a new scan once the folders changed and are quiet again.
    void Poll();
    // Stops looking; the thread ends before this returns.
    void Stop();

    bool shown() const { return shown_; }
    // Keeps the choice and starts looking when switched on.
    void SetShown(bool shown);

    // What the matches offer: empty when switched off. Any thread.
    ProgramList::Snapshot Current() const;
    // Opens the program on a thread of its own with the typed arguments
    // (given to the program after the shortcut's own) and counts the start.
    // False when no thread could start.
    bool Open(const Program& program, const std::wstring& arguments);
    // The own icon of the program whose shortcut file this is, from the
    // cache the finder fills; false while it has none.
    bool DrawIcon(const std::wstring& shortcutPath, HDC dc, int x, int y, int size) const;

private:
    // Shared with the threads that open programs, which may outlive this.
    struct Counts {
        explicit Counts(const std::wstring& path) : usage(files, path), list(usage) {}
        Win32FileStore files;
        ProgramUsage usage;
        ProgramList list;
    };

    IOptions& options_;
    bool shown_;
    bool started_ = false;
    bool scanned_ = false;
    HWND window_ = nullptr;
    std::shared_ptr<Counts> counts_;
    Win32FolderListing listing_;
    Win32ShortcutReader reader_;
    std::unique_ptr<Win32FolderWatch> watch_;
    std::unique_ptr<ProgramFinder> finder_;
};
