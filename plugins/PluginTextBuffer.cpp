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

PluginTextBuffer::PluginTextBuffer() : chars_(kAllocated, L'\0')
{
    for (int i = 0; i < kCanaryLength; ++i)
        chars_[kAllocated - kCanaryLength + i] = CanaryAt(i);
}

PluginTextBuffer::PluginTextBuffer(const std::wstring& text) : PluginTextBuffer()
{
    const auto length = std::min<std::size_t>(text.size(), kCapacity - 1);
    std::copy_n(text.begin(), length, chars_.begin());
}

std::wstring PluginTextBuffer::Text() const
{
    const auto end = chars_.begin() + (kCapacity - 1);
    return std::wstring(chars_.begin(), std::find(chars_.begin(), end, L'\0'));
}

bool PluginTextBuffer::Intact() const
{
    for (int i = 0; i < kCanaryLength; ++i) {
        if (chars_[kAllocated - kCanaryLength + i] != CanaryAt(i))
            return false;
    }
    return true;
}
