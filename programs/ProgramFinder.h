#pragma once

#include "programs/Program.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class IFolderListing;
class IFolderWatch;
class IShortcutReader;
class ProgramList;

// Finds the Start menu's programs on a thread of its own and keeps the list
// current: a first scan (published at once), its refinement, then a new
// scan whenever the folders change (a program installed or removed while the
// launcher runs), once they have been quiet for a moment.
class ProgramFinder {
public:
    // How long the folders must stay quiet before a new scan: an installer
    // writes many files in a row.
    static constexpr int kSettleMs = 400;

    // `published` is called on the finder's thread after each publish.
    ProgramFinder(std::vector<std::wstring> roots, IFolderListing& listing, IShortcutReader& reader,
                  IFolderWatch& watch, ProgramList& list, std::function<void()> published = {});
    ~ProgramFinder();
    ProgramFinder(const ProgramFinder&) = delete;
    ProgramFinder& operator=(const ProgramFinder&) = delete;

    // `threadStart` runs first on the new thread (the platform's set-up of
    // a thread that opens shortcut files). False when no thread started.
    bool Start(std::function<void()> threadStart = {}, std::function<void()> threadEnd = {});
    // Ends the thread and waits for it; the files being read finish first.
    void Stop();
    int Scans() const { return scans_.load(); }

private:
    void Run();
    void ScanOnce(bool first);

    std::vector<std::wstring> roots_;
    IFolderListing& listing_;
    IShortcutReader& reader_;
    IFolderWatch& watch_;
    ProgramList& list_;
    std::function<void()> published_;
    std::function<void()> threadStart_;
    std::function<void()> threadEnd_;
    std::vector<Program> known_; // the last refined list, on the thread only
    std::atomic<bool> stopping_{false};
    std::atomic<int> scans_{0};
    std::thread thread_;
};
