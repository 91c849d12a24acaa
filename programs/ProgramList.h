#pragma once

#include "programs/Program.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class ProgramUsage;

// The programs found so far, as snapshots that never change once published:
// the programs' thread publishes a new list after each scan, the keyboard's
// thread takes the current one without waiting for the scan, and a start
// counted on any thread publishes a copy with the new count.
class ProgramList {
public:
    using Snapshot = std::shared_ptr<const std::vector<Program>>;

    explicit ProgramList(ProgramUsage& usage);

    // Never null; empty before the first scan.
    Snapshot Current() const;
    // Raised with every publish, so a reader can tell a new list cheaply.
    std::uint64_t Generation() const { return generation_.load(); }

    // Takes the programs' run counts from the usage and makes them current.
    void Publish(std::vector<Program> programs);
    // Counts a start of the program with this key (in the usage too) and
    // returns its new count.
    int CountStart(const std::wstring& key);

    ProgramUsage& usage() { return usage_; }

private:
    void Swap(Snapshot next);

    ProgramUsage& usage_;
    mutable std::mutex guard_; // over current_ and each publish
    Snapshot current_;
    std::atomic<std::uint64_t> generation_{0};
};
