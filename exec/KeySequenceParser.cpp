#include "exec/KeySequenceParser.h"

#include <utility>

namespace {

constexpr unsigned char kShift = 16;
constexpr unsigned char kCtrl = 17;
constexpr unsigned char kAlt = 18;
constexpr unsigned char kLeftWindows = 91;
constexpr unsigned char kEnter = 13;
constexpr unsigned char kNumLock = 144;
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

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

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
    Expander(const KeySequenceParser::KeyValueFunction& keyValueOf, KeyDelays& delays,
             IKeyActionSink& sink)
        : keyValueOf_(keyValueOf), delays_(delays), sink_(sink)
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
            case L'{': {
                // Validation has made sure the brace is closed.
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
        const unsigned short value =
            best->isCharacter ? keyValueOf_(static_cast<wchar_t>(best->code)) : best->code;
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

KeySequenceParser::KeySequenceParser(KeyValueFunction keyValueOf) : keyValueOf_(std::move(keyValueOf)) {}

KeySequenceParser::Check KeySequenceParser::Validate(const std::wstring& text) const
{
    const size_t end = TextEnd(text);
    for (size_t i = 0; i < end; ++i) {
        if (text[i] != L'{')
            continue;
        const size_t close = text.find(L'}', i + 1);
        if (close == std::wstring::npos || close > end)
            return Check{Problem::BraceNotClosed, i};
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

const std::vector<KeySequenceParser::KeyName>& KeySequenceParser::KeyNames()
{
    // Sorted by name; a character entry is typed through the layout.
    static const std::vector<KeyName> names = {
        {L"ADD", 107, false},       {L"APPS", 93, false},      {L"AT", L'@', true},
        {L"BACKSPACE", 8, false},   {L"BKSP", 8, false},       {L"BREAK", 3, false},
        {L"BS", 8, false},          {L"CAPSLOCK", 20, false},  {L"CARET", L'^', true},
        {L"CLEAR", 12, false},      {L"DECIMAL", 110, false},  {L"DEL", 46, false},
        {L"DELETE", 46, false},     {L"DIVIDE", 111, false},   {L"DOWN", 40, false},
        {L"END", 35, false},        {L"ENTER", 13, false},     {L"ESC", 27, false},
        {L"ESCAPE", 27, false},     {L"F1", 112, false},       {L"F10", 121, false},
        {L"F11", 122, false},       {L"F12", 123, false},      {L"F13", 124, false},
        {L"F14", 125, false},       {L"F15", 126, false},      {L"F16", 127, false},
        {L"F2", 113, false},        {L"F3", 114, false},       {L"F4", 115, false},
        {L"F5", 116, false},        {L"F6", 117, false},       {L"F7", 118, false},
        {L"F8", 119, false},        {L"F9", 120, false},       {L"HELP", 47, false},
        {L"HOME", 36, false},       {L"INS", 45, false},       {L"LEFT", 37, false},
        {L"LEFTBRACE", L'{', true}, {L"LEFTPAREN", L'(', true}, {L"LWIN", 91, false},
        {L"MULTIPLY", 106, false},  {L"NUMLOCK", 144, false},  {L"NUMPAD0", 96, false},
        {L"NUMPAD1", 97, false},    {L"NUMPAD2", 98, false},   {L"NUMPAD3", 99, false},
        {L"NUMPAD4", 100, false},   {L"NUMPAD5", 101, false},  {L"NUMPAD6", 102, false},
        {L"NUMPAD7", 103, false},   {L"NUMPAD8", 104, false},  {L"NUMPAD9", 105, false},
        {L"PERCENT", L'%', true},   {L"PGDN", 34, false},      {L"PGUP", 33, false},
        {L"PLUS", L'+', true},      {L"PRTSC", 42, false},     {L"RIGHT", 39, false},
        {L"RIGHTBRACE", L'}', true}, {L"RIGHTPAREN", L')', true}, {L"RWIN", 92, false},
        {L"SCROLL", 145, false},    {L"SEPARATOR", 108, false}, {L"SNAPSHOT", 44, false},
        {L"SUBTRACT", 109, false},  {L"TAB", 9, false},        {L"TILDE", L'~', true},
        {L"UP", 38, false},         {L"WIN", 91, false},
    };
    return names;
}

bool KeySequenceParser::IsExtendedKey(unsigned char virtualKey)
{
    switch (virtualKey) {
    case 33: case 34: case 35: case 36: case 37:
    case 38: case 39: case 40: case 45: case 46:
        return true;
    default:
        return false;
    }
}

bool KeySequenceParser::IsModifierKey(unsigned char virtualKey)
{
    return virtualKey == kShift || virtualKey == kCtrl || virtualKey == kAlt ||
           virtualKey == kLeftWindows;
}
