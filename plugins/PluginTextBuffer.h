#pragma once

#include <memory>
#include <string>

// A text buffer lent to a plugin. The plugin is told it holds 1200
// characters, terminator included, and those are zero-filled behind the
// text; behind them lies a wide margin ending in a canary. A plugin that
// writes too much then damages only the margin instead of the launcher's
// memory; one that reaches the canary may have written further still and is
// not trusted. Nothing reads the margin, so it is not filled: a call with
// several arguments would otherwise clear a quarter of a megabyte each time.
class PluginTextBuffer {
public:
    // What every plugin is told, in characters.
    static constexpr int kCapacity = 1200;
    // What is really allocated, in characters, canary included.
    static constexpr int kAllocated = 32768;
    static constexpr int kCanaryLength = 16;

    PluginTextBuffer();
    // Holds text, cut to 1199 characters so that it stays terminated.
    explicit PluginTextBuffer(const std::wstring& text);

    wchar_t* data() { return chars_.get(); }
    int Capacity() const { return kCapacity; }

    // The text up to the first terminator, at most 1199 characters.
    std::wstring Text() const;
    // True while the canary at the far end of the margin is untouched.
    bool Intact() const;

private:
    std::unique_ptr<wchar_t[]> chars_;
};
