#include "exec/KeySequenceParser.h"

#include "platform/KeyCodes.h"

#include <utility>

namespace {

constexpr unsigned char kShift = KeyCode::Shift;
constexpr unsigned char kCtrl = KeyCode::Control;
constexpr unsigned char kAlt = KeyCode::Alt;
constexpr unsigned char kLeftWindows = KeyCode::LeftWindows;
constexpr unsigned char kEnter = KeyCode::Enter;
constexpr unsigned char kNumLock = KeyCode::NumLock;
constexpr unsigned kPressedKeyUp = KeyAction::kExtended | KeyAction::kKeyUp;

wchar_t UpperAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Names hold only capitals and digits, so folding a to z is enough.
bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() || UpperAscii(text[i]) != prefix[i])
            return false;
    }
    return true;
}

size_t SkipBlanks(const std::wstring& text, size_t pos)
{
    while (pos < text.size() && (text[pos] == L' ' || text[pos] == L'\t'))
        ++pos;
    return pos;
}

bool ReadSign(const std::wstring& text, size_t& pos)
{
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+'))
        return text[pos++] == L'-';
    return false;
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// A signed decimal after optional blanks; saturates instead of overflowing.
int ReadNumber(const std::wstring& text, size_t pos)
{
    pos = SkipBlanks(text, pos);
    const bool negative = ReadSign(text, pos);
    long long value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = value * 10 + (text[pos] - L'0');
        if (value > 2147483647LL)
            value = 2147483648LL;
    }
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(value > 2147483647LL ? 2147483647LL : value);
}

// A decimal taken modulo 65536 as it is read, so any number of digits is fine.
unsigned short ReadNumberModulo16(const std::wstring& text, size_t pos, bool& negative)
{
    pos = SkipBlanks(text, pos);
    negative = ReadSign(text, pos);
    unsigned value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = (value * 10 + static_cast<unsigned>(text[pos] - L'0')) & 0xFFFFu;
    return static_cast<unsigned short>(value);
}

size_t TextEnd(const std::wstring& text)
{
    const size_t end = text.find(L'\0');
    return end == std::wstring::npos ? text.size() : end;
}

class CollectingSink : public IKeyActionSink {
public:
    bool OnAction(const KeyAction& action) override
    {
        actions.push_back(action);
        return true;
    }
    std::vector<KeyAction> actions;
};

// The state of one expansion: the group and the held modifiers.
class Expander {
public:
    Expander(const KeySequenceParser::KeyValueFunction& keyValueOf, KeyDelays& delays, IKeyActionSink& sink)
        : keyValueOf_(keyValueOf),
          delays_(delays),
          sink_(sink)
    {
    }

    // False when the sink stopped the expansion.
    bool Run(const std::wstring& text, size_t end)
    {
        for (size_t i = 0; i < end && !stopped_; ++i) {
            const wchar_t c = text[i];
            switch (c) {
            case L'+': HoldModifier(shift_, kShift); break;
            case L'^': HoldModifier(ctrl_, kCtrl); break;
            case L'%': HoldModifier(alt_, kAlt); break;
            case L'@': HoldModifier(windows_, kLeftWindows); break;
            case L'(': group_ = true; break;
            case L')':
                group_ = false;
                ReleaseHeldModifiers();
                break;
            case L'~':
                // Enter without the delay step.
                Emit(KeyAction::Down(kEnter, 0));
                Emit(KeyAction::Up(kEnter, kPressedKeyUp));
                ReleaseHeldModifiers();
                break;
            case L'\r':
            case L'\n':
                // A line break of a multi-line text is one Enter, whichever
                // way it is stored: the layout makes a line feed Ctrl+Enter,
                // which sends a mail in some programs.
                if (c == L'\r' && i + 1 < end && text[i + 1] == L'\n')
                    ++i;
                PressKeyValue(kEnter, 1);
                ReleaseHeldModifiers();
                break;
            case L'{': {
                // A brace never closed takes the rest of the text, which
                // then ends after it.
                size_t close = text.find(L'}', i + 1);
                if (close == std::wstring::npos || close > end)
                    close = end;
                RunBrace(text.substr(i + 1, close - i - 1));
                i = close;
                break;
            }
            default: {
                const unsigned short value = keyValueOf_(c);
                if (value != KeySequenceParser::kNoKey) {
                    PressKeyValue(value, 1);
                    ReleaseHeldModifiers();
                }
                break;
            }
            }
        }
        if (stopped_)
            return false;
        group_ = false;
        ReleaseHeldModifiers();
        return !stopped_;
    }

private:
    void Emit(const KeyAction& action)
    {
        if (!stopped_ && !sink_.OnAction(action))
            stopped_ = true;
    }

    static unsigned ExtendedFlag(unsigned char vk)
    {
        return KeySequenceParser::IsExtendedKey(vk) ? KeyAction::kExtended : 0;
    }

    void ModifierDown(unsigned char vk) { Emit(KeyAction::Down(vk, ExtendedFlag(vk))); }
    void ModifierUp(unsigned char vk) { Emit(KeyAction::Up(vk, KeyAction::kKeyUp | ExtendedFlag(vk))); }

    void HoldModifier(bool& held, unsigned char vk)
    {
        held = true;
        ModifierDown(vk);
    }

    void ReleaseHeldModifiers()
    {
        if (group_)
            return;
        if (shift_)
            ModifierUp(kShift);
        if (ctrl_)
            ModifierUp(kCtrl);
        if (alt_)
            ModifierUp(kAlt);
        if (windows_)
            ModifierUp(kLeftWindows);
        shift_ = ctrl_ = alt_ = windows_ = false;
    }

    // A pending delay is spent once; otherwise the default delay applies.
    void DelayStep()
    {
        if (delays_.pendingDelay == 0)
            delays_.pendingDelay = delays_.defaultDelay;
        if (delays_.pendingDelay > 0)
            Emit(KeyAction::Wait(delays_.pendingDelay));
        delays_.pendingDelay = 0;
    }

    void PressKeyValue(unsigned short value, unsigned count)
    {
        const unsigned shiftState = value >> 8;
        const auto vk = static_cast<unsigned char>(value & 0xFF);
        if (shiftState & 1)
            ModifierDown(kShift);
        if (shiftState & 2)
            ModifierDown(kCtrl);
        if (shiftState & 4)
            ModifierDown(kAlt);
        for (unsigned n = 0; n < count && !stopped_; ++n) {
            DelayStep();
            if (vk == kNumLock) {
                Emit(KeyAction::NumLock());
            } else {
                Emit(KeyAction::Down(vk, ExtendedFlag(vk)));
                Emit(KeyAction::Up(vk, kPressedKeyUp));
            }
        }
        if (shiftState & 1)
            ModifierUp(kShift);
        if (shiftState & 2)
            ModifierUp(kCtrl);
        if (shiftState & 4)
            ModifierUp(kAlt);
    }

    void RunBrace(const std::wstring& brace)
    {
        if (StartsWithNoCase(brace, L"VKEY")) {
            bool negative = false;
            unsigned short value = ReadNumberModulo16(brace, 4, negative);
            if (negative)
                value = static_cast<unsigned short>(0x10000u - value);
            if (value != KeySequenceParser::kNoKey) {
                PressKeyValue(value, 1);
                ReleaseHeldModifiers();
            }
            return;
        }
        if (StartsWithNoCase(brace, L"BEEP")) {
            // "BEEP frequency duration"; a negative number would make the
            // platform wait for ages, so such a beep is skipped.
            const std::wstring rest = brace.size() > 5 ? brace.substr(5) : std::wstring();
            const size_t blank = rest.find(L' ');
            if (blank == std::wstring::npos)
                return;
            const int frequency = ReadNumber(rest.substr(0, blank), 0);
            const int duration = ReadNumber(rest, blank + 1);
            if (frequency >= 0 && duration >= 0)
                Emit(KeyAction::Tone(frequency, duration));
            return;
        }
        if (StartsWithNoCase(brace, L"APPACTIVATE")) {
            // Without a title there is nothing sensible to look for.
            if (brace.size() > 12)
                Emit(KeyAction::ActivateWindow(brace.substr(12)));
            return;
        }
        if (StartsWithNoCase(brace, L"DELAY")) {
            // Negative delays count as none.
            if (brace.size() > 5 && brace[5] == L'=') {
                const int ms = ReadNumber(brace, 6);
                delays_.defaultDelay = ms > 0 ? ms : 0;
            } else {
                const int ms = ReadNumber(brace, 5);
                delays_.pendingDelay = ms > 0 ? ms : 0;
            }
            return;
        }
        PressKeyName(brace);
    }

    void PressKeyName(const std::wstring& brace)
    {
        const KeySequenceParser::KeyName* best = nullptr;
        size_t bestLength = 0;
        for (const auto& entry : KeySequenceParser::KeyNames()) {
            const size_t length = std::char_traits<wchar_t>::length(entry.name);
            if (length > bestLength && StartsWithNoCase(brace, entry.name)) {
                best = &entry;
                bestLength = length;
            }
        }
        if (!best)
            return;
        unsigned count = 1;
        if (brace.size() > bestLength) {
            bool negative = false;
            count = ReadNumberModulo16(brace, bestLength, negative);
            if (negative)
                count = 0; // a negative count presses nothing
        }
        const unsigned short value = best->isCharacter ? keyValueOf_(static_cast<wchar_t>(best->code)) : best->code;
        if (value == KeySequenceParser::kNoKey)
            return;
        PressKeyValue(value, count);
        ReleaseHeldModifiers();
    }

    const KeySequenceParser::KeyValueFunction& keyValueOf_;
    KeyDelays& delays_;
    IKeyActionSink& sink_;
    bool stopped_ = false;
    bool group_ = false;
    bool shift_ = false;
    bool ctrl_ = false;
    bool alt_ = false;
    bool windows_ = false;
};

} // namespace

KeySequenceParser::KeySequenceParser(KeyValueFunction keyValueOf) : keyValueOf_(std::move(keyValueOf))
{
}

KeySequenceParser::Check KeySequenceParser::Validate(const std::wstring& text) const
{
    const size_t end = TextEnd(text);
    for (size_t i = 0; i < end; ++i) {
        if (text[i] != L'{')
            continue;
        size_t close = text.find(L'}', i + 1);
        if (close == std::wstring::npos || close > end)
            close = end;
        if (close - i - 1 > kMaxBraceText)
            return Check{Problem::BraceTooLong, i};
        i = close;
    }
    return Check{};
}

KeySequenceParser::Outcome KeySequenceParser::Expand(const std::wstring& text, KeyDelays& delays,
                                                     IKeyActionSink& sink) const
{
    if (Validate(text).problem != Problem::None)
        return Outcome::BrokenText;
    Expander expander(keyValueOf_, delays, sink);
    return expander.Run(text, TextEnd(text)) ? Outcome::Complete : Outcome::Stopped;
}

std::vector<KeyAction> KeySequenceParser::ToList(const std::wstring& text, KeyDelays delays) const
{
    CollectingSink sink;
    Expand(text, delays, sink);
    return std::move(sink.actions);
}

const std::array<KeySequenceParser::KeyName, KeySequenceParser::kKeyNameCount>& KeySequenceParser::KeyNames()
{
    // Sorted by name; a character entry is typed through the layout.
    static constexpr std::array<KeyName, kKeyNameCount> names = {{
        {L"ADD", KeyCode::Add, false},
        {L"APPS", KeyCode::Apps, false},
        {L"AT", L'@', true},
        {L"BACKSPACE", KeyCode::Backspace, false},
        {L"BKSP", KeyCode::Backspace, false},
        {L"BREAK", KeyCode::Cancel, false},
        {L"BS", KeyCode::Backspace, false},
        {L"CAPSLOCK", KeyCode::CapsLock, false},
        {L"CARET", L'^', true},
        {L"CLEAR", KeyCode::Clear, false},
        {L"DECIMAL", KeyCode::Decimal, false},
        {L"DEL", KeyCode::Delete, false},
        {L"DELETE", KeyCode::Delete, false},
        {L"DIVIDE", KeyCode::Divide, false},
        {L"DOWN", KeyCode::Down, false},
        {L"END", KeyCode::End, false},
        {L"ENTER", KeyCode::Enter, false},
        {L"ESC", KeyCode::Escape, false},
        {L"ESCAPE", KeyCode::Escape, false},
        {L"F1", KeyCode::F(1), false},
        {L"F10", KeyCode::F(10), false},
        {L"F11", KeyCode::F(11), false},
        {L"F12", KeyCode::F(12), false},
        {L"F13", KeyCode::F(13), false},
        {L"F14", KeyCode::F(14), false},
        {L"F15", KeyCode::F(15), false},
        {L"F16", KeyCode::F(16), false},
        {L"F2", KeyCode::F(2), false},
        {L"F3", KeyCode::F(3), false},
        {L"F4", KeyCode::F(4), false},
        {L"F5", KeyCode::F(5), false},
        {L"F6", KeyCode::F(6), false},
        {L"F7", KeyCode::F(7), false},
        {L"F8", KeyCode::F(8), false},
        {L"F9", KeyCode::F(9), false},
        {L"HELP", KeyCode::Help, false},
        {L"HOME", KeyCode::Home, false},
        {L"INS", KeyCode::Insert, false},
        {L"LEFT", KeyCode::Left, false},
        {L"LEFTBRACE", L'{', true},
        {L"LEFTPAREN", L'(', true},
        {L"LWIN", KeyCode::LeftWindows, false},
        {L"MULTIPLY", KeyCode::Multiply, false},
        {L"NUMLOCK", KeyCode::NumLock, false},
        {L"NUMPAD0", KeyCode::Numpad(0), false},
        {L"NUMPAD1", KeyCode::Numpad(1), false},
        {L"NUMPAD2", KeyCode::Numpad(2), false},
        {L"NUMPAD3", KeyCode::Numpad(3), false},
        {L"NUMPAD4", KeyCode::Numpad(4), false},
        {L"NUMPAD5", KeyCode::Numpad(5), false},
        {L"NUMPAD6", KeyCode::Numpad(6), false},
        {L"NUMPAD7", KeyCode::Numpad(7), false},
        {L"NUMPAD8", KeyCode::Numpad(8), false},
        {L"NUMPAD9", KeyCode::Numpad(9), false},
        {L"PERCENT", L'%', true},
        {L"PGDN", KeyCode::PageDown, false},
        {L"PGUP", KeyCode::PageUp, false},
        {L"PLUS", L'+', true},
        {L"PRTSC", KeyCode::Print, false},
        {L"RIGHT", KeyCode::Right, false},
        {L"RIGHTBRACE", L'}', true},
        {L"RIGHTPAREN", L')', true},
        {L"RWIN", KeyCode::RightWindows, false},
        {L"SCROLL", KeyCode::ScrollLock, false},
        {L"SEPARATOR", KeyCode::Separator, false},
        {L"SNAPSHOT", KeyCode::Snapshot, false},
        {L"SUBTRACT", KeyCode::Subtract, false},
        {L"TAB", KeyCode::Tab, false},
        {L"TILDE", L'~', true},
        {L"UP", KeyCode::Up, false},
        {L"WIN", KeyCode::LeftWindows, false},
    }};
    return names;
}

bool KeySequenceParser::IsExtendedKey(unsigned char virtualKey)
{
    switch (virtualKey) {
    case KeyCode::PageUp:
    case KeyCode::PageDown:
    case KeyCode::End:
    case KeyCode::Home:
    case KeyCode::Left:
    case KeyCode::Up:
    case KeyCode::Right:
    case KeyCode::Down:
    case KeyCode::Insert:
    case KeyCode::Delete: return true;
    default: return false;
    }
}

bool KeySequenceParser::IsModifierKey(unsigned char virtualKey)
{
    return virtualKey == kShift || virtualKey == kCtrl || virtualKey == kAlt || virtualKey == kLeftWindows;
}
