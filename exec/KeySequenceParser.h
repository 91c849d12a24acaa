#pragma once

#include "exec/IKeyActionSink.h"
#include "exec/KeyAction.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The delays a playback carries from one key press to the next.
struct KeyDelays {
    int defaultDelay = 0; // before every key press
    int pendingDelay = 0; // once, before the next key press
};

// Turns a keystroke text into key events and commands. Characters are typed
// with the keys the layout needs; "+ ^ % @" hold Shift, Ctrl, Alt and the
// Windows key until after the next key, or until ")" inside "( )"; "~" is
// Enter; braces hold key names with repeat counts and the commands VKEY,
// BEEP, APPACTIVATE and DELAY. A text ends at its first zero character.
class KeySequenceParser {
public:
    // The layout's key value of a character (0xFFFF: no key).
    using KeyValueFunction = std::function<unsigned short(wchar_t)>;

    enum class Problem { None, BraceTooLong };
    struct Check {
        Problem problem = Problem::None;
        size_t position = 0; // of the offending "{"
    };
    enum class Outcome { Complete, BrokenText, Stopped };

    struct KeyName {
        const wchar_t* name;
        unsigned short code;
        bool isCharacter; // code is a character typed through the layout
    };

    static constexpr size_t kMaxBraceText = 299;
    static constexpr unsigned short kNoKey = 0xFFFF;
    static constexpr size_t kKeyNameCount = 71;

    explicit KeySequenceParser(KeyValueFunction keyValueOf);

    // Finds what breaks the language before anything is played: a brace
    // text over 299 characters. A "{" never closed is no fault: its brace
    // text is the rest of the text.
    Check Validate(const std::wstring& text) const;

    // Emits the text's actions to the sink. A broken text emits nothing.
    // `delays` carries the delays in and out.
    Outcome Expand(const std::wstring& text, KeyDelays& delays, IKeyActionSink& sink) const;

    // The actions as a list: for tests and tools, not for large repeat counts.
    std::vector<KeyAction> ToList(const std::wstring& text, KeyDelays delays = KeyDelays()) const;

    // The key names, sorted by name. A constant table: it is never destroyed,
    // so a worker still playing while the program ends can read it.
    static const std::array<KeyName, kKeyNameCount>& KeyNames();
    // Keys whose events carry the extended-key flag (arrows, Home, End,
    // Page Up/Down, Insert, Delete).
    static bool IsExtendedKey(unsigned char virtualKey);
    // The keys the language holds down: Shift, Ctrl, Alt, left Windows.
    static bool IsModifierKey(unsigned char virtualKey);

private:
    KeyValueFunction keyValueOf_;
};
