#pragma once

#include <atomic>

class ShortcutIndex;

// A command's execution count. Workers raise it under the catalogue's guard
// while the file writer reads it from another thread without the guard: the
// count is atomic, and copies and assignments carry its value. Only the
// catalogue's index raises a count, for a run, and moves the completion's
// ranking with it; an assignment to a listed record tells that index, so the
// ranking reads the counts again. A copy starts unlisted.
class ExecutionCount {
public:
    ExecutionCount() = default;
    ExecutionCount(int value) : value_(value) {}
    ExecutionCount(const ExecutionCount& other) : value_(other.get()) {}
    ExecutionCount& operator=(const ExecutionCount& other) { return *this = other.get(); }
    ExecutionCount& operator=(int value);

    int get() const { return value_.load(std::memory_order_relaxed); }
    operator int() const { return get(); }

private:
    friend class ShortcutIndex;
    void Raise() { value_.fetch_add(1, std::memory_order_relaxed); }

    std::atomic<int> value_{0};
    // The index that lists the record, set and cleared by it under the
    // catalogue's guard.
    std::atomic<ShortcutIndex*> index_{nullptr};
};
