#include "plugins/BrokenPlugins.h"

bool BrokenPlugins::Add(const std::wstring& libraryPath, const std::wstring& label)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!known_.insert(libraryPath).second)
            return false;
        untold_.push_back(label);
    }
    if (onNew_)
        onNew_();
    return true;
}

std::vector<std::wstring> BrokenPlugins::TakeUntold()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::wstring> taken;
    taken.swap(untold_);
    return taken;
}
