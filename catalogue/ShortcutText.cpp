#include "catalogue/ShortcutText.h"

#include "catalogue/ShortcutIndex.h"

ShortcutText& ShortcutText::Assign(std::wstring text)
{
    // The same text moves no record in the index.
    if (text == text_)
        return *this;
    std::wstring before = std::move(text_);
    text_ = std::move(text);
    if (ShortcutIndex* index = index_.load(std::memory_order_acquire))
        index->ShortcutChanged(*this, before);
    return *this;
}
