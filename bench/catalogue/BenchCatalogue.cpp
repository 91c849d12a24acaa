// Times the catalogue operations a typed line and the editors use, for
// catalogues of 1 000, 10 000 and 100 000 commands. Every shortcut has the
// same length, so no lookup is cut short by a length check.
#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::wstring Shortcut(int i)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"s%06d", i);
    return text;
}

// Median time of one call in microseconds.
template <typename F>
double MedianMicros(int rounds, F&& call)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        call();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    int size;
    double lastHit, miss, search, add, build;
};

Figures Measure(int size)
{
    Figures f{size, 0, 0, 0, 0, 0};
    QuorvallisCommands catalogue;
    const auto buildStart = Clock::now();
    for (int i = 0; i < size; ++i) {
        CommandPtr command = catalogue.AddCommand(0, L"Command " + std::to_wstring(i), L"", 0, Shortcut(i));
        command->SetRegularStep(StepType::OpenWebPage, L"http://example.org/%%");
    }
    f.build = std::chrono::duration<double, std::milli>(Clock::now() - buildStart).count();

    volatile bool found = false;
    const std::wstring last = L"S" + Shortcut(size - 1).substr(1); // typed in another case
    f.lastHit = MedianMicros(201, [&] { found = static_cast<bool>(catalogue.FindCommandByShortcut(last)); });
    if (!found)
        std::printf("lookup of the last command failed\n");
    f.miss = MedianMicros(201, [&] { found = static_cast<bool>(catalogue.FindCommandByShortcut(L"s999999x")); });
    f.search = MedianMicros(21, [&] { catalogue.SearchCommands(L"77"); });
    int next = size;
    f.add = MedianMicros(101, [&] {
        CommandPtr command = catalogue.AddCommand(0, L"Added", L"", 0, Shortcut(next++));
        if (!command)
            std::printf("add failed\n");
    });
    return f;
}

} // namespace

int main()
{
    std::printf("%8s %14s %12s %14s %14s %12s\n", "commands", "lookup last", "lookup miss", "SearchCommands",
                "AddCommand", "build all");
    std::vector<Figures> all;
    for (int size : {1000, 10000, 100000}) {
        Figures f = Measure(size);
        all.push_back(f);
        std::printf("%8d %11.1f us %9.1f us %11.1f us %11.1f us %9.1f ms\n", f.size, f.lastHit, f.miss, f.search, f.add,
                    f.build);
    }
    for (size_t i = 1; i < all.size(); ++i) {
        const Figures& a = all[i - 1];
        const Figures& b = all[i];
        std::printf("growth %d -> %d: lookup x%.1f, miss x%.1f, search x%.1f, add x%.1f\n", a.size, b.size,
                    b.lastHit / a.lastHit, b.miss / a.miss, b.search / a.search, b.add / a.add);
    }
    const Figures& largest = all.back();
    std::printf("lookup at %d commands: %s the 1 ms target\n", largest.size,
                std::max(largest.lastHit, largest.miss) < 1000.0 ? "within" : "MISSES");
    return 0;
}
