#include "catalogue/ExecutionCount.h"

#include "catalogue/ShortcutIndex.h"

ExecutionCount& ExecutionCount::operator=(int value)
{
    // An edited copy takes the count it already has: no change.
    if (value_.load(std::memory_order_relaxed) == value)
        return *this;
    value_.store(value, std::memory_order_relaxed);
    if (ShortcutIndex* index = index_.load(std::memory_order_acquire))
        index->CountAssigned();
    return *this;
}
