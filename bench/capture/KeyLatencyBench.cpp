// The launcher's cost to the rest of the desktop, under Wine:
//  - delay from a synthesized key press to its arrival in a window of this
//    program, with no launcher, with the launcher disabled and enabled-idle;
//  - time from starting the launcher with 10 000 commands in its file until
//    its hook is installed and its message loop answers;
//  - the launcher's private bytes while idle.
#include "bench/LauncherProcess.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace launcher_bench;

int wmain()
{
    const std::wstring exe = InstallLauncher(L"qv-capture-bench");
    if (exe.empty()) {
        std::printf("cannot copy the launcher from the build tree\n");
        return 1;
    }
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\') + 1);
    KeyProbe probe;
    constexpr int kKeys = 300;

    std::printf("key delivery under Wine, synthesized press to WM_KEYDOWN:\n");
    // A figure that was not measured is said so, and the run fails.
    bool measured = Report("no launcher", probe.Measure(kKeys), kKeys);

    const std::wstring data = folder + L"Preferences.data";
    std::vector<double> byState[2];
    for (const bool enable : {false, true}) {
        WriteCatalogue(data, 10, enable);
        Launcher launcher;
        if (!launcher.Start(exe))
            continue;
        HWND window = launcher.WaitUntilAnswering(30000);
        PumpFor(500);
        byState[enable] = probe.Measure(kKeys);
        measured &= window != nullptr;
        measured &= Report(enable ? "launcher enabled, idle" : "launcher disabled", byState[enable], kKeys);
        if (window)
            launcher.Exit(window);
    }
    if (!measured) {
        std::printf("  the launcher did not answer or no key arrived: nothing to compare\n");
        return 1;
    }
    std::printf("  enabled and idle against disabled: median %+.0f us (target: within 1 000 us)\n",
                Percentile(byState[true], 0.5) - Percentile(byState[false], 0.5));

    std::printf("start to hook installed and answering, 10 000 commands in the file:\n");
    if (!WriteCatalogue(data, 10000, true)) {
        std::printf("  cannot write the catalogue\n");
        return 1;
    }
    for (int run = 0; run < 3; ++run) {
        Launcher big;
        const auto start = Clock::now();
        if (!big.Start(exe))
            break;
        HWND window = big.WaitUntilAnswering(60000);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (!window) {
            std::printf("  run %d: the launcher did not answer in 60 s\n", run + 1);
            return 1;
        }
        std::printf("  run %d: %8.0f ms\n", run + 1, ms);
        PumpFor(2000);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof(memory);
        if (GetProcessMemoryInfo(big.process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof(memory)))
            // Wine leaves PrivateUsage at 0; the pagefile figure is the same count there.
            std::printf("         private bytes idle %.1f MiB (pagefile usage %.1f MiB), working set %.1f MiB\n",
                        memory.PrivateUsage / 1048576.0, memory.PagefileUsage / 1048576.0,
                        memory.WorkingSetSize / 1048576.0);
        big.Exit(window);
    }
    return 0;
}
