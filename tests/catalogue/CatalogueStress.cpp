// Worker threads look commands up, "run" them and record the runs while the
// user-interface thread edits the catalogue and a writer thread walks the
// snapshots it hands over, as the file writer does. Built with
// ThreadSanitizer: any unguarded access is a failure. Counts must not get
// lost across edits, and no worker may find a command without its step.
#include "catalogue/QuorvallisCommands.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifndef __SANITIZE_THREAD__
#error "build this program with -fsanitize=thread"
#endif

namespace {

constexpr int kKeptCommands = 40;
constexpr int kWorkers = 3;
constexpr auto kEditTime = std::chrono::milliseconds(2500);

std::wstring Kept(int i)
{
    return L"p" + std::to_wstring(i);
}

// Reading the steps as a running command would; steps are never changed in place.
size_t Run(const CommandPtr& command)
{
    size_t seen = 0;
    for (const StepPtr& step : command->steps)
        seen += step->text.size() + static_cast<size_t>(step->type);
    return seen;
}

int DeliberateRace()
{
    int counter = 0;
    std::thread other([&counter] {
        for (int i = 0; i < 100000; ++i)
            ++counter;
    });
    for (int i = 0; i < 100000; ++i)
        ++counter;
    other.join();
    std::printf("counter %d\n", counter);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--race") == 0)
        return DeliberateRace();

    QuorvallisCommands catalogue;
    GroupPtr keptGroup = catalogue.AddSubgroup(catalogue.groups[0], L"Kept", 0);
    for (int i = 0; i < kKeptCommands; ++i) {
        CommandPtr command = catalogue.AddCommand(0, L"Kept " + std::to_wstring(i), L"", 0, Kept(i));
        command->SetRegularStep(StepType::EchoString, L"text");
    }

    std::atomic<bool> stop{false};
    std::atomic<long> recorded{0};
    std::atomic<long> misses{0};
    std::atomic<long> stepless{0};
    std::atomic<size_t> work{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            std::mt19937 random(w + 1);
            while (!stop.load()) {
                const int i = static_cast<int>(random() % kKeptCommands);
                CommandPtr command =
                    catalogue.FindCommandByShortcut(random() % 2 ? Kept(i) : L"P" + std::to_wstring(i));
                if (!command) {
                    ++misses;
                    continue;
                }
                work += Run(command);
                catalogue.RecordSuccessfulRun(command);
                ++recorded;
                // The notice goes to whatever window is there now.
                if (catalogue.MainWindow() != nullptr)
                    ++work;
                // Commands that come and go: their counts may go nowhere.
                if (CommandPtr passing = catalogue.FindCommandByShortcut(L"t" + std::to_wstring(random() % 8))) {
                    if (passing->steps.size() != 1)
                        ++stepless;
                    work += Run(passing);
                    catalogue.RecordSuccessfulRun(passing);
                }
            }
        });
    }

    // The file writer: reads every stored field of the snapshots it is given.
    std::mutex handoff;
    std::unique_ptr<QuorvallisCommands> latest;
    std::atomic<long> written{0};
    std::thread writer([&] {
        while (!stop.load()) {
            std::unique_ptr<QuorvallisCommands> snapshot;
            {
                std::lock_guard<std::mutex> lock(handoff);
                snapshot = std::move(latest);
            }
            if (!snapshot) {
                std::this_thread::yield();
                continue;
            }
            for (const CommandPtr& command : snapshot->allCommands)
                work += Run(command) + command->name.size() + command->shortcut.size() +
                        static_cast<size_t>(command->timesExecuted) + static_cast<size_t>(command->groupId);
            for (const GroupPtr& group : snapshot->groups)
                work += group->name.size() + group->commandIds.size() + group->subgroups.size();
            ++written;
        }
    });

    std::mt19937 random(99);
    long edits = 0;
    const auto end = std::chrono::steady_clock::now() + kEditTime;
    while (std::chrono::steady_clock::now() < end) {
        // Edit a kept command on a copy, as the editors do; now and then move it.
        const int i = static_cast<int>(random() % kKeptCommands);
        // Counts are atomic: the copy needs no guard.
        CommandPtr stored = catalogue.FindCommandByShortcut(Kept(i));
        const int id = stored->id;
        CommandPtr copy(new QuorvallisCommand(*stored));
        copy->SetRegularStep(StepType::EchoString, L"text " + std::to_wstring(edits));
        if (random() % 4 == 0)
            copy->groupId = copy->groupId == 0 ? keptGroup->id : 0;
        // In place, keeping the id, or moved as a new entry.
        if (!(random() % 2 ? catalogue.UpdateCommand(id, copy) : catalogue.ReplaceCommand(id, copy))) {
            std::fprintf(stderr, "replacing %d failed\n", id);
            return 1;
        }

        // Commands and groups that come and go.
        GroupPtr passing = catalogue.AddSubgroup(catalogue.groups[1], L"Passing", 0);
        for (int t = 0; t < 4; ++t)
            catalogue.AddCommand(passing->id, L"T", L"", 0, L"t" + std::to_wstring(random() % 8), StepType::OpenWebPage,
                                 L"http://x");
        passing->name = L"Renamed"; // groups are edited in place: snapshots copy them
        {
            std::unique_ptr<QuorvallisCommands> snapshot = catalogue.StoredSnapshot();
            std::lock_guard<std::mutex> lock(handoff);
            latest = std::move(snapshot);
        }
        catalogue.SearchCommands(L"p1");
        // The main window comes and goes as the program starts and ends.
        static int window;
        catalogue.SetMainWindow(random() % 2 ? &window : nullptr);
        if (random() % 2) {
            catalogue.RemoveGroup(passing->id);
        } else {
            for (int t = 0; t < 8; ++t) {
                if (CommandPtr command = catalogue.FindCommandByShortcut(L"t" + std::to_wstring(t)))
                    catalogue.RemoveCommand(command->id);
            }
            catalogue.RemoveGroup(passing->id);
        }
        ++edits;
    }
    stop = true;
    for (std::thread& worker : workers)
        worker.join();
    writer.join();

    long counted = 0;
    int kept = 0;
    {
        auto lock = catalogue.Lock();
        for (const CommandPtr& command : catalogue.allCommands) {
            if (command->shortcut[0] != L'p')
                continue;
            counted += command->timesExecuted;
            ++kept;
        }
    }
    std::printf(
        "edits %ld, runs recorded %ld, counted %ld, misses %ld, commands %d, snapshots written %ld (work %zu)\n", edits,
        recorded.load(), counted, misses.load(), kept, written.load(), work.load());
    if (kept != kKeptCommands || misses != 0 || counted != recorded || recorded == 0 || stepless != 0 || written == 0) {
        std::fprintf(stderr, "lost or invented runs, a kept command went missing, a command without its step "
                             "was found, or no snapshot was written\n");
        return 1;
    }
    return 0;
}
