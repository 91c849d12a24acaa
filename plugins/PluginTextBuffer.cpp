#include "plugins/PluginTextBuffer.h"

#include <algorithm>

namespace {

// Neither zero nor a likely character, so that a plugin filling the margin
// with blanks or with zeros alike is noticed.
wchar_t CanaryAt(int index)
{
    return static_cast<wchar_t>(0xA55A ^ (index * 0x0101));
}

} // namespace

PluginTextBuffer::PluginTextBuffer() : chars_(new wchar_t[kAllocated])
{
    std::fill_n(chars_.get(), kCapacity, L'\0');
    for (int i = 0; i < kCanaryLength; ++i)
        chars_[kAllocated - kCanaryLength + i] = CanaryAt(i);
}

PluginTextBuffer::PluginTextBuffer(const std::wstring& text) : PluginTextBuffer()
{
    const auto length = std::min<std::size_t>(text.size(), kCapacity - 1);
    std::copy_n(text.begin(), length, chars_.get());
}

std::wstring PluginTextBuffer::Text() const
{
    const wchar_t* begin = chars_.get();
    return std::wstring(begin, std::find(begin, begin + (kCapacity - 1), L'\0'));
}

bool PluginTextBuffer::Intact() const
{
    for (int i = 0; i < kCanaryLength; ++i) {
        if (chars_[kAllocated - kCanaryLength + i] != CanaryAt(i))
            return false;
    }
    return true;
}
