#pragma once

#include "platform/IFolderWatch.h"
#include "platform/win32/UniqueHandle.h"

#include <string>
#include <vector>

// Change notifications on each folder and everything below it (files and
// folders added, removed, renamed or written). A folder that does not exist
// is looked for every kMissingPollMs and watched from when it appears,
// which counts as a change.
class Win32FolderWatch : public IFolderWatch {
public:
    static constexpr int kMissingPollMs = 1000;

    explicit Win32FolderWatch(std::vector<std::wstring> folders);

    Wake Wait(int timeoutMs) override;
    void Stop() override;

private:
    // Opens the notifications of folders that now exist; true when one did.
    bool OpenAppeared();

    std::vector<std::wstring> folders_;
    std::vector<UniqueChangeNotification> changes_; // one per folder, empty while it is missing
    UniqueKernelHandle stop_;
};
