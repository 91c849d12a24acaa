#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <boost/weak_ptr.hpp>

#include <cstddef>
#include <string>
#include <vector>

// The names and shortcuts of a command list laid out in one block of text,
// so that a search reads memory in order instead of visiting every record:
// with records scattered over the heap, a walk over 100 000 of them spends
// its time waiting for memory, not comparing text.
//
// The block is made on the first search and again when the list changed: a
// record added, removed or put in another's place is seen by comparing the
// records it was made from. A record whose name or shortcut was changed in
// place is not seen; whoever does that calls Invalidate.
class CommandSearchIndex {
public:
    // Appends to `hits`, in list order, every command of `commands` whose
    // name or shortcut contains `text` (exact characters); an empty text
    // matches every command.
    void Search(const std::vector<CommandPtr>& commands, const std::wstring& text, std::vector<CommandPtr>& hits);
    void Invalidate() { valid_ = false; }

private:
    bool MadeFrom(const std::vector<CommandPtr>& commands) const;
    void Rebuild(const std::vector<CommandPtr>& commands);

    // Per command its name, a NUL, its shortcut and a NUL; a search text
    // holds no NUL, so no hit spans two fields.
    std::wstring text_;
    // Where each command's entry starts in text_, and one past the last.
    std::vector<std::size_t> starts_;
    // The records the entries were made from. Weak references, so that an
    // address freed and used again for a new record cannot pass for the old.
    std::vector<boost::weak_ptr<QuorvallisCommand>> records_;
    bool valid_ = false;
};
