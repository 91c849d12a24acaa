#pragma once

#include "programs/Program.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class IFolderListing;
class IFolderWatch;
class IShortcutReader;
class ProgramList;

// Finds the Start menu's programs and keeps the list current: each scan
// (names published at once, then targets, then icons) runs on a thread of
// its own that ends with it, since a thread that stays costs the idle
// program about a megabyte under Wine. The owner asks Poll now and then
// (a timer of the window): a change under the folders (a program installed
// or removed while the launcher runs) brings a new scan once a poll finds
// them quiet again.
class ProgramFinder {
public:
    // Poll every this often: a change is found within two polls.
    static constexpr int kPollMs = 700;

    // `threadStart` and `threadEnd` run on each scan's thread first and last
    // (the platform's set-up of a thread that opens shortcut files).
    ProgramFinder(std::vector<std::wstring> roots, IFolderListing& listing, IShortcutReader& reader,
                  IFolderWatch& watch, ProgramList& list, std::function<void()> threadStart = {},
                  std::function<void()> threadEnd = {});
    ~ProgramFinder();
    ProgramFinder(const ProgramFinder&) = delete;
    ProgramFinder& operator=(const ProgramFinder&) = delete;

    // The first scan. False when no thread could start.
    bool Start();
    // Looks (without waiting) whether the folders changed; scans again once
    // they are quiet after a change. Cheap enough for the keyboard's thread.
    void Poll();
    // Stops the scan under way (the file being read finishes) and waits for it.
    void Stop();
    int Scans() const { return scans_.load(); }

private:
    // Starts a scan, or has the one under way scan once more.
    bool Rescan();
    void Run();
    void ScanOnce(bool first);

    std::vector<std::wstring> roots_;
    IFolderListing& listing_;
    IShortcutReader& reader_;
    IFolderWatch& watch_;
    ProgramList& list_;
    std::function<void()> threadStart_;
    std::function<void()> threadEnd_;
    std::vector<Program> known_; // the last refined list, on the scan's thread only
    std::mutex guard_;           // over thread_, running_ and again_
    std::thread thread_;
    bool running_ = false;
    bool again_ = false;
    bool changed_ = false; // a poll saw a change; the next quiet one scans
    bool first_ = true;
    std::atomic<bool> stopping_{false};
    std::atomic<int> scans_{0};
};
