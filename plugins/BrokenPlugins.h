#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The plugins that stopped working since the program started: each is told
// to the user once per start. Filled from worker threads and the scan's
// thread, read on the user interface thread.
class BrokenPlugins {
public:
    // Called (on the reporting thread) whenever a plugin is added that was
    // not known yet; set once, before any plugin code runs.
    void SetOnNew(std::function<void()> onNew) { onNew_ = std::move(onNew); }

    // `libraryPath` identifies the plugin; `label` is what the user is told
    // (its action's name and file, or the file alone). False when it was
    // known already.
    bool Add(const std::wstring& libraryPath, const std::wstring& label);
    // The labels added since the last call, in the order they came.
    std::vector<std::wstring> TakeUntold();

private:
    std::mutex mutex_;
    std::set<std::wstring> known_;
    std::vector<std::wstring> untold_;
    std::function<void()> onNew_;
};
