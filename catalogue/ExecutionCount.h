#pragma once

#include <atomic>
#include <cstdint>

// A command's execution count. Workers raise it under the catalogue's guard
// while the file writer reads it from another thread without the guard: the
// count is atomic, and copies and assignments carry its value. Every raise
// and assignment is counted, so the completion's ranking knows when to read
// the counts again.
class ExecutionCount {
public:
    ExecutionCount() = default;
    ExecutionCount(int value) : value_(value) {}
    ExecutionCount(const ExecutionCount& other) : value_(other.get()) {}
    ExecutionCount& operator=(const ExecutionCount& other) { return *this = other.get(); }
    ExecutionCount& operator=(int value)
    {
        // An edited copy takes the count it already has: no change.
        if (value_.load(std::memory_order_relaxed) == value)
            return *this;
        value_.store(value, std::memory_order_relaxed);
        // Counted after the change, as ShortcutText counts.
        changes_.fetch_add(1, std::memory_order_acq_rel);
        return *this;
    }
    ExecutionCount& operator++()
    {
        value_.fetch_add(1, std::memory_order_relaxed);
        changes_.fetch_add(1, std::memory_order_acq_rel);
        return *this;
    }

    // How many counts were raised or assigned so far in this process.
    static std::uint64_t Changes() { return changes_.load(std::memory_order_acquire); }

    int get() const { return value_.load(std::memory_order_relaxed); }
    operator int() const { return get(); }

private:
    std::atomic<int> value_{0};
    static inline std::atomic<std::uint64_t> changes_{0};
};
