#pragma once

#include "catalogue/QuorvallisCommand.h"

#include <cstddef>
#include <string>
#include <vector>

// The names and shortcuts of a command list laid out in one block of text,
// so that a search reads memory in order instead of visiting every record:
// with records scattered over the heap, a walk over 100 000 of them spends
// its time waiting for memory, not comparing text.
//
// The block is made on the first search after Invalidate; the catalogue
// tells it of every change of its list: an appended record is added to the
// block, any other change makes it again at the next search. A record whose
// name or shortcut was changed in place is not seen; whoever does that calls
// Invalidate.
class CommandSearchIndex {
public:
    // Appends to `hits`, in list order, every command of `commands` whose
    // name or shortcut contains `text` (exact characters); an empty text
    // matches every command.
    void Search(const std::vector<CommandPtr>& commands, const std::wstring& text, std::vector<CommandPtr>& hits);
    // The command was appended to the list last searched.
    void Appended(const CommandPtr& command);
    void Invalidate() { valid_ = false; }

private:
    void Rebuild(const std::vector<CommandPtr>& commands);
    void Add(const CommandPtr& command);

    // Per command its name, a NUL, its shortcut and a NUL; a search text
    // holds no NUL, so no hit spans two fields.
    std::wstring text_;
    // Where each command's entry starts in text_, and one past the last.
    std::vector<std::size_t> starts_;
    bool valid_ = false;
};
