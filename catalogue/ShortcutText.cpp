#include "catalogue/ShortcutText.h"

std::atomic<std::uint64_t> ShortcutText::changes_{0};

ShortcutText& ShortcutText::Assign(std::wstring text)
{
    // The same text moves no record in the index.
    if (text == text_)
        return *this;
    text_ = std::move(text);
    // Counted after the change, so an index built on the new count has
    // seen the new text.
    changes_.fetch_add(1, std::memory_order_acq_rel);
    return *this;
}
