#pragma once

#include <atomic>

// A command's execution count. Workers raise it under the catalogue's guard
// while the file writer reads it from another thread without the guard: the
// count is atomic, and copies and assignments carry its value.
class ExecutionCount {
public:
    ExecutionCount() = default;
    ExecutionCount(int value) : value_(value) {}
    ExecutionCount(const ExecutionCount& other) : value_(other.get()) {}
    ExecutionCount& operator=(const ExecutionCount& other)
    {
        value_.store(other.get(), std::memory_order_relaxed);
        return *this;
    }
    ExecutionCount& operator=(int value)
    {
        value_.store(value, std::memory_order_relaxed);
        return *this;
    }
    ExecutionCount& operator++()
    {
        value_.fetch_add(1, std::memory_order_relaxed);
        return *this;
    }

    int get() const { return value_.load(std::memory_order_relaxed); }
    operator int() const { return get(); }

private:
    std::atomic<int> value_{0};
};
