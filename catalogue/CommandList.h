#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <cstddef>
#include <vector>

// The catalogue's list of every command: read like the vector it holds, but
// changed only by the catalogue's operations (a file's list comes in through
// QuorvallisCommands::LoadCommands), so that the indexes kept beside it are
// told of every change.
class CommandList {
public:
    using value_type = CommandPtr;
    using const_iterator = std::vector<CommandPtr>::const_iterator;
    using iterator = const_iterator;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const CommandPtr& operator[](std::size_t at) const { return items_[at]; }
    const CommandPtr& front() const { return items_.front(); }
    const CommandPtr& back() const { return items_.back(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    const CommandPtr* data() const { return items_.data(); }
    const std::vector<CommandPtr>& items() const { return items_; }
    operator const std::vector<CommandPtr>&() const { return items_; }

private:
    friend class QuorvallisCommands;
    std::vector<CommandPtr> items_;
};

inline bool operator==(const CommandList& a, const CommandList& b)
{
    return a.items() == b.items();
}
inline bool operator==(const CommandList& a, const std::vector<CommandPtr>& b)
{
    return a.items() == b;
}
inline bool operator==(const std::vector<CommandPtr>& a, const CommandList& b)
{
    return a == b.items();
}
inline bool operator!=(const CommandList& a, const CommandList& b)
{
    return !(a == b);
}
inline bool operator!=(const CommandList& a, const std::vector<CommandPtr>& b)
{
    return !(a == b);
}
inline bool operator!=(const std::vector<CommandPtr>& a, const CommandList& b)
{
    return !(a == b);
}
