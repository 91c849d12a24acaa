#include "catalogue/CommandSearchIndex.h"

namespace {

bool Contains(const QuorvallisCommand& command, const std::wstring& text)
{
    return command.name.find(text) != std::wstring::npos || command.shortcut.find(text) != std::wstring::npos;
}

} // namespace

void CommandSearchIndex::Add(const CommandPtr& command)
{
    if (command) {
        text_ += command->name;
        text_ += L'\0';
        text_ += command->shortcut;
    } else {
        text_ += L'\0';
    }
    text_ += L'\0';
    starts_.push_back(text_.size());
}

void CommandSearchIndex::Rebuild(const std::vector<CommandPtr>& commands)
{
    text_.clear();
    starts_.clear();
    starts_.reserve(commands.size() + 1);
    starts_.push_back(0);
    for (const CommandPtr& command : commands)
        Add(command);
    valid_ = true;
}

void CommandSearchIndex::Appended(const CommandPtr& command)
{
    // Unmade, the block is made whole at the next search.
    if (valid_)
        Add(command);
}

void CommandSearchIndex::Search(const std::vector<CommandPtr>& commands, const std::wstring& text,
                                std::vector<CommandPtr>& hits)
{
    if (text.empty()) {
        for (const CommandPtr& command : commands) {
            if (command)
                hits.push_back(command);
        }
        return;
    }
    // A text with a NUL could match across the fields: walk the records.
    if (text.find(L'\0') != std::wstring::npos) {
        for (const CommandPtr& command : commands) {
            if (command && Contains(*command, text))
                hits.push_back(command);
        }
        return;
    }
    // The size is checked only so that a list changed behind the catalogue's
    // back can never lead the walk below past its end.
    if (!valid_ || starts_.size() != commands.size() + 1)
        Rebuild(commands);
    // Hits come in order, so the entry that holds one is found by walking on
    // from the last: one pass over the text and one over the entries.
    std::size_t at = 0;
    std::size_t entry = 0;
    while ((at = text_.find(text, at)) != std::wstring::npos) {
        while (starts_[entry + 1] <= at)
            ++entry;
        hits.push_back(commands[entry]);
        // One hit per command, even when both its fields match.
        at = starts_[entry + 1];
    }
}
