#pragma once

#include "store/CatalogueSaveQueue.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

class IFileStore;
class QuorvallisCommands;

// When and how the main window writes the catalogue: after every accepted
// change, from a snapshot taken at once on the user-interface thread and
// written by the save queue's thread, and a last time at exit. Failures are
// told to the window (WM_SAVEFINISHED), which shows the first of a run.
class CatalogueSaver {
public:
    CatalogueSaver() = default;
    CatalogueSaver(const CatalogueSaver&) = delete;
    CatalogueSaver& operator=(const CatalogueSaver&) = delete;

    // Saves go to `path` from now on; `window` hears of each. The writer
    // shares the file store, since it may outlive the saver at exit.
    void Start(HWND window, std::shared_ptr<IFileStore> files, const std::wstring& path);
    // An accepted change: the catalogue as it is now goes to the file.
    void Changed(const QuorvallisCommands& catalogue);
    // On WM_SAVEFINISHED: the text to show for a failed save, once until a
    // save succeeds again; empty when there is nothing to tell.
    std::wstring TakeReport();
    // At exit: writes the catalogue as it is now and waits for the writer
    // (bounded). The text to show when the file did not get it; else empty.
    std::wstring Finish(const QuorvallisCommands& catalogue);

    const std::wstring& path() const { return path_; }
    // For tests: waits until every change handed in is written.
    bool WaitUntilIdle(int timeoutMs) const;
    int SavesWritten() const;

private:
    // What the writer thread leaves for the window; shared, so that a writer
    // still running after exit never writes into a saver that is gone.
    struct Latest {
        std::mutex mutex;
        HWND window = nullptr;
        bool failed = false;
        std::wstring error;
    };

    // The failure told to the user: where, why, and what it means for the
    // changes (`consequence`).
    std::wstring FailureText(const std::wstring& error, const wchar_t* consequence) const;

    std::wstring path_;
    std::shared_ptr<Latest> latest_ = std::make_shared<Latest>();
    std::unique_ptr<CatalogueSaveQueue> queue_;
    bool failureShown_ = false;
};
