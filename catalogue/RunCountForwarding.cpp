#include "catalogue/RunCountForwarding.h"

void RunCountForwarding::NoteReplacement(const CommandPtr& old, const CommandPtr& successor)
{
    // The successor is in the catalogue again, whatever it replaced before.
    replacedBy_.erase(successor);
    // Every entry points straight at the record in the catalogue, so a count
    // never has to follow a chain whose middle links are gone.
    for (auto& entry : replacedBy_) {
        if (entry.second.lock() == old)
            entry.second = successor;
    }
    replacedBy_[old] = successor;
    Prune();
}

CommandPtr RunCountForwarding::RecordToCount(const CommandPtr& ran)
{
    const auto entry = replacedBy_.find(ran);
    if (entry == replacedBy_.end())
        return ran;
    CommandPtr successor = entry->second.lock();
    Prune();
    return successor;
}

void RunCountForwarding::Prune()
{
    for (auto it = replacedBy_.begin(); it != replacedBy_.end();) {
        // use_count 1: nobody else holds the old record, so nobody can report
        // a run of it; no other thread can take a new reference meanwhile.
        if (it->first.use_count() == 1 || it->second.expired())
            it = replacedBy_.erase(it);
        else
            ++it;
    }
}
