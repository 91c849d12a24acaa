#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

// The shortcut of a command: reads like the wide string it holds, but can be
// changed only by assignment, and every assignment is counted. The
// catalogue's shortcut index compares the count with the one it was built
// at, so a record whose shortcut was changed in place, by whatever path, is
// never looked up under its old shortcut or missed under its new one.
class ShortcutText {
public:
    ShortcutText() = default;
    ShortcutText(std::wstring text) : text_(std::move(text)) {}
    ShortcutText(const wchar_t* text) : text_(text) {}
    // A new record changes no listed one: copies and moves are not counted.
    ShortcutText(const ShortcutText&) = default;
    ShortcutText(ShortcutText&&) = default;

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

    // How many shortcuts were assigned so far in this process.
    static std::uint64_t Changes() { return changes_.load(std::memory_order_acquire); }

private:
    ShortcutText& Assign(std::wstring text);

    std::wstring text_;
    static std::atomic<std::uint64_t> changes_;
};

inline bool operator==(const ShortcutText& a, const ShortcutText& b) { return a.str() == b.str(); }
inline bool operator==(const ShortcutText& a, const std::wstring& b) { return a.str() == b; }
inline bool operator==(const std::wstring& a, const ShortcutText& b) { return a == b.str(); }
inline bool operator==(const ShortcutText& a, const wchar_t* b) { return a.str() == b; }
inline bool operator!=(const ShortcutText& a, const ShortcutText& b) { return !(a == b); }
inline bool operator!=(const ShortcutText& a, const std::wstring& b) { return !(a == b); }
inline bool operator!=(const std::wstring& a, const ShortcutText& b) { return !(a == b); }
inline bool operator!=(const ShortcutText& a, const wchar_t* b) { return !(a == b); }
