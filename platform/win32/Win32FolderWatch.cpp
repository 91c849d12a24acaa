#include "platform/win32/Win32FolderWatch.h"

#include <algorithm>

namespace {

constexpr DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

} // namespace

Win32FolderWatch::Win32FolderWatch(std::vector<std::wstring> folders)
    : folders_(std::move(folders)),
      changes_(folders_.size()),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    OpenAppeared();
}

bool Win32FolderWatch::OpenAppeared()
{
    bool opened = false;
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        if (changes_[i])
            continue;
        changes_[i].reset(FindFirstChangeNotificationW(folders_[i].c_str(), TRUE, kFilter));
        opened = opened || static_cast<bool>(changes_[i]);
    }
    return opened;
}

IFolderWatch::Wake Win32FolderWatch::Wait(int timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<HANDLE> handles{stop_.get()};
        std::vector<std::size_t> which;
        for (std::size_t i = 0; i < changes_.size(); ++i) {
            if (changes_[i]) {
                handles.push_back(changes_[i].get());
                which.push_back(i);
            }
        }
        const bool missing = which.size() < folders_.size();
        DWORD wait = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
        if (timeoutMs >= 0) {
            const DWORD spent = GetTickCount() - start;
            wait = spent >= wait ? 0 : wait - spent;
        }
        if (missing)
            wait = std::min<DWORD>(wait, kMissingPollMs);
        const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, wait);
        if (result == WAIT_OBJECT_0)
            return Wake::Stopped;
        if (result > WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + handles.size()) {
            UniqueChangeNotification& change = changes_[which[result - WAIT_OBJECT_0 - 1]];
            // A folder that went away is looked for again from now on.
            if (!FindNextChangeNotification(change.get()))
                change.reset();
            return Wake::Changed;
        }
        if (result != WAIT_TIMEOUT)
            return Wake::Stopped;
        if (missing && OpenAppeared())
            return Wake::Changed;
        if (timeoutMs >= 0 && GetTickCount() - start >= static_cast<DWORD>(timeoutMs))
            return Wake::TimedOut;
    }
}

void Win32FolderWatch::Stop()
{
    SetEvent(stop_.get());
}
