#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <boost/weak_ptr.hpp>

#include <map>

// Where the run of a replaced record is counted. A worker may still run a
// record that an edit has replaced meanwhile; its count belongs to the record
// now in the catalogue. Used under the catalogue's guard.
class RunCountForwarding {
public:
    // `successor` took the place of `old` in the catalogue.
    void NoteReplacement(const CommandPtr& old, const CommandPtr& successor);
    // The record a run of `ran` counts for: `ran` itself, the record that
    // replaced it, or null when that one has been removed since.
    CommandPtr RecordToCount(const CommandPtr& ran);
    // Records still running belong to a catalogue that is gone.
    void Clear() { replacedBy_.clear(); }

private:
    void Prune();

    // Replaced records mapped to the record now in the catalogue. The key
    // keeps the old record alive, so its address cannot be reused by a new
    // record; an entry goes once nobody but this map holds the old record or
    // its successor is gone.
    std::map<CommandPtr, boost::weak_ptr<QuorvallisCommand>> replacedBy_;
};
