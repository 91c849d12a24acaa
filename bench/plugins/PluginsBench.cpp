// Plugin manager figures: the cost of scanning and of one action call on the
// launcher's side (guarded buffers, argument moves), with a loader that costs
// nothing. On Windows, given a folder, also a scan with the real loader:
//   PluginsBench [plugins-folder [action-name]]
#include "platform/IPluginLibraries.h"
#include "plugins/QuorvallisPluginsManager.h"

#ifdef _WIN32
#include "platform/win32/Win32PluginLibraries.h"
#endif

#include <boost/make_shared.hpp>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

class InstantLibrary : public IPluginLibrary {
public:
    explicit InstantLibrary(int count) : count_(count) {}
    bool LookUp(const char*) override { return true; }
    void GetActionName(wchar_t* buffer, int) override { std::swprintf(buffer, 32, L"Action%d", count_); }
    void GetActionDescription(wchar_t* buffer, int) override { buffer[0] = L'\0'; }
    int GetNumArguments() override { return count_; }
    int PerformAction(int, wchar_t**) override { return 1; }

private:
    int count_;
};

// Files named "<n>.dll"; the action of file n takes n % 5 arguments.
class InstantLibraries : public IPluginLibraries {
public:
    explicit InstantLibraries(int files) : files_(files) {}
    bool FolderExists(const std::wstring&) override { return true; }
    bool ListFolder(const std::wstring&, std::vector<PluginFolderEntry>& entries) override
    {
        entries.clear();
        for (int i = 0; i < files_; ++i)
            entries.push_back({std::to_wstring(i) + L".dll", false});
        return true;
    }
    std::unique_ptr<IPluginLibrary> Load(const std::wstring& path) override
    {
        const int n = std::stoi(path.substr(path.find_last_of(L'\\') + 1));
        return std::make_unique<InstantLibrary>(n % 5);
    }

private:
    int files_;
};

template <typename Work>
double MicrosecondsEach(int times, Work work)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i)
        work();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / times;
}

} // namespace

int main(int argc, char** argv)
{
    QuorvallisPluginsManager manager(boost::make_shared<InstantLibraries>(100), L"C:\\Q\\Plugins");
    std::printf("scan of 100 libraries, instant loader: %.1f us\n",
                MicrosecondsEach(200, [&] { manager.ScanPluginsFolder(); }));
    for (int count : {0, 1, 4}) {
        const std::wstring name = L"Action" + std::to_wstring(count);
        const double each = MicrosecondsEach(20000, [&] {
            ArgumentList arguments{L"first", L"second", L"third", L"fourth", L"fifth"};
            manager.PerformPluginAction(name, arguments);
        });
        std::printf("call with %d argument(s), instant loader: %.2f us\n", count, each);
    }

#ifdef _WIN32
    if (argc > 1) {
        const std::string narrow = argv[1];
        QuorvallisPluginsManager real(boost::make_shared<Win32PluginLibraries>(),
                                      std::wstring(narrow.begin(), narrow.end()));
        bool listed = false;
        const double scan = MicrosecondsEach(10, [&] { listed = real.ScanPluginsFolder(); });
        std::printf("scan of %s with the system loader: %s, %zu action(s), %.0f us\n", argv[1],
                    listed ? "listed" : "not listed", real.plugins.size(), scan);
        if (argc > 2) {
            const std::string action = argv[2];
            bool result = false;
            const double call = MicrosecondsEach(200, [&] {
                ArgumentList arguments{L"x", L"y", L"z"};
                result = real.PerformPluginAction(std::wstring(action.begin(), action.end()), arguments);
            });
            std::printf("call of %s (load, call, unload): %s, %.0f us\n", argv[2], result ? "true" : "false", call);
        }
    }
#else
    (void)argc;
    (void)argv;
#endif
    return 0;
}
