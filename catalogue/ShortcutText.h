#pragma once

#include <atomic>
#include <cstddef>
#include <string>

class ShortcutIndex;

// The shortcut of a command: reads like the wide string it holds, but can be
// changed only by assignment. While a catalogue's index lists the record, the
// field knows that index and tells it of every change, so a record changed in
// place is never looked up under its old shortcut or missed under its new
// one. A copy starts unlisted: an editor's copy tells nobody.
class ShortcutText {
public:
    ShortcutText() = default;
    ShortcutText(std::wstring text) : text_(std::move(text)) {}
    ShortcutText(const wchar_t* text) : text_(text) {}
    ShortcutText(const ShortcutText& other) : text_(other.text_) {}
    ShortcutText(ShortcutText&& other) : text_(std::move(other.text_)) {}

    // The target keeps its own index: assigning a whole record keeps it listed.
    ShortcutText& operator=(const ShortcutText& other) { return Assign(other.text_); }
    ShortcutText& operator=(const std::wstring& text) { return Assign(text); }
    ShortcutText& operator=(const wchar_t* text) { return Assign(text); }

    operator const std::wstring&() const { return text_; }
    const std::wstring& str() const { return text_; }
    const wchar_t* c_str() const { return text_.c_str(); }
    std::size_t size() const { return text_.size(); }
    std::size_t length() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    wchar_t operator[](std::size_t at) const { return text_[at]; }
    std::wstring::const_iterator begin() const { return text_.begin(); }
    std::wstring::const_iterator end() const { return text_.end(); }
    std::size_t find(const std::wstring& part, std::size_t from = 0) const { return text_.find(part, from); }

private:
    friend class ShortcutIndex;
    ShortcutText& Assign(std::wstring text);

    std::wstring text_;
    // The index that lists the record, set and cleared by it under the
    // catalogue's guard.
    std::atomic<ShortcutIndex*> index_{nullptr};
};

inline bool operator==(const ShortcutText& a, const ShortcutText& b)
{
    return a.str() == b.str();
}
inline bool operator==(const ShortcutText& a, const std::wstring& b)
{
    return a.str() == b;
}
inline bool operator==(const std::wstring& a, const ShortcutText& b)
{
    return a == b.str();
}
inline bool operator==(const ShortcutText& a, const wchar_t* b)
{
    return a.str() == b;
}
inline bool operator!=(const ShortcutText& a, const ShortcutText& b)
{
    return !(a == b);
}
inline bool operator!=(const ShortcutText& a, const std::wstring& b)
{
    return !(a == b);
}
inline bool operator!=(const std::wstring& a, const ShortcutText& b)
{
    return !(a == b);
}
inline bool operator!=(const ShortcutText& a, const wchar_t* b)
{
    return !(a == b);
}
